# What `cmake --install` puts under the prefix: the shared library (with its
# SONAME), the public headers, the CMake package (talavex::talavex), the
# pkg-config file, the command-line reader with its man page, and the licence.
# The test-support and internals libraries stay in the build tree.
#
# The installed tree does not depend on where it was installed: the CMake
# package and talavex.pc find the prefix from their own location, and the
# command-line reader finds the library relative to itself, so
# `cmake --install build --prefix DIR` works for any DIR and the tree may be
# moved afterwards.
include(CMakePackageConfigHelpers)

set(TALAVEX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/talavex)

install(TARGETS talavex EXPORT talavexTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES
  ${PROJECT_SOURCE_DIR}/include/talavex/reader.h
  ${PROJECT_SOURCE_DIR}/include/talavex/reader.hpp
  ${PROJECT_SOURCE_DIR}/include/talavex/talavex.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/talavex)

install(EXPORT talavexTargets NAMESPACE talavex:: DESTINATION ${TALAVEX_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/talavexConfig.cmake.in
  ${PROJECT_BINARY_DIR}/talavexConfig.cmake INSTALL_DESTINATION ${TALAVEX_CMAKE_DIR})
# The SONAME changes with the major version only, and so does compatibility.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/talavexConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/talavexConfig.cmake ${PROJECT_BINARY_DIR}/talavexConfigVersion.cmake
  DESTINATION ${TALAVEX_CMAKE_DIR})

# talavex.pc names its prefix relative to its own folder (${pcfiledir}),
# unless the directories were given as absolute paths.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
  set(TALAVEX_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
  set(TALAVEX_PC_LIBDIR "${CMAKE_INSTALL_FULL_LIBDIR}")
  set(TALAVEX_PC_INCLUDEDIR "${CMAKE_INSTALL_FULL_INCLUDEDIR}")
else()
  file(RELATIVE_PATH prefix_from_pc_dir "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
  string(REGEX REPLACE "/$" "" prefix_from_pc_dir "${prefix_from_pc_dir}")
  set(TALAVEX_PC_PREFIX "\${pcfiledir}/${prefix_from_pc_dir}")
  set(TALAVEX_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
  set(TALAVEX_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/talavex.pc.in ${PROJECT_BINARY_DIR}/talavex.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/talavex.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

if(TARGET talavex_cli)
  if(APPLE)
    set(origin @loader_path)
  else()
    set(origin $ORIGIN)
  endif()
  file(RELATIVE_PATH lib_from_bin "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${CMAKE_INSTALL_LIBDIR}")
  set_target_properties(talavex_cli PROPERTIES INSTALL_RPATH "${origin}/${lib_from_bin}")
  install(TARGETS talavex_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/tools/talavex.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
