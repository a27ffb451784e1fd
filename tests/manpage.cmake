# The manual page renders with groff without a warning (-ww: all of them).
#
#   cmake -DGROFF=path -DPAGE=page.1 -P manpage.cmake

execute_process(COMMAND "${GROFF}" -man -ww -z "${PAGE}" RESULT_VARIABLE rc ERROR_VARIABLE warnings)
if(NOT rc EQUAL 0 OR NOT warnings STREQUAL "")
  message(FATAL_ERROR "${PAGE}: groff exit ${rc}\n${warnings}")
endif()
