# Run by cpack on the staged files, before it packs them
# (CPACK_PRE_BUILD_SCRIPTS).

# Fixed modes, whatever the builder's umask or checkout: directories and
# programs 0755, every other file 0644.
find_program(chmod chmod)
if(chmod)
  execute_process(COMMAND ${chmod} -R u=rwX,go=rX . WORKING_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}"
    RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "chmod on the staged files failed")
  endif()
endif()

# Debian: Depends, as dpkg-shlibdeps reads it off the program for the
# package's own architecture.  A cross build finds the target's C library in
# Debian's cross sysroot (/usr/<triplet>/lib), whose shlibs files name the
# packages for a cross compiler (libc6:arm64, libgcc-s1-armhf-cross): in a
# package of that architecture they are plain libc6 and libgcc-s1.  Never
# an empty Depends.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(shlibdeps dpkg-shlibdeps)
  if(NOT shlibdeps)
    message(FATAL_ERROR "dpkg-shlibdeps is needed for the .deb's Depends: install dpkg-dev")
  endif()
  set(search "")
  foreach(dir IN LISTS CPACK_INVERSE_NEVILLE_LIBRARY_DIRS)
    if(IS_DIRECTORY "${dir}")
      list(APPEND search "-l${dir}")
    endif()
  endforeach()
  set(work "${CPACK_TOPLEVEL_DIRECTORY}/shlibdeps")
  file(REMOVE_RECURSE "${work}")
  file(WRITE "${work}/debian/control" "")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C DEB_HOST_ARCH=${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}
      ${shlibdeps} ${search} -O "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/inverse_neville"
    WORKING_DIRECTORY "${work}"
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc OUTPUT_STRIP_TRAILING_WHITESPACE)
  file(REMOVE_RECURSE "${work}")
  string(REGEX REPLACE "^shlibs:Depends=" "" depends "${out}")
  string(REGEX REPLACE ":${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}( |,|$)" "\\1" depends "${depends}")
  string(REGEX REPLACE "-${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}-cross( |,|$)" "\\1" depends "${depends}")
  if(NOT rc EQUAL 0 OR NOT depends MATCHES "^libc6")
    message(FATAL_ERROR "dpkg-shlibdeps found no Depends for ${CPACK_DEBIAN_PACKAGE_ARCHITECTURE} "
      "(a cross build needs Debian's libc6-dev-<arch>-cross): ${err}${out}")
  endif()
  message(STATUS "Depends: ${depends}")

  # and without the compilers' .comment section, as dh_strip leaves it
  if(NOT CPACK_INVERSE_NEVILLE_OBJCOPY)
    message(FATAL_ERROR "objcopy (binutils for the target) is needed for the .deb")
  endif()
  execute_process(COMMAND ${CPACK_INVERSE_NEVILLE_OBJCOPY} --remove-section=.comment
      "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/inverse_neville" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objcopy --remove-section=.comment failed")
  endif()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${depends}")
endif()
