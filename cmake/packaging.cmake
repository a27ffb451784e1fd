# Packages, written by cpack where INVERSE_NEVILLE_PACKAGES is ON (the
# release, linux-cross, windows and wasi presets): a .deb and a tarball with
# a statically linked program on Linux, a zip for Windows and WebAssembly
# (and the learner's page beside it), in a git checkout `git archive` of the
# tree built, and SHA256SUMS beside them; the same bytes from the same
# sources (docs/reproducibility.md says how).

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
# How the packaged program is built again, for its notice: the preset, its
# build tree and the target.
if(INVERSE_NEVILLE_TRIPLET)
  set(preset linux-cross)
  set(tree out/${INVERSE_NEVILLE_TRIPLET})
  if(INVERSE_NEVILLE_CROSS_CLANG)
    set(preset linux-cross-clang)
    string(APPEND tree -clang)
  endif()
  set(preset "INVERSE_NEVILLE_TRIPLET=${INVERSE_NEVILLE_TRIPLET} cmake --preset ${preset}")
elseif(WIN32)
  set(preset "cmake --preset windows")
  set(tree out/windows)
elseif(CMAKE_SYSTEM_NAME STREQUAL "WASI")
  set(preset "cmake --preset wasi")
  set(tree out/wasi)
else()
  set(preset "cmake --preset release")
  set(tree out/release)
endif()
string(REPLACE "cmake --preset" "cmake --build --preset" build "${preset}")
macro(rebuild_commands target program)
  set(rebuild "${preset} -DBUILD_TESTING=OFF" "${build} --target ${target}"
    "# the program: ${tree}/${program}")
endmacro()

# --- what each package holds, by install component -----------------------------
if(WIN32 OR CMAKE_SYSTEM_NAME STREQUAL "WASI")
  set(CPACK_GENERATOR ZIP)
  if(WIN32)
    set(CPACK_SYSTEM_NAME win64)
    rebuild_commands(inverse_neville inverse_neville.exe)
    inverse_neville_notices(third-party inverse_neville_notices "${rebuild}"
      "MinGW-w64's runtime|libmingwex.a|libmingw32.a|libmsvcrt.a|libkernel32.a|libmoldname.a"
      "GCC's runtime libraries|libgcc.a|libgcc_eh.a|libstdc++.a")
  else()
    set(CPACK_SYSTEM_NAME wasi)
    rebuild_commands(inverse_neville inverse_neville.wasm)
    inverse_neville_notices(third-party inverse_neville_notices "${rebuild}"
      "wasi-libc|libc.a")
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
  # Stripped by the target's own binutils: where CMake picks llvm-strip for
  # Clang, that fails on a static glibc program ("Link field value ... is
  # not a symbol table"), and cpack would go on with the program unstripped.
  foreach(tool strip objcopy)
    string(TOUPPER ${tool} var)
    find_program(INVERSE_NEVILLE_${var} ${triplet}-${tool})
    if(INVERSE_NEVILLE_${var})
      set(CMAKE_${var} ${INVERSE_NEVILLE_${var}})
    endif()
  endforeach()
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
    rebuild_commands(inverse_neville_static static/inverse_neville)
    inverse_neville_notices(${inverse_neville_in_docdir}third-party inverse_neville_notices "${rebuild}"
      "The GNU C Library|libc.a|libm.a" "GCC's runtime libraries|libgcc.a|libgcc_eh.a|libstdc++.a")
    set(components static man doc notices)
  endif()

  # Debian's package: its documents under the package's name, the licence
  # as a machine-readable copyright file, the changelog gzipped.
  set(docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/inverse-neville)
  file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
  string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" copyright "${licence}")
  set(copyright ${CMAKE_MATCH_1})
  string(REGEX REPLACE "\n+$" "" licence "${licence}")
  string(REPLACE "\n\n" "\n.\n" licence "${licence}")
  string(REPLACE "\n" "\n " licence "${licence}")
  file(WRITE ${PROJECT_BINARY_DIR}/debian/copyright
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
    "Upstream-Name: inverse_neville\n\nFiles: *\n"
    "Copyright: ${copyright}\nLicense: Expat\n ${licence}\n")
  # documents over 4 kB gzipped, as Debian's tools leave them
  inverse_neville_gzip(docs/changelog debian/changelog.gz inverse_neville_changelog)
  inverse_neville_gzip(README.md debian/README.md.gz inverse_neville_readme)
  inverse_neville_gzip(docs/reproducibility.md debian/docs/reproducibility.md.gz inverse_neville_reproducibility)
  inverse_neville_gzip(docs/learner-page.md debian/docs/learner-page.md.gz inverse_neville_learner_page)
  install(FILES ${PROJECT_BINARY_DIR}/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
    ${PROJECT_BINARY_DIR}/debian/README.md.gz DESTINATION ${docdir} COMPONENT inverse_neville_debian EXCLUDE_FROM_ALL)
  install(FILES docs/inverse_neville.svg docs/learner-page.png ${PROJECT_BINARY_DIR}/debian/docs/reproducibility.md.gz
    ${PROJECT_BINARY_DIR}/debian/docs/learner-page.md.gz DESTINATION ${docdir}/docs COMPONENT inverse_neville_debian
    EXCLUDE_FROM_ALL)
  find_program(INVERSE_NEVILLE_LINTIAN lintian)
  if(NOT INVERSE_NEVILLE_LINTIAN)
    message(STATUS "No lintian: package.deb will not check the .deb against Debian policy (Debian: lintian)")
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    install(FILES cmake/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
      RENAME inverse-neville COMPONENT inverse_neville_debian EXCLUDE_FROM_ALL)
  endif()
  set(CPACK_INVERSE_NEVILLE_DEB_COMPONENTS program man debian)
  set(INVERSE_NEVILLE_DEB
    ${CPACK_DEBIAN_PACKAGE_NAME}_${PROJECT_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.deb)
endif()
set(CPACK_INVERSE_NEVILLE_ARCHIVE_COMPONENTS ${components})
# The tools that write, or normalise, each kind of package
# (cmake/cpack-finish.cmake), by their Debian packages: without one the
# package step would stop only after the whole build and its tests.
set(tools "")
if(CPACK_GENERATOR MATCHES "ZIP")
  list(APPEND tools strip-nondeterminism:strip-nondeterminism)
endif()
if(CPACK_GENERATOR MATCHES "DEB")
  list(APPEND tools dpkg-deb:dpkg)
endif()
if(CPACK_GENERATOR MATCHES "TGZ")
  list(APPEND tools tar:tar gzip:gzip)
endif()
set(missing "")
set(debian "")
foreach(tool IN LISTS tools)
  string(REPLACE ":" ";" tool ${tool})
  list(GET tool 0 name)
  list(GET tool 1 package)
  string(MAKE_C_IDENTIFIER "INVERSE_NEVILLE_${name}" var)
  string(TOUPPER ${var} var)
  find_program(${var} ${name})
  if(NOT ${var})
    list(APPEND missing ${name})
    list(APPEND debian ${package})
  endif()
endforeach()
if(missing)
  list(JOIN missing ", " missing)
  list(JOIN debian " " debian)
  message(FATAL_ERROR "No ${missing}: the packages cannot be written (Debian: ${debian}); "
    "install it, or configure with -DINVERSE_NEVILLE_PACKAGES=OFF")
endif()
# The linker's map of the program that links libraries statically: the
# package tests hold the notices against what it took from where.
set(INVERSE_NEVILLE_LINK_MAP "")
if(INVERSE_NEVILLE_NOTICES)
  set(INVERSE_NEVILLE_LINK_MAP ${PROJECT_BINARY_DIR}/linked.map)
  set(mapped inverse_neville)
  if(INVERSE_NEVILLE_STATIC_RUNS)
    set(mapped inverse_neville_static)
  endif()
  target_link_options(${mapped} PRIVATE LINKER:-Map=${INVERSE_NEVILLE_LINK_MAP})
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})

