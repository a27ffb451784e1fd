# Run by cpack after it writes each package, before it copies the package
# out of its work tree (CPACK_POST_BUILD_SCRIPTS).  Each package is written
# again, or normalised, by its format's own tool; without that tool,
# packaging stops and names its Debian package.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
foreach(file IN LISTS CPACK_PACKAGE_FILES)
  if(file MATCHES "\\.deb$") # owned by root, dpkg-deb's own modes and times
    set(need dpkg)
    set(tree "${CPACK_TOPLEVEL_DIRECTORY}/deb-tree")
    file(REMOVE_RECURSE "${tree}")
    execute_process(COMMAND dpkg-deb --raw-extract "${file}" "${tree}" RESULTS_VARIABLE rc)
    if(rc STREQUAL "0")
      execute_process(COMMAND chmod -R u=rwX,go=rX "${tree}")
      execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build "${tree}" "${file}"
        OUTPUT_QUIET RESULTS_VARIABLE rc)
    endif()
  elseif(file MATCHES "\\.tar\\.gz$") # sorted, owned by root, one time
    set(need "tar gzip")
    get_filename_component(staged "${CPACK_TEMPORARY_DIRECTORY}" DIRECTORY)
    execute_process(COMMAND tar --sort=name --format=gnu --owner=0 --group=0 --numeric-owner
        "--mtime=@${epoch}" --mode=u=rwX,go=rX -cf - -C "${staged}" "${CPACK_PACKAGE_FILE_NAME}"
      COMMAND gzip -9n OUTPUT_FILE "${file}" RESULTS_VARIABLE rc)
  else() # a zip: sorted, one time, no owners
    set(need strip-nondeterminism)
    execute_process(COMMAND strip-nondeterminism -T ${epoch} -t zip "${file}"
      OUTPUT_QUIET RESULTS_VARIABLE rc)
  endif()
  if(NOT rc MATCHES "^0(;0)*$")
    file(REMOVE "${file}")
    message(FATAL_ERROR "writing ${file} failed (${rc}): install the Debian packages ${need}")
  endif()
endforeach()
set(dir "${CPACK_PACKAGE_DIRECTORY}")
file(COPY ${CPACK_PACKAGE_FILES} ${CPACK_INVERSE_NEVILLE_PAGE} DESTINATION "${dir}")

# The source archive, in a git checkout: `git archive` of the tree being
# packaged.  With changes not committed (a distribution's patches, say),
# that is a commit of the working tree that `git stash create` writes
# without touching the tree, dated SOURCE_DATE_EPOCH, so that a build from
# the unpacked archive takes the same time; otherwise HEAD.
if(CPACK_INVERSE_NEVILLE_SOURCE_ARCHIVE)
  set(git "${CPACK_INVERSE_NEVILLE_GIT}" -C "${CPACK_INVERSE_NEVILLE_SOURCE_DIR}")
  set(who inverse_neville)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env GIT_AUTHOR_NAME=${who} GIT_AUTHOR_EMAIL=${who}
      GIT_COMMITTER_NAME=${who} GIT_COMMITTER_EMAIL=${who}
      "GIT_AUTHOR_DATE=@${epoch} +0000" "GIT_COMMITTER_DATE=@${epoch} +0000" ${git} stash create
    OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  if(commit)
    message(STATUS "The source archive holds the working tree, with its uncommitted changes (${commit})")
  else()
    set(commit HEAD)
  endif()
  string(REGEX REPLACE "\\.tar\\.gz$" "" top "${CPACK_INVERSE_NEVILLE_SOURCE_ARCHIVE}")
  execute_process(COMMAND ${git} archive --format=tar "--prefix=${top}/" ${commit}
    COMMAND gzip -9n OUTPUT_FILE "${dir}/${CPACK_INVERSE_NEVILLE_SOURCE_ARCHIVE}" RESULTS_VARIABLE rc)
  if(NOT rc MATCHES "^0;0$")
    file(REMOVE "${dir}/${CPACK_INVERSE_NEVILLE_SOURCE_ARCHIVE}")
    message(FATAL_ERROR "git archive failed (${rc}): install the Debian packages git gzip")
  endif()
endif()

# SHA256SUMS: the packages this build tree makes, and nothing else that
# lies in the directory.  (Each package is written before this runs for
# the last time in a cpack run.)
set(packages "")
foreach(package IN LISTS CPACK_INVERSE_NEVILLE_PACKAGES)
  if(EXISTS "${dir}/${package}")
    list(APPEND packages "${package}")
  endif()
endforeach()
list(SORT packages)
execute_process(COMMAND sha256sum -- ${packages} WORKING_DIRECTORY "${dir}"
  OUTPUT_FILE "${dir}/SHA256SUMS" COMMAND_ERROR_IS_FATAL ANY)
