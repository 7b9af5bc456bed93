# Every target of the project compiles with the same strict warnings. They
# become errors only on request (the project's own test scripts ask), so that
# a newer compiler's new warning cannot break the build of a project that
# merely uses talavex.
add_library(talavex_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(talavex_warnings INTERFACE -Wall -Wextra $<$<BOOL:${TALAVEX_WERROR}>:-Werror>)
elseif(MSVC)
  target_compile_options(talavex_warnings INTERFACE /W4 $<$<BOOL:${TALAVEX_WERROR}>:/WX>)
endif()

# The library's own sources also keep clear of narrowing and sign changes that
# are not written out, of names hiding others and of compiler extensions: a
# wrong size or index there reads a wrong module, not a compile error.
add_library(talavex_library_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(talavex_library_warnings INTERFACE
    -Wshadow -Wconversion -Wsign-conversion -Wpedantic -Wold-style-cast)
endif()
