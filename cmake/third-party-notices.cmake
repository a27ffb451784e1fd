# Third-party notices for a package whose program links libraries
# statically (the tarball's glibc and GCC runtime, the Windows program's
# MinGW-w64 and GCC runtimes, the WebAssembly program's wasi-libc and
# libc++):
#
#   inverse_neville_notices(<destination> <component> <rebuild> "<name>|<file>..."...)
#
# asks the compiler where it finds each library file and dpkg which package
# holds it, then installs that package's copyright file, the licence texts
# it refers to under /usr/share/common-licenses, and a NOTICE that names
# each library, its files, its version and its corresponding source, and
# gives the commands (<rebuild>, a list of lines) that rebuild and relink
# the program from this project's source archive, into
# <destination>.  Sets INVERSE_NEVILLE_NOTICES to the library
# files named: a package test checks them against the linker's map.

function(inverse_neville_notices destination component rebuild)
  set(dir ${PROJECT_BINARY_DIR}/third-party)
  file(REMOVE_RECURSE ${dir})
  string(CONCAT text "The program in this package is linked statically with the libraries\n"
    "below (the files named are those the link takes, or may take, parts of);\n"
    "each one's copyright notice and licences are files beside this one.\n")
  set(all_files "")
  foreach(entry IN LISTS ARGN)
    string(REPLACE "|" ";" entry "${entry}")
    list(POP_FRONT entry name)
    list(GET entry 0 library)
    list(APPEND all_files ${entry})
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
    string(REPLACE ";" ", " files "${entry}")
    string(APPEND text "\n${name} ${upstream} (${files})\n"
      "  from Debian's package ${package} ${version}: notice ${package}.copyright,\n"
      "  licence texts${texts}\n"
      "  corresponding source: Debian's source package ${source} ${source_version}\n"
      "  (apt-get source ${source}=${source_version})\n")
  endforeach()
  string(REPLACE ";" "\n  " rebuild "${rebuild}")
  string(APPEND text "\nThe program's own source is MIT-licensed: the release's\n"
    "${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-source.tar.gz.  To build the program again from it,\n"
    "with CMake 3.25 or later and the Debian packages its CONTRIBUTING.md names:\n\n"
    "  tar -xzf ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-source.tar.gz\n"
    "  cd ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-source\n  ${rebuild}\n\n"
    "To relink it with a modified version of one of these libraries, put the\n"
    "directory that holds the modified library file first on the linker's\n"
    "search path, with the same configure command and, added to it,\n\n"
    "  \"-DCMAKE_EXE_LINKER_FLAGS=-L/path/to/the/modified/library\"\n\n"
    "then build the same target again: only the link is redone.\n")
  file(WRITE ${dir}/NOTICE "${text}")
  install(DIRECTORY ${dir}/ DESTINATION ${destination} COMPONENT ${component} EXCLUDE_FROM_ALL)
  set(INVERSE_NEVILLE_NOTICES "${all_files}" PARENT_SCOPE)
endfunction()
