# Build for WebAssembly (WASI preview 1) with Debian's clang and its WASI
# sysroot; the tests run under Node's WASI through cmake/wasi-run.
#
#   cmake -S . -B out/wasi -DCMAKE_TOOLCHAIN_FILE=cmake/wasi.cmake \
#         -DINVERSE_NEVILLE_GTEST_SOURCE_DIR=/usr/src/googletest
#
# Debian packages: `sh cmake/debian-packages build wasi` names them for
# the release it runs on (and `web` adds the learner's page's browsers).

set(CMAKE_SYSTEM_NAME WASI)
set(CMAKE_SYSTEM_PROCESSOR wasm32)

find_program(CMAKE_CXX_COMPILER NAMES clang++ REQUIRED)
# GoogleTest's own project() enables C as well.
find_program(CMAKE_C_COMPILER NAMES clang REQUIRED)
# Archived, indexed and stripped by LLVM's own tools, those beside the
# compiler (Debian 13 has only versioned ones on PATH): GNU ar writes no
# index that wasm-ld reads, and GNU strip cannot read WebAssembly.
foreach(tool ar ranlib strip)
  string(TOUPPER ${tool} var)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-prog-name=llvm-${tool}
    OUTPUT_VARIABLE CMAKE_${var} OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${CMAKE_${var}}")
    message(FATAL_ERROR "No llvm-${tool} beside ${CMAKE_CXX_COMPILER} (Debian: the llvm-<version> of clang)")
  endif()
endforeach()
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
# clang 14 cannot unwind on WebAssembly, and Debian's libc++ for it is
# built without exceptions: neither is the code here, nor GoogleTest.
set(CMAKE_CXX_FLAGS_INIT -fno-exceptions)
set(CMAKE_EXECUTABLE_SUFFIX_CXX .wasm)
set(CMAKE_EXECUTABLE_SUFFIX_C .wasm)

set(CMAKE_FIND_ROOT_PATH /usr/lib/wasm32-wasi /usr/include/wasm32-wasi)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest, gtest_discover_tests and the end-to-end script run every .wasm
# through Node's WASI.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wasi-run)
