# Packages, written by cpack or by the package steps of the release, cross,
# windows and wasi workflow presets:
#
#   Linux       inverse-neville_<version>_<debian arch>.deb: the dynamically
#               linked program, the manual page and the documents, as
#               Debian policy has them;
#               inverse_neville-<version>-linux-<cpu>.tar.gz: a statically
#               linked program, which runs on any Linux of its CPU;
#   Windows     inverse_neville-<version>-win64.zip;
#   WebAssembly inverse_neville-<version>-wasi.zip;
#   and beside them SHA256SUMS.  `package_source` (or the release workflow)
#   writes inverse_neville-<version>-source.tar.gz, the tracked sources.
#
# The same sources give the same bytes, whoever builds them, wherever and
# whenever: every archive member carries the time of the last commit (or of
# the newest changelog entry outside git), and the modes are fixed.

include(CheckCXXSourceCompiles)

set(CPACK_PACKAGE_NAME inverse_neville)
set(CPACK_PACKAGE_VENDOR "The inverse_neville developers")
set(CPACK_PACKAGE_CONTACT "inverse_neville developers <inverse-neville@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "root of exp(-2x) = x by inverse Neville interpolation")
set(CPACK_PACKAGE_DESCRIPTION
  "inverse_neville approximates the root of exp(-2x) = x by inverse
interpolation: it tabulates f(x) = exp(-2x) - x at four fixed nodes, runs
Neville's iterated interpolation on the inverse function x = g(y) and
evaluates the cubic at y = 0. It prints the approximated root and the
residual exp(-2p) - p in two fixed lines, the same to the last digit on
every build. It reads no input; it is meant for learning, teaching and
checking numerical methods.")
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

# --- what each package holds --------------------------------------------------
# Install components: program, man and doc are what a plain `cmake
# --install` writes; static and debian only packages ask for.
set(inverse_neville_archive_program program)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
elseif(CMAKE_SYSTEM_NAME STREQUAL "WASI")
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME wasi)
else()
  set(CPACK_GENERATOR DEB TGZ)
  # The target as the compiler names it (aarch64-linux-gnu), and as Debian
  # does (arm64): the .deb's Architecture and the tarball's CPU.
  set(target_option "")
  if(CMAKE_CXX_COMPILER_TARGET)
    set(target_option --target=${CMAKE_CXX_COMPILER_TARGET})
  endif()
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} ${target_option} -dumpmachine
    OUTPUT_VARIABLE triplet OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  string(REGEX REPLACE "-(unknown|pc)-" "-" triplet "${triplet}")
  string(REGEX REPLACE "-.*" "" cpu "${triplet}")
  if(cpu STREQUAL "arm")
    # two ABIs on one CPU name: hard-float (armhf) and soft-float (armel)
    if(triplet MATCHES "hf$")
      set(cpu armhf)
    else()
      set(cpu armel)
    endif()
  endif()
  set(CPACK_SYSTEM_NAME linux-${cpu})
  find_program(INVERSE_NEVILLE_DPKG_ARCHITECTURE dpkg-architecture)
  if(INVERSE_NEVILLE_DPKG_ARCHITECTURE AND triplet)
    execute_process(COMMAND ${INVERSE_NEVILLE_DPKG_ARCHITECTURE} -t${triplet} -qDEB_HOST_ARCH
      OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
    # cpack stops on this: a .deb must say what it runs on
    message(STATUS "No Debian architecture for '${triplet}' (dpkg-architecture, from dpkg-dev): no .deb")
    set(CPACK_GENERATOR TGZ)
  endif()

  # The tarball's program is linked statically: it needs no C library on
  # the machine, nor a particular version of one.
  set(CMAKE_REQUIRED_LINK_OPTIONS -static)
  check_cxx_source_compiles([[
#include <cmath>
#include <cstdio>
int main(int argc, char **) { return std::printf("%f", std::exp(argc)) < 0; }]]
    INVERSE_NEVILLE_LINKS_STATIC)
  unset(CMAKE_REQUIRED_LINK_OPTIONS)
  if(INVERSE_NEVILLE_LINKS_STATIC)
    inverse_neville_add_program(inverse_neville_static)
    target_link_options(inverse_neville_static PRIVATE -static)
    set_target_properties(inverse_neville_static PROPERTIES
      OUTPUT_NAME inverse_neville RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/static)
    install(TARGETS inverse_neville_static RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
      COMPONENT static EXCLUDE_FROM_ALL)
    set(inverse_neville_archive_program static)
  else()
    message(STATUS "No static C library: the tarball holds the dynamically linked program")
  endif()

  # Debian's package: its documents under the package's name, the licence
  # as a machine-readable copyright file, and the changelog gzipped as
  # policy asks (-9, no name, no time stamp).
  set(debian_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/inverse-neville)
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
  string(REGEX REPLACE "\n+$" "" licence "${licence}")
  string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
  string(REGEX REPLACE "\n" "\n " licence "${licence}")
  file(WRITE ${PROJECT_BINARY_DIR}/debian/copyright
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: inverse_neville\n"
    "\n"
    "Files: *\n"
    "Copyright: 2026 The inverse_neville developers\n"
    "License: Expat\n"
    " ${licence}\n")
  if(INVERSE_NEVILLE_GZIP)
    inverse_neville_gzip(docs/changelog debian/changelog.gz inverse_neville_changelog)
    set(changelog ${PROJECT_BINARY_DIR}/debian/changelog.gz)
    install(FILES ${changelog} DESTINATION ${debian_docdir} COMPONENT debian EXCLUDE_FROM_ALL)
  endif()
  install(FILES ${PROJECT_BINARY_DIR}/debian/copyright README.md
    DESTINATION ${debian_docdir} COMPONENT debian EXCLUDE_FROM_ALL)
  install(FILES docs/inverse_neville.svg docs/reproducibility.md
    DESTINATION ${debian_docdir}/docs COMPONENT debian EXCLUDE_FROM_ALL)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    # Measured with clang 14 and glibc 2.36, and nothing a flag can mend.
    file(WRITE ${PROJECT_BINARY_DIR}/debian/lintian-overrides
      "# glibc 2.36 fortifies printf and fprintf only for GCC, whose\n"
      "# __builtin_va_arg_pack Clang lacks; the program calls no other function\n"
      "# that _FORTIFY_SOURCE guards.  Its GCC build uses __printf_chk.\n"
      "inverse-neville: hardening-no-fortify-functions [usr/bin/inverse_neville]\n")
    install(FILES ${PROJECT_BINARY_DIR}/debian/lintian-overrides
      DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME inverse-neville
      COMPONENT debian EXCLUDE_FROM_ALL)
  endif()
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})

