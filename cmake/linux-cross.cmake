# Cross build for Linux on another CPU with Debian's cross compilers, the
# tests run under qemu-user.  One file for every CPU, its release
# architectures and its ports alike: the Debian triplet, one of those in
# cmake/linux-cpus.txt, says which.
#
#   INVERSE_NEVILLE_TRIPLET=<triplet> cmake --workflow --preset linux-cross
#
# or, without presets,
#
#   cmake -S . -B out/<triplet> --toolchain cmake/linux-cross.cmake \
#         -DINVERSE_NEVILLE_TRIPLET=<triplet> [-DINVERSE_NEVILLE_CROSS_CLANG=ON] \
#         -DINVERSE_NEVILLE_GTEST_SOURCE_DIR=/usr/src/googletest
#
# Debian packages: g++-<triplet>, qemu-user, googletest; with
# INVERSE_NEVILLE_CROSS_CLANG also clang, which compiles for the triplet
# against the same GCC cross sysroot.

set(INVERSE_NEVILLE_TRIPLET "" CACHE STRING "Debian triplet of the target (cmake/linux-cpus.txt)")
option(INVERSE_NEVILLE_CROSS_CLANG "Compile with clang++ --target=<triplet> instead of <triplet>-g++" OFF)
if(NOT INVERSE_NEVILLE_TRIPLET)
  message(FATAL_ERROR "linux-cross.cmake: set INVERSE_NEVILLE_TRIPLET to a triplet of cmake/linux-cpus.txt "
    "(with the linux-cross presets: in the environment)")
endif()
# try_compile projects read this file again: hand them the same choice.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES INVERSE_NEVILLE_TRIPLET INVERSE_NEVILLE_CROSS_CLANG)

set(triplet ${INVERSE_NEVILLE_TRIPLET})
string(REGEX REPLACE "-.*" "" cpu "${triplet}")
# qemu names a few CPUs its own way.
set(qemu_cpu ${cpu})
if(cpu MATCHES "^i[3-6]86$")
  set(qemu_cpu i386)
elseif(cpu STREQUAL "powerpc64le")
  set(cpu ppc64le)
  set(qemu_cpu ppc64le)
elseif(cpu STREQUAL "powerpc64")
  set(qemu_cpu ppc64)
elseif(cpu STREQUAL "powerpc")
  set(qemu_cpu ppc)
endif()

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${cpu})

if(INVERSE_NEVILLE_CROSS_CLANG)
  find_program(CMAKE_CXX_COMPILER NAMES clang++ REQUIRED)
  find_program(CMAKE_C_COMPILER NAMES clang REQUIRED)
  set(CMAKE_CXX_COMPILER_TARGET ${triplet})
  set(CMAKE_C_COMPILER_TARGET ${triplet})
else()
  find_program(CMAKE_CXX_COMPILER NAMES ${triplet}-g++ REQUIRED)
  # GoogleTest's own project() enables C as well.
  find_program(CMAKE_C_COMPILER NAMES ${triplet}-gcc REQUIRED)
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest, gtest_discover_tests and the end-to-end script run every target
# binary through this, with the target's dynamic loader and libraries from
# Debian's cross sysroot.
find_program(INVERSE_NEVILLE_QEMU qemu-${qemu_cpu} REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${INVERSE_NEVILLE_QEMU} -L /usr/${triplet})
