# Assembles the learner's page into one self-contained HTML file: the
# template web/index.html with its style sheet and script in place, the
# nodes and values the program's source holds (with their bit patterns),
# and the program's .wasm in base64.
#
#   cmake -DWEB=dir -DSOURCE=src/inverse_neville.cpp -DWASM=file.wasm
#         -DVERSION=x.y.z -DOUTPUT=page.html -DSCRIPTS=a.js,b.js,... -P web-page.cmake
#
# The scripts are joined in the order given into the page's one script.

foreach(var WEB SOURCE WASM VERSION OUTPUT SCRIPTS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "web-page.cmake: -D${var}=... is required")
  endif()
endforeach()

# The data, as the source writes it: the value table y[] and the nodes in
# column 0 of the tableau, each with its IEEE bit pattern beside it.
file(READ "${SOURCE}" text)
string(REPLACE ";" "," text "${text}") # not a list separator here
string(REGEX MATCH "double const y\\[[0-9]+\\] = {([^}]*)}" table "${text}")
string(REGEX MATCHALL "/\\* 0x[0-9A-F]+ \\*/" ys "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "Q\\[[0-9]+\\]\\[0\\] = [^,]*, /\\* 0x[0-9A-F]+ \\*/" xs "${text}")
list(LENGTH ys ny)
list(LENGTH xs nx)
if(ny EQUAL 0 OR NOT nx EQUAL ny)
  message(FATAL_ERROR "${SOURCE}: ${ny} values and ${nx} nodes with bit patterns")
endif()
set(nodes "")
math(EXPR last "${nx} - 1")
foreach(k RANGE ${last})
  list(GET xs ${k} x)
  list(GET ys ${k} y)
  string(REGEX REPLACE ".*0x([0-9A-F]+).*" "\\1" x "${x}")
  string(REGEX REPLACE ".*0x([0-9A-F]+).*" "\\1" y "${y}")
  list(APPEND nodes "{\"x\":\"${x}\",\"y\":\"${y}\"}")
endforeach()
string(REPLACE ";" "," nodes "${nodes}")
set(DATA "{\"nodes\":[${nodes}]}")

execute_process(COMMAND base64 -w0 "${WASM}" OUTPUT_VARIABLE WASM RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "base64 (Debian: coreutils) failed on ${WASM}")
endif()
file(READ "${WEB}/style.css" STYLE)
string(STRIP "${STYLE}" STYLE)
set(SCRIPT "")
string(REPLACE "," ";" SCRIPTS "${SCRIPTS}")
foreach(script IN LISTS SCRIPTS)
  file(READ "${WEB}/${script}" text)
  string(APPEND SCRIPT "${text}\n")
endforeach()
string(STRIP "${SCRIPT}" SCRIPT)
configure_file("${WEB}/index.html" "${OUTPUT}" @ONLY)
