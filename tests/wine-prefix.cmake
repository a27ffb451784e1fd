# The Wine prefix that every run of a Windows program in the tests goes
# through, made before the first of them (the fixture windows.wine-prefix):
#
#   cmake "-DEMULATOR=runner" -DWINESERVER=path -P wine-prefix.cmake
#
# EMULATOR is the build's CMAKE_CROSSCOMPILING_EMULATOR: env(1), the
# variables that name the prefix, and the Wine loader.  Under it, wineboot
# --init makes the prefix, or brings one that is there up to date; then the
# wine server, with the same variables, waits until the processes wineboot
# started have ended, and the server with them.  The first test starts Wine
# in a prefix that is made and at rest.

cmake_minimum_required(VERSION 3.18...3.25)

foreach(var EMULATOR WINESERVER)
  if(NOT ${var})
    message(FATAL_ERROR "wine-prefix.cmake: -D${var}=... is required")
  endif()
endforeach()

# Runs the command in ARGN as step NAME, says how long it took and what it
# printed, and stops the script where it failed.
function(step name)
  string(TIMESTAMP begun "%s")
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(TIMESTAMP ended "%s")
  math(EXPR took "${ended} - ${begun}")
  message(STATUS "${name}: exit ${rc} after ${took} s\n${out}")
  if(NOT rc STREQUAL "0")
    message(FATAL_ERROR "${name} failed: exit ${rc}")
  endif()
endfunction()

step(wineboot ${EMULATOR} wineboot --init)
# the same variables, with the wine server in the loader's place
set(server ${EMULATOR})
list(POP_BACK server)
step("wineserver -w" ${server} "${WINESERVER}" -w)
