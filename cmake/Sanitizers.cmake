# Build-wide instrumentation switches. They apply to every target so that the
# library, the tests and the tools agree on the runtime.
if(TALAVEX_SANITIZE AND TALAVEX_TSAN)
  message(FATAL_ERROR "TALAVEX_SANITIZE and TALAVEX_TSAN cannot be combined")
endif()
if(TALAVEX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(TALAVEX_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
if(TALAVEX_M32)
  # SSE2 arithmetic keeps every double rounded to double precision, as on
  # x86-64; the x87 unit would round intermediates differently.
  add_compile_options(-m32 -msse2 -mfpmath=sse)
  add_link_options(-m32)
endif()
if(TALAVEX_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
