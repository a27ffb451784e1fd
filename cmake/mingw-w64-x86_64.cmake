# Cross build for 64-bit Windows with MinGW-w64 (Debian:
# g++-mingw-w64-x86-64-posix), tests run under Wine (Debian: wine64).
#
#   cmake -S . -B out/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DINVERSE_NEVILLE_GTEST_SOURCE_DIR=/usr/src/googletest

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triple x86_64-w64-mingw32)
find_program(CMAKE_CXX_COMPILER NAMES ${mingw_triple}-g++-posix ${mingw_triple}-g++ REQUIRED)
# GoogleTest's own project() enables C as well.
find_program(CMAKE_C_COMPILER NAMES ${mingw_triple}-gcc-posix ${mingw_triple}-gcc REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${mingw_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest and the end-to-end and package scripts run every Windows binary
# through this: the Wine loader with a prefix of its own inside the build
# tree and Wine's diagnostics off.  env(1), not cmake -E env, which would
# hand the program /dev/null for a descriptor a test closed on purpose.  The
# tests make that prefix once, with the wine server of the same package,
# before any of them runs a program (tests/wine-prefix.cmake).
find_program(INVERSE_NEVILLE_WINE NAMES wine64 wine PATHS /usr/lib/wine REQUIRED)
find_program(INVERSE_NEVILLE_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine REQUIRED)
find_program(INVERSE_NEVILLE_ENV env REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR
  ${INVERSE_NEVILLE_ENV}
    WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all
    ${INVERSE_NEVILLE_WINE})