# The source archive is git's (cmake/cpack-finish.cmake), made beside the
# packages where the source tree is a git checkout's top (also when reached
# through a symbolic link).
find_program(INVERSE_NEVILLE_GIT git)
set(cdup "not a checkout")
if(INVERSE_NEVILLE_GIT)
  execute_process(COMMAND ${INVERSE_NEVILLE_GIT} -C ${PROJECT_SOURCE_DIR} rev-parse --show-cdup
    OUTPUT_VARIABLE cdup OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE rc)
endif()
set(INVERSE_NEVILLE_SOURCE_ARCHIVE "")
if(INVERSE_NEVILLE_GIT AND rc EQUAL 0 AND cdup STREQUAL "")
  set(INVERSE_NEVILLE_SOURCE_ARCHIVE ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-source.tar.gz)
else()
  message(STATUS "Not a git checkout (or no git): no source archive is made here, "
    "and package.source and package.rebuild, its checks, are left out")
endif()
set(CPACK_INVERSE_NEVILLE_GIT ${INVERSE_NEVILLE_GIT})
set(CPACK_INVERSE_NEVILLE_SOURCE_ARCHIVE ${INVERSE_NEVILLE_SOURCE_ARCHIVE})

configure_file(${PROJECT_SOURCE_DIR}/cmake/cpack-options.cmake.in
  ${PROJECT_BINARY_DIR}/CPackOptions.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackOptions.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/cpack-staging.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/cpack-finish.cmake)
set(CPACK_INVERSE_NEVILLE_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_INVERSE_NEVILLE_OBJCOPY ${CMAKE_OBJCOPY})
set(CPACK_INVERSE_NEVILLE_SYSROOTS ${CMAKE_SYSROOT} ${CMAKE_FIND_ROOT_PATH})
# the file names, for SHA256SUMS and the package tests
string(TOLOWER "${CPACK_GENERATOR}" archive)
string(REGEX REPLACE ".*tgz" "tar.gz" archive "${archive}")
set(INVERSE_NEVILLE_ARCHIVE ${CPACK_PACKAGE_FILE_NAME}.${archive})
set(CPACK_INVERSE_NEVILLE_PACKAGES ${INVERSE_NEVILLE_DEB} ${INVERSE_NEVILLE_ARCHIVE} ${INVERSE_NEVILLE_SOURCE_ARCHIVE}
  ${INVERSE_NEVILLE_PAGE})
# the learner's page, beside the WebAssembly zip
if(INVERSE_NEVILLE_PAGE)
  set(CPACK_INVERSE_NEVILLE_PAGE ${PROJECT_BINARY_DIR}/${INVERSE_NEVILLE_PAGE})
endif()

include(CPack)