# Debian: a package name cannot hold an underscore; the program keeps its
# name.  Depends is read off the staged program by dpkg-shlibdeps, for the
# package's own architecture (cmake/cpack-staging.cmake).
set(CPACK_DEBIAN_PACKAGE_NAME inverse-neville)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# --- the tracked sources --------------------------------------------------------
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-source)
# What .gitignore keeps out of git, and git's own files: regular
# expressions on absolute paths, anchored at the source tree, written into
# CPackSourceConfig.cmake as they stand: each special character of a path
# behind a backslash, and every backslash doubled.
string(REGEX REPLACE "([][+.*()^$?|\\])" "\\\\\\\\\\1" source_dir "${PROJECT_SOURCE_DIR}")
string(REGEX REPLACE "([][+.*()^$?|\\])" "\\\\\\\\\\1" binary_dir "${PROJECT_BINARY_DIR}")
set(CPACK_SOURCE_IGNORE_FILES "^${binary_dir}/")
foreach(path "\\\\.git/" "\\\\.git$" "out/" "build[^/]*/" "CMakeUserPresets\\\\.json$" ".*/__pycache__/")
  list(APPEND CPACK_SOURCE_IGNORE_FILES "^${source_dir}/${path}")
endforeach()

# --- reproducible bytes ---------------------------------------------------------
# The fallback time: the date of the newest changelog entry, as dpkg takes
# it, in seconds since 1970.
file(STRINGS ${PROJECT_SOURCE_DIR}/docs/changelog trailer REGEX "^ -- " LIMIT_COUNT 1)
if(NOT trailer MATCHES ", ([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+) ([0-9]+):([0-9]+):([0-9]+) \\+0000$")
  message(FATAL_ERROR "docs/changelog: the newest entry has no date in UTC: ${trailer}")
