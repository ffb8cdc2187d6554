# Sanitizer and fuzzing builds. Every target in the build folder gets the same
# flags, so the static libraries, the tests and the fuzz targets agree.
#
#   TESSARIC_SANITIZER=address,undefined   AddressSanitizer (leak checking included)
#                                          and UndefinedBehaviorSanitizer
#   TESSARIC_SANITIZER=thread              ThreadSanitizer
#   TESSARIC_SANITIZE=ON                   the same as address,undefined
#   TESSARIC_FUZZ=ON                       the libFuzzer targets in fuzz/ (clang only);
#                                          address,undefined unless told otherwise
#
# `make sanitize` and `make fuzz` share one address,undefined build with
# TESSARIC_FUZZ=ON: the tests and the fuzz targets are built from the same
# objects, so the sources are compiled once for both gates.
set(TESSARIC_SANITIZER "" CACHE STRING "Sanitizers for every target: address,undefined or thread")
option(TESSARIC_SANITIZE "Build with address and undefined-behaviour sanitizers" OFF)
option(TESSARIC_FUZZ "Build the libFuzzer targets in fuzz/ (clang)" OFF)

if(NOT TESSARIC_SANITIZER AND (TESSARIC_SANITIZE OR TESSARIC_FUZZ))
  set(TESSARIC_SANITIZER address,undefined)
endif()

if(TESSARIC_SANITIZER)
  if(TESSARIC_SANITIZER MATCHES "thread" AND TESSARIC_SANITIZER MATCHES "address")
    message(FATAL_ERROR "ThreadSanitizer cannot be combined with AddressSanitizer")
  endif()
  add_compile_options(-fsanitize=${TESSARIC_SANITIZER} -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${TESSARIC_SANITIZER})
  if(TESSARIC_SANITIZER MATCHES "undefined")
    # A report stops the program, so that a test or a fuzz run fails on it.
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()

if(TESSARIC_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz targets need clang (libFuzzer): -DCMAKE_CXX_COMPILER=clang++-14")
  endif()
  # Coverage for libFuzzer in the libraries the fuzz targets link (see
  # tessaric_layer), not in the tests: their comparisons would each call the
  # coverage hooks for nothing. The fuzz targets link libFuzzer's main.
  set(TESSARIC_FUZZ_COVERAGE -fsanitize=fuzzer-no-link)
endif()
