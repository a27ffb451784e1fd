# End-to-end check of the built program, portable to any host CMake runs on:
#
#   cmake -DPROGRAM=path -DCASE=name -DEOL=LF|CRLF -DWORK_DIR=dir
#         [-DLOCALE_PROBE=path] [-DLOCALEDEF=path] [-DBYTE_ORDER=BIG_ENDIAN|LITTLE_ENDIAN]
#         [-DEMULATOR=runner] -P e2e.cmake
#
# Runs the program one way (CASE) and compares its standard output byte for
# byte, its standard error and its exit status with what a user must see.
# A case the host cannot set up prints "SKIPPED:" and passes as skipped.

cmake_minimum_required(VERSION 3.18...3.25)

foreach(var PROGRAM CASE EOL WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "e2e.cmake: -D${var}=... is required")
  endif()
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/expected_output.cmake)

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(out_file "${WORK_DIR}/stdout")
set(err_file "${WORK_DIR}/stderr")
set(in_file "${WORK_DIR}/stdin")
file(WRITE "${in_file}" "")

set(run ${EMULATOR} "${PROGRAM}")

# A macro, so that its return() ends the script.
macro(skip why)
  message(STATUS "SKIPPED: ${CASE}: ${why}")
  return()
endmacro()

# Runs the command in ARGN with stdin from in_file, stdout to OUT
# (out_file or a device) and stderr to err_file; sets rc in the caller.
function(run_with out)
  execute_process(COMMAND ${ARGN}
    INPUT_FILE "${in_file}"
    OUTPUT_FILE "${out}"
    ERROR_FILE "${err_file}"
    RESULT_VARIABLE status)
  set(rc "${status}" PARENT_SCOPE)
endfunction()

function(read_hex file var)
  file(READ "${file}" content HEX)
  set(${var} "${content}" PARENT_SCOPE)
endfunction()

# The run succeeded: exit 0, nothing on stderr, stdout exactly the two lines.
function(expect_success rc)
  set(failures "")
  if(NOT rc STREQUAL "0")
    string(APPEND failures "exit status ${rc}, expected 0\n")
  endif()
  file(READ "${err_file}" err)
  if(NOT err STREQUAL "")
    string(APPEND failures "stderr not empty: [${err}]\n")
  endif()
  read_hex("${out_file}" got)
  string(HEX "${expected_out}" want)
  if(NOT got STREQUAL want)
    file(READ "${out_file}" text)
    string(APPEND failures "stdout differs\n  got  (hex) ${got}\n  want (hex) ${want}\n  got  text [${text}]\n")
  endif()
  if(failures)
    message(FATAL_ERROR "${CASE}: ${failures}")
  endif()
endfunction()

# The output was lost: exit 1 and one line on stderr naming the reason.
# (A text read turns CR LF into LF, so the line ending is checked on the
# bytes.)
function(expect_write_failure rc)
  file(READ "${err_file}" err)
  read_hex("${err_file}" err_hex)
  string(HEX "${nl}" nl_hex)
  string(LENGTH "${err}" text_len)
  string(LENGTH "${err_hex}" hex_len)
  string(LENGTH "${nl}" nl_len)
  math(EXPR want_hex_len "2 * (${text_len} + ${nl_len} - 1)")
  if(NOT rc STREQUAL "1"
      OR NOT err MATCHES "^inverse_neville: cannot write standard output: [^\n]+\n$"
      OR NOT err_hex MATCHES "${nl_hex}$"
      OR NOT hex_len EQUAL want_hex_len)
    message(FATAL_ERROR "${CASE}: expected exit 1 and one error line, got exit ${rc}, stderr (hex) ${err_hex}")
  endif()
  message(STATUS "${CASE}: exit 1, stderr: ${err}")
endfunction()

# A POSIX shell, for the cases that close a descriptor before the program
# starts; CMake itself cannot.
set(sh "")
if(CMAKE_HOST_UNIX AND EXISTS /bin/sh)
  set(sh /bin/sh)
endif()

if(CASE STREQUAL "plain")
  # No arguments, the caller's environment, empty stdin.
  run_with("${out_file}" ${run})
  expect_success("${rc}")