endif()
set(day ${CMAKE_MATCH_1})
set(year ${CMAKE_MATCH_3})
math(EXPR clock "${CMAKE_MATCH_4} * 3600 + ${CMAKE_MATCH_5} * 60 + ${CMAKE_MATCH_6}")
list(FIND "Jan;Feb;Mar;Apr;May;Jun;Jul;Aug;Sep;Oct;Nov;Dec" ${CMAKE_MATCH_2} month)
# days since 1970-01-01 of a date in the proleptic Gregorian calendar
# (H. Hinnant's days_from_civil), with March as the year's first month
math(EXPR month "${month} + 1")
if(month LESS_EQUAL 2)
  math(EXPR year "${year} - 1")
endif()
math(EXPR era "${year} / 400")
math(EXPR yoe "${year} - ${era} * 400")
math(EXPR doy "(153 * ((${month} + 9) % 12) + 2) / 5 + ${day} - 1")
math(EXPR doe "${yoe} * 365 + ${yoe} / 4 - ${yoe} / 100 + ${doy}")
math(EXPR INVERSE_NEVILLE_CHANGELOG_EPOCH "(${era} * 146097 + ${doe} - 719468) * 86400 + ${clock}")

find_package(Git QUIET)
configure_file(${PROJECT_SOURCE_DIR}/cmake/cpack-options.cmake.in
  ${PROJECT_BINARY_DIR}/CPackOptions.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackOptions.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/cpack-staging.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/cpack-finish.cmake)
# the file names, for the package checks (include(CPack) reuses the
# variables for the source package)
if("DEB" IN_LIST CPACK_GENERATOR)
  set(INVERSE_NEVILLE_DEB
    ${CPACK_DEBIAN_PACKAGE_NAME}_${PROJECT_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.deb)
endif()
if("TGZ" IN_LIST CPACK_GENERATOR)
  set(INVERSE_NEVILLE_ARCHIVE ${CPACK_PACKAGE_FILE_NAME}.tar.gz)
else()
  set(INVERSE_NEVILLE_ARCHIVE ${CPACK_PACKAGE_FILE_NAME}.zip)
endif()
set(INVERSE_NEVILLE_SOURCE_ARCHIVE ${CPACK_SOURCE_PACKAGE_FILE_NAME}.tar.gz)
# which preset configured this tree, if one did: the rebuild check
# configures a copy of the sources with the same one
set(INVERSE_NEVILLE_PACKAGE_PRESET "" CACHE STRING "The configure preset of this build tree, if any")
set(CPACK_INVERSE_NEVILLE_ARCHIVE_PROGRAM ${inverse_neville_archive_program})
set(CPACK_INVERSE_NEVILLE_BINARY_DIR ${PROJECT_BINARY_DIR})
set(CPACK_INVERSE_NEVILLE_OBJCOPY ${CMAKE_OBJCOPY})
# where dpkg-shlibdeps finds a cross build's C library: the sysroot, as
# Debian's cross packages lay it out (/usr/<triplet>/lib)
set(CPACK_INVERSE_NEVILLE_LIBRARY_DIRS "")
if(CMAKE_CROSSCOMPILING)
  foreach(root IN LISTS CMAKE_SYSROOT CMAKE_FIND_ROOT_PATH)
    list(APPEND CPACK_INVERSE_NEVILLE_LIBRARY_DIRS ${root}/lib ${root}/usr/lib)
  endforeach()
endif()

include(CPack)
