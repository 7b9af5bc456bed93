# Every target of the project compiles with the same strict warnings.
add_library(talavex_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(talavex_warnings INTERFACE -Wall -Wextra -Werror)
elseif(MSVC)
  target_compile_options(talavex_warnings INTERFACE /W4 /WX)
endif()
