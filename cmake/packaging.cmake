# Packages, written by cpack where INVERSE_NEVILLE_PACKAGES is ON (the
# release, linux-cross, windows and wasi presets): a .deb and a tarball with
# a statically linked program on Linux, a zip for Windows and WebAssembly,
# `git archive` of HEAD for package_source, and SHA256SUMS beside them; the
# same bytes from the same sources (docs/reproducibility.md says how).

set(CPACK_PACKAGE_NAME inverse_neville)
set(CPACK_PACKAGE_VENDOR "The inverse_neville developers")
set(CPACK_PACKAGE_CONTACT "inverse_neville developers <inverse-neville@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "root of exp(-2x) = x by inverse Neville interpolation")
set(CPACK_PACKAGE_DESCRIPTION "inverse_neville tabulates f(x) = exp(-2x) - x at four nodes, runs
Neville's iterated interpolation on the inverse function and evaluates it at
y = 0. It prints the root and the residual in two fixed lines, the same to
the last digit on every build; it is meant for learning numerical methods.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_NAME inverse-neville) # no underscore in a Debian name
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(target_option "")
if(CMAKE_CXX_COMPILER_TARGET)
  set(target_option --target=${CMAKE_CXX_COMPILER_TARGET})
endif()

include(${CMAKE_CURRENT_LIST_DIR}/third-party-notices.cmake)

# --- what each package holds, by install component -----------------------------
if(WIN32 OR CMAKE_SYSTEM_NAME STREQUAL "WASI")
  set(CPACK_GENERATOR ZIP)
  if(WIN32)
    set(CPACK_SYSTEM_NAME win64)
    inverse_neville_notices(. inverse_neville_notices
      "libmingwex.a|MinGW-w64's runtime" "libwinpthread.a|winpthreads")
  else()
    set(CPACK_SYSTEM_NAME wasi)
    inverse_neville_notices(. inverse_neville_notices "libc.a|wasi-libc" "libc++.a|libc++")
  endif()
  set(components program doc notices)
else()
  # The target as the compiler names it (its triplet), and as Debian does
  # (arm64 for aarch64): the tarball's CPU and the .deb's Architecture.
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} ${target_option} -dumpmachine
    OUTPUT_VARIABLE triplet OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  string(REGEX REPLACE "-(unknown|pc)-" "-" triplet "${triplet}")
  string(REGEX REPLACE "-.*" "" cpu "${triplet}")
  if(triplet MATCHES "^arm-.*hf$")
    set(cpu armhf)
  elseif(cpu STREQUAL "arm")
    set(cpu armel)
  endif()
  set(CPACK_SYSTEM_NAME linux-${cpu})
  execute_process(COMMAND dpkg-architecture -t${triplet} -qDEB_HOST_ARCH
    OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
    message(FATAL_ERROR "No Debian architecture for '${triplet}': install dpkg-dev (dpkg-architecture)")
  endif()
  set(CPACK_GENERATOR DEB TGZ)

  # Debian's hardening for this architecture, as dpkg-buildflags gives it
  # without its -g and -O2: the compiler's flags on every target (the tests
  # too), the linker's on the packaged program (alpha's ld crashes linking
  # GoogleTest as PIE).
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
        DEB_HOST_ARCH=${CPACK_DEBIAN_PACKAGE_ARCHITECTURE} dpkg-buildflags --get ${kind}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^(-g|-O.*|-f[a-z]+-prefix-map=.*)$")
    foreach(flag IN LISTS flags)
      if(kind STREQUAL "LDFLAGS")
        target_link_options(inverse_neville PRIVATE ${flag})
        continue()
      endif()
      # each checked after those before it (-Werror=format-security needs -Wformat)
      string(MAKE_C_IDENTIFIER "INVERSE_NEVILLE_CXX_HAS${flag}" var)
      check_cxx_compiler_flag(${flag} ${var})
      if(${var})
        target_compile_options(inverse_neville_fp INTERFACE ${flag})
        string(APPEND CMAKE_REQUIRED_FLAGS " ${flag}")
      endif()
    endforeach()
  endforeach()
  unset(CMAKE_REQUIRED_FLAGS)

  set(components program man doc)
  if(INVERSE_NEVILLE_STATIC_RUNS) # the tarball's program, and the notices of what it links
    inverse_neville_notices(${inverse_neville_docdir} inverse_neville_notices "libc.a|The GNU C Library")
    set(components static man doc notices)
  endif()

  # Debian's package: its documents under the package's name, the licence
  # as a machine-readable copyright file, the changelog gzipped.
  set(docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/inverse-neville)
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
  string(REGEX REPLACE "\n+$" "" licence "${licence}")
  string(REPLACE "\n\n" "\n.\n" licence "${licence}")
  string(REPLACE "\n" "\n " licence "${licence}")
  file(WRITE ${PROJECT_BINARY_DIR}/debian/copyright
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: inverse_neville\n\nFiles: *\n"
    "Copyright: 2026 The inverse_neville developers\nLicense: Expat\n ${licence}\n")
  inverse_neville_gzip(docs/changelog debian/changelog.gz inverse_neville_changelog)
  install(FILES ${PROJECT_BINARY_DIR}/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
    README.md DESTINATION ${docdir} COMPONENT inverse_neville_debian EXCLUDE_FROM_ALL)
  install(FILES docs/inverse_neville.svg docs/reproducibility.md
    DESTINATION ${docdir}/docs COMPONENT inverse_neville_debian EXCLUDE_FROM_ALL)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    install(FILES cmake/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
      RENAME inverse-neville COMPONENT inverse_neville_debian EXCLUDE_FROM_ALL)
  endif()
  set(CPACK_INVERSE_NEVILLE_DEB_COMPONENTS program man debian)
  set(INVERSE_NEVILLE_DEB
    ${CPACK_DEBIAN_PACKAGE_NAME}_${PROJECT_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.deb)
endif()
set(CPACK_INVERSE_NEVILLE_ARCHIVE_COMPONENTS ${components})
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})

# The source archive is git's: cpack stages nothing, and the finishing
# script writes `git archive` of HEAD in its place.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-source)
set(CPACK_SOURCE_IGNORE_FILES ".")

configure_file(${PROJECT_SOURCE_DIR}/cmake/cpack-options.cmake.in
  ${PROJECT_BINARY_DIR}/CPackOptions.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackOptions.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/cpack-staging.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/cpack-finish.cmake)
set(CPACK_INVERSE_NEVILLE_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_INVERSE_NEVILLE_OBJCOPY ${CMAKE_OBJCOPY})
set(CPACK_INVERSE_NEVILLE_SYSROOTS ${CMAKE_SYSROOT} ${CMAKE_FIND_ROOT_PATH})
# the file names, for the package tests
string(TOLOWER "${CPACK_GENERATOR}" archive)
string(REGEX REPLACE ".*tgz" "tar.gz" archive "${archive}")
set(INVERSE_NEVILLE_ARCHIVE ${CPACK_PACKAGE_FILE_NAME}.${archive})
set(INVERSE_NEVILLE_SOURCE_ARCHIVE ${CPACK_SOURCE_PACKAGE_FILE_NAME}.tar.gz)

include(CPack)
