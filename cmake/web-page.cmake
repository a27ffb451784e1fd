# Assembles the learner's page into one self-contained HTML file: the
# template web/index.html with its style sheet and script in place, the
# nodes and values the program's source holds (with their bit patterns),
# and the program's .wasm in base64.
#
#   cmake -DWEB=dir -DSOURCE=src/inverse_neville.cpp -DPYTHON=python3 -DWASM=file.wasm
#         -DVERSION=x.y.z -DOUTPUT=page.html -DSCRIPT=page.js -DLOADER=loader.js -DFIRST=first.js
#         -DGZIP=gzip -DNODE=node "-DEXPORTS=Qij=...;exp=exp" -DDATA_FILE=program.json -P web-page.cmake
#
# SCRIPT is the page's script, its modules bundled into one, which goes in
# gzipped (gzip -9n: the same bytes from the same script) and in base64;
# LOADER the small script that unpacks and runs it, FIRST the one that runs
# as soon as the first screen is parsed.  That first screen's picture, the
# idea's, is made here, by cmake/web-first-screen.mjs under NODE, from the
# page's own modules and the .wasm.  EXPORTS are the names
# the .wasm exports the program's functions under.  The data the page
# embeds is also written to DATA_FILE, beside the .wasm, for the page's
# tests.

foreach(var WEB SOURCE PYTHON WASM VERSION OUTPUT SCRIPT LOADER FIRST GZIP NODE EXPORTS DATA_FILE)
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

# the first screen, by the page's own code against the same .wasm
get_filename_component(first_dir "${DATA_FILE}" DIRECTORY)
set(first_dir "${first_dir}/first")
file(MAKE_DIRECTORY "${first_dir}")
execute_process(COMMAND ${NODE} ${CMAKE_CURRENT_LIST_DIR}/web-first-screen.mjs "${WASM}" "${DATA_FILE}" "${first_dir}"
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake/web-first-screen.mjs could not make the page's first screen")
endif()
foreach(piece SWAP:swap.html SWAP_SIZE:swap-size.txt)
  string(REPLACE ":" ";" piece "${piece}")
  list(GET piece 0 var)
  list(GET piece 1 file)
  file(READ "${first_dir}/${file}" ${var})
endforeach()

execute_process(COMMAND base64 -w0 "${WASM}" OUTPUT_VARIABLE WASM RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "base64 (Debian: coreutils) failed on ${WASM}")
endif()
file(READ "${WEB}/style.css" STYLE)
string(STRIP "${STYLE}" STYLE)
execute_process(COMMAND ${GZIP} -9nc "${SCRIPT}" OUTPUT_FILE "${SCRIPT}.gz" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "gzip (Debian: gzip) failed on ${SCRIPT}")
endif()
execute_process(COMMAND base64 -w0 "${SCRIPT}.gz" OUTPUT_VARIABLE SCRIPT RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "base64 (Debian: coreutils) failed on ${SCRIPT}.gz")
endif()
foreach(var LOADER FIRST)
  file(READ "${${var}}" text)
  if(text MATCHES "</script")
    message(FATAL_ERROR "${${var}} holds </script, which would end the page's script early")
  endif()
  string(STRIP "${text}" ${var})
endforeach()
configure_file("${WEB}/index.html" "${OUTPUT}" @ONLY)
