# Run by cpack on the staged files, before it packs them
# (CPACK_PRE_BUILD_SCRIPTS).

# Fixed modes, whatever the builder's umask: directories and programs 0755,
# every other file 0644.
execute_process(COMMAND chmod -R u=rwX,go=rX . WORKING_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}"
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "chmod on the staged files failed")
endif()

# Debian: Depends, as dpkg-shlibdeps reads it off the program for the
# package's architecture.  A cross build finds the target's C library in
# Debian's cross sysroot, whose shlibs files name the packages for a cross
# compiler (libc6:arm64, libgcc-s1-armhf-cross): in a package of that
# architecture they are plain libc6 and libgcc-s1.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(program "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/inverse_neville")
  set(search "")
  foreach(root IN LISTS CPACK_INVERSE_NEVILLE_SYSROOTS)
    list(APPEND search "-l${root}/lib")
  endforeach()
  set(work "${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps")
  file(REMOVE_RECURSE "${work}")
  file(WRITE "${work}/debian/control" "")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C DEB_HOST_ARCH=${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}
      dpkg-shlibdeps ${search} -O "${program}"
    WORKING_DIRECTORY "${work}"
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc OUTPUT_STRIP_TRAILING_WHITESPACE)
  string(REGEX REPLACE "^shlibs:Depends=" "" depends "${out}")
  string(REGEX REPLACE "(:|-)${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}(-cross)?( |,|$)" "\\3" depends "${depends}")
  if(NOT rc EQUAL 0 OR NOT depends MATCHES "^libc6")
    message(FATAL_ERROR "dpkg-shlibdeps (Debian: dpkg-dev) found no Depends for "
      "${CPACK_DEBIAN_PACKAGE_ARCHITECTURE} (a cross build needs libc6-dev-<arch>-cross): ${err}${out}")
  endif()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${depends}")
  message(STATUS "Depends: ${depends}")
  # and without the compilers' .comment section, as dh_strip leaves it
  execute_process(COMMAND ${CPACK_INVERSE_NEVILLE_OBJCOPY} --remove-section=.comment "${program}"
    RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objcopy (binutils for the target) --remove-section=.comment failed")
  endif()
endif()