elseif(CASE STREQUAL "input_ignored")
  # The program reads nothing: each way of offering it input below leaves
  # the output and the exit status as they are.
  #  - options, odd characters and thousands of arguments;
  set(args --help -v /? -- "two words" "%s%n%d" "*" "C:\\dir\\file" "\"quoted\"" "-2.0" "été")
  foreach(i RANGE 1 2000)
    list(APPEND args "arg${i}")
  endforeach()
  #  - every variable unset, but those a runner needs to start at all (the
  #    Wine loader, or Windows' own SystemRoot);
  execute_process(COMMAND "${CMAKE_COMMAND}" -E environment OUTPUT_VARIABLE env_dump)
  string(REGEX MATCHALL "(^|\n)[A-Za-z_][A-Za-z0-9_]*=" names "${env_dump}")
  set(unset "")
  foreach(name IN LISTS names)
    string(REGEX REPLACE "^\n|=$" "" name "${name}")
    if(NOT name MATCHES "^(SystemRoot|SYSTEMROOT)$" AND NOT (EMULATOR AND name MATCHES "^(WINE.*|HOME|USER|PATH|TMPDIR)$"))
      list(APPEND unset "--unset=${name}")
    endif()
  endforeach()
  #  - 64 KiB on standard input: every byte value 1 to 255, over and over;
  set(bytes "")
  foreach(c RANGE 1 255)
    string(ASCII ${c} ch)
    string(APPEND bytes "${ch}")
  endforeach()
  foreach(i RANGE 1 8)
    string(APPEND bytes "${bytes}")
  endforeach()
  file(WRITE "${WORK_DIR}/bytes" "${bytes}")
  #  - standard input closed, by a shell just before it execs the runner.
  set(ways "args" "environment" "bytes" "stdin closed")
  set(empty "${in_file}")
  foreach(way IN LISTS ways)
    set(in_file "${empty}")
    if(way STREQUAL "args")
      run_with("${out_file}" ${run} ${args})
    elseif(way STREQUAL "environment")
      run_with("${out_file}" "${CMAKE_COMMAND}" -E env ${unset} ${run})
    elseif(way STREQUAL "bytes")
      set(in_file "${WORK_DIR}/bytes")
      run_with("${out_file}" ${run})
    elseif(sh)
      run_with("${out_file}" ${sh} -c "exec \"$@\" <&-" sh ${run})
    else()
      skip("no POSIX shell to close a descriptor with")
    endif()
    message(STATUS "${way}: exit ${rc}")
    expect_success("${rc}")
  endforeach()

elseif(CASE STREQUAL "env_locale")
  # A locale with a decimal comma, and variables a C runtime might read.
  # Where there is localedef, the case makes de_DE.UTF-8 itself, in a
  # folder of its own that LOCPATH points the C library at (the folder's
  # name is the name LC_ALL gives), in the target's byte order: a C library
  # under qemu reads it in its own.  Elsewhere it looks for an installed
  # one.  The probe, run the same way, must print 0,5 under it: otherwise
  # the locale is not there and the case proves nothing.
  set(names de_DE.UTF-8 de_DE.utf8 fr_FR.UTF-8 de_DE)
  set(locpath "")
  set(made "")
  if(LOCALEDEF)
    set(order "")
    if(BYTE_ORDER STREQUAL "BIG_ENDIAN")
      set(order --big-endian)
    elseif(BYTE_ORDER STREQUAL "LITTLE_ENDIAN")
      set(order --little-endian)
    endif()
    set(names de_DE.UTF-8)
    set(locpath LOCPATH=${WORK_DIR}/locales)
    file(MAKE_DIRECTORY "${WORK_DIR}/locales")
    execute_process(COMMAND "${LOCALEDEF}" ${order} -i de_DE -f UTF-8 "${WORK_DIR}/locales/de_DE.UTF-8"
      OUTPUT_VARIABLE made ERROR_VARIABLE made RESULT_VARIABLE rc)
    set(made " (localedef ${order}: exit ${rc} ${made})")
  endif()
  set(in_force "")
  foreach(name IN LISTS names)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E env ${locpath} LC_ALL=${name} ${EMULATOR} "${LOCALE_PROBE}"
      INPUT_FILE "${in_file}" OUTPUT_VARIABLE probe ERROR_QUIET RESULT_VARIABLE probe_rc)
    if(probe_rc STREQUAL "0" AND probe MATCHES "^0,5")
      set(in_force ${name})
      break()
    endif()
  endforeach()
  if(NOT in_force)
    skip("no decimal-comma locale for this runtime${made}")
  endif()
  message(STATUS "locale ${in_force}: the probe prints ${probe}")
  run_with("${out_file}" "${CMAKE_COMMAND}" -E env ${locpath}
    LC_ALL=${in_force} LANG=${in_force} LC_NUMERIC=${in_force}
    POSIXLY_CORRECT=1 MALLOC_PERTURB_=165 TZ=UTC-14 ${run})
  expect_success("${rc}")

elseif(CASE STREQUAL "stdout_full")
  # Every write to /dev/full fails with ENOSPC: the result is lost.
  if(NOT EXISTS /dev/full)
    skip("no /dev/full on this host")
  endif()
  run_with(/dev/full ${run})
  expect_write_failure("${rc}")

elseif(CASE STREQUAL "stdout_closed")
  # The descriptor is closed by a shell just before it execs the runner:
  # the result is lost.
  if(NOT sh)
    skip("no POSIX shell to close a descriptor with")
  endif()
  run_with("${out_file}" ${sh} -c "exec \"$@\" >&-" sh ${run})
  expect_write_failure("${rc}")

else()
  message(FATAL_ERROR "e2e.cmake: unknown CASE '${CASE}'")
endif()
