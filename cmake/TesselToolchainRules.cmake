# Compiler settings that every target shares. Results must be bit-identical on Linux,
# 32-bit and 64-bit Windows, so floating point is pinned down here for everyone.

add_compile_options(-Wall -Wextra -ffp-contract=off -fno-fast-math)

# Emscripten's toolchain calls its processor x86, but WebAssembly has no x87 to avoid: every
# float and double operation rounds as written there.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$" AND NOT EMSCRIPTEN)
  # x87 keeps intermediates in 80 bits; SSE2 rounds every double and float as written.
  add_compile_options(-msse2 -mfpmath=sse)
endif()

# OFF: the plain C++ forms of the vector code only, no SSE2 or AVX2 code even on x86-64 (the
# forms that processors without them run); signal_quality/simd_choice.h reads the definition.
option(TESSEL_SIMD "Use SSE2, and AVX2 where the processor has it, where the target allows" ON)
if(NOT TESSEL_SIMD)
  add_compile_definitions(TESSEL_PLAIN_CPP)
endif()

if(WIN32)
  # Only system DLLs at run time: libgcc, libstdc++ and winpthread are linked in.
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  set(CMAKE_CXX_VISIBILITY_PRESET hidden)
  set(CMAKE_C_VISIBILITY_PRESET hidden)
  set(CMAKE_VISIBILITY_INLINES_HIDDEN ON)
endif()

set(TESSEL_SANITIZE "" CACHE STRING "Sanitizers for the native build, e.g. address,undefined")
if(TESSEL_SANITIZE)
  add_compile_options(-fsanitize=${TESSEL_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TESSEL_SANITIZE})
endif()

# Coverage for libFuzzer in everything the fuzz targets link; fuzz/ adds the fuzzer's main.
if(TESSEL_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
