# Assembles the learner's page into one self-contained HTML file: the
# template web/index.html with its style sheet and script in place, the
# nodes and values the program's source holds (with their bit patterns),
# and the program's .wasm in base64.
#
#   cmake -DWEB=dir -DSOURCE=src/inverse_neville.cpp -DPYTHON=python3 -DWASM=file.wasm
#         -DVERSION=x.y.z -DOUTPUT=page.html -DSCRIPT=page.js "-DEXPORTS=Qij=...;exp=exp"
#         -DDATA_FILE=program.json -P web-page.cmake
#
# SCRIPT is the page's one script, its modules bundled into one; EXPORTS
# the names the .wasm exports the program's functions under.  The data
# the page embeds is also written to DATA_FILE, beside the .wasm, for the
# page's tests.

foreach(var WEB SOURCE PYTHON WASM VERSION OUTPUT SCRIPT EXPORTS DATA_FILE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "web-page.cmake: -D${var}=... is required")
  endif()
endforeach()

# The data, as the source writes it: the value table y[] and the nodes in
# column 0 of the tableau, by their IEEE bit patterns, from the one reader
# of them (which tests/verify_root.py uses too).
execute_process(COMMAND ${PYTHON} -B ${CMAKE_CURRENT_LIST_DIR}/program_data.py ${SOURCE} ${EXPORTS}
  OUTPUT_VARIABLE DATA OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake/program_data.py cannot read the program's data from ${SOURCE}")
endif()
file(WRITE "${DATA_FILE}" "${DATA}\n")

execute_process(COMMAND base64 -w0 "${WASM}" OUTPUT_VARIABLE WASM RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "base64 (Debian: coreutils) failed on ${WASM}")
endif()
file(READ "${WEB}/style.css" STYLE)
string(STRIP "${STYLE}" STYLE)
file(READ "${SCRIPT}" text)
if(text MATCHES "</script")
  message(FATAL_ERROR "${SCRIPT} holds </script, which would end the page's script early")
endif()
string(STRIP "${text}" SCRIPT)
configure_file("${WEB}/index.html" "${OUTPUT}" @ONLY)
