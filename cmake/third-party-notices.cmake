# Third-party notices for a package whose program links libraries
# statically (the tarball's glibc, the Windows program's MinGW-w64 runtime,
# the WebAssembly program's wasi-libc and libc++):
#
#   inverse_neville_notices(<destination> <component> "<file>|<name>"...)
#
# asks the compiler where it finds each library file and dpkg which package
# holds it, then installs that package's copyright file, the licence texts
# it refers to under /usr/share/common-licenses, and a NOTICE naming each
# library, its version, its corresponding source and how to relink, into
# <destination>/third-party.  Sets INVERSE_NEVILLE_NOTICES to the names
# asked for: the package tests fail on any that NOTICE lacks.

function(inverse_neville_notices destination component)
  set(dir ${PROJECT_BINARY_DIR}/third-party)
  file(REMOVE_RECURSE ${dir})
  set(text "The program in this package is linked statically with the libraries\nbelow; each one's copyright notice and licences are files beside this one.\n")
  set(names "")
  foreach(entry IN LISTS ARGN)
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 library)
    list(GET entry 1 name)
    list(APPEND names "${name}")
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} ${target_option} -print-file-name=${library}
      OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    get_filename_component(path "${path}" REALPATH)
    execute_process(COMMAND dpkg-query -S "${path}" OUTPUT_VARIABLE package ERROR_QUIET)
    string(REGEX REPLACE "[:,].*" "" package "${package}")
    execute_process(COMMAND dpkg-query -W "-f=\${Version}|\${source:Package}|\${source:Version}" ${package}
      OUTPUT_VARIABLE versions RESULT_VARIABLE rc ERROR_QUIET)
    set(copyright /usr/share/doc/${package}/copyright)
    if(NOT package OR NOT rc EQUAL 0 OR NOT EXISTS ${copyright})
      message(STATUS "No Debian copyright file for ${name} (${library}): not in the package's NOTICE")
      continue()
    endif()
    string(REPLACE "|" ";" versions "${versions}")
    list(GET versions 0 version)
    list(GET versions 1 source)
    list(GET versions 2 source_version)
    string(REGEX REPLACE "^([0-9]+:)?([^-]+)(-.*)?$" "\\2" upstream "${version}")
    configure_file(${copyright} ${dir}/${package}.copyright COPYONLY)
    file(STRINGS ${copyright} licences REGEX "/usr/share/common-licenses/")
    string(REGEX MATCHALL "/usr/share/common-licenses/[A-Za-z0-9.+-]*[A-Za-z0-9]" licences "${licences}")
    list(REMOVE_DUPLICATES licences)
    set(texts "")
    foreach(licence IN LISTS licences)
      get_filename_component(licence_name ${licence} NAME)
      configure_file(${licence} ${dir}/${licence_name} COPYONLY)
      string(APPEND texts " ${licence_name}")
    endforeach()
    string(APPEND text "\n${name} ${upstream}\n"
      "  from Debian's package ${package} ${version}: notice ${package}.copyright,\n"
      "  licence texts${texts}\n"
      "  corresponding source: Debian's source package ${source} ${source_version}\n"
      "  (apt-get source ${source}=${source_version})\n")
  endforeach()
  string(APPEND text "\nTo relink the program with a modified version of these libraries, build\n"
    "it again from ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-source.tar.gz (MIT; its README\n"
    "says how) against the modified library.\n")
  file(WRITE ${dir}/NOTICE "${text}")
  install(DIRECTORY ${dir}/ DESTINATION ${destination}/third-party COMPONENT ${component} EXCLUDE_FROM_ALL)
  set(INVERSE_NEVILLE_NOTICES "${names}" PARENT_SCOPE)
endfunction()
