# Unused files, exports and dependencies of the learner's page: knip, in
# production mode, with tests/web/knip.jsonc.  knip reads only the files
# under the directory it runs in, which needs a package.json of its own: the
# page's modules (web/) and its build scripts (cmake/*.mjs) are copied into
# WORK, afresh each run, with the configuration and an empty package.json.
#
#   cmake -DNODE=node -DKNIP=node_modules/knip/bin/knip.js -DSOURCE=repo -DWORK=dir -P web-unused.cmake

foreach(var NODE KNIP SOURCE WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "web-unused.cmake: -D${var}=... is required")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/cmake")
file(COPY "${SOURCE}/web" DESTINATION "${WORK}")
file(GLOB scripts "${SOURCE}/cmake/*.mjs")
file(COPY ${scripts} DESTINATION "${WORK}/cmake")
file(COPY "${SOURCE}/tests/web/knip.jsonc" DESTINATION "${WORK}")
file(WRITE "${WORK}/package.json" "{\"private\": true}\n")
execute_process(COMMAND "${NODE}" "${KNIP}" --production --no-progress WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE rc)
if(rc EQUAL 1)
  message(FATAL_ERROR "knip: the page's code has unused files, exports or dependencies, listed above")
elseif(NOT rc EQUAL 0)
  message(FATAL_ERROR "knip did not run to its end (exit ${rc})")
endif()
