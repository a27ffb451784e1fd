# Run by cpack after it writes each package, before it copies the package
# out of its work tree (CPACK_POST_BUILD_SCRIPTS).  Each package is written
# again, or normalised, by its format's own tool; without that tool,
# packaging stops and names its Debian package.
set(src "${CPACK_INVERSE_NEVILLE_SOURCE_DIR}")
set(git git -C "${src}")
foreach(file IN LISTS CPACK_PACKAGE_FILES)
  if(CPACK_INSTALLED_DIRECTORIES) # the source archive: what git tracks at HEAD
    execute_process(COMMAND ${git} rev-parse --show-toplevel OUTPUT_VARIABLE top ERROR_QUIET)
    if(NOT top STREQUAL "${src}\n")
      file(REMOVE "${file}")
      message(FATAL_ERROR "A source archive is made from a git checkout (git archive); ${src} is not one.")
    endif()
    set(need "git gzip")
    execute_process(COMMAND ${git} archive --format=tar "--prefix=${CPACK_PACKAGE_FILE_NAME}/" HEAD
      COMMAND gzip -9n OUTPUT_FILE "${file}" RESULTS_VARIABLE rc)
  elseif(file MATCHES "\\.deb$") # owned by root, dpkg-deb's own modes and times
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
        "--mtime=@$ENV{SOURCE_DATE_EPOCH}" --mode=u=rwX,go=rX -cf - -C "${staged}" "${CPACK_PACKAGE_FILE_NAME}"
      COMMAND gzip -9n OUTPUT_FILE "${file}" RESULTS_VARIABLE rc)
  else() # a zip: sorted, one time, no owners
    set(need strip-nondeterminism)
    execute_process(COMMAND strip-nondeterminism -T $ENV{SOURCE_DATE_EPOCH} -t zip "${file}"
      OUTPUT_QUIET RESULTS_VARIABLE rc)
  endif()
  if(NOT rc MATCHES "^0(;0)*$")
    file(REMOVE "${file}")
    message(FATAL_ERROR "writing ${file} failed (${rc}): install the Debian packages ${need}")
  endif()
endforeach()

# SHA256SUMS, by sha256sum over the packages that lie in the directory.
set(dir "${CPACK_PACKAGE_DIRECTORY}")
file(COPY ${CPACK_PACKAGE_FILES} DESTINATION "${dir}")
file(GLOB packages RELATIVE "${dir}" "${dir}/*.deb" "${dir}/*.tar.gz" "${dir}/*.zip")
list(SORT packages)
execute_process(COMMAND sha256sum -- ${packages} WORKING_DIRECTORY "${dir}"
  OUTPUT_FILE "${dir}/SHA256SUMS" COMMAND_ERROR_IS_FATAL ANY)
