# The program under valgrind memcheck: no errors, at most one heap block
# (the C library's stdout buffer) and nothing in use at exit.
#
#   cmake -DVALGRIND=path -DPROGRAM=path -DWORK_DIR=dir -P memcheck.cmake

cmake_minimum_required(VERSION 3.18...3.25)

file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(
  COMMAND "${VALGRIND}" --tool=memcheck --error-exitcode=99 --leak-check=full
    --show-leak-kinds=all --errors-for-leak-kinds=all "${PROGRAM}"
  OUTPUT_FILE "${WORK_DIR}/stdout"
  ERROR_VARIABLE report
  RESULT_VARIABLE rc)
message(STATUS "${report}")

set(failures "")
if(NOT rc STREQUAL "0")
  string(APPEND failures "exit status ${rc}\n")
endif()
if(NOT report MATCHES "ERROR SUMMARY: 0 errors")
  string(APPEND failures "memcheck reported errors\n")
endif()
if(NOT report MATCHES "in use at exit: 0 bytes in 0 blocks")
  string(APPEND failures "memory still in use at exit\n")
endif()
if(report MATCHES "total heap usage: ([0-9,]+) allocs")
  string(REPLACE "," "" allocs "${CMAKE_MATCH_1}")
  if(allocs GREATER 1)
    string(APPEND failures "${allocs} heap allocations, expected at most 1\n")
  endif()
else()
  string(APPEND failures "no heap summary in valgrind's report\n")
endif()
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
