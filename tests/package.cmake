# Checks on the packages, as a user or a distribution meets them:
#
#   cmake -DCASE=name -DBINARY_DIR=dir -DWORK_DIR=dir [-D...] -P package.cmake
#
# CASE make writes the packages (the CTest fixture the others require);
# each other case checks one thing about them.  A case whose tool is
# missing here checks what it can and then prints "SKIPPED:", so that CTest
# counts it skipped, never passed.

cmake_minimum_required(VERSION 3.19...3.25)

foreach(var CASE BINARY_DIR WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "package.cmake: -D${var}=... is required")
  endif()
endforeach()
string(REPLACE "," ";" PACKAGES "${PACKAGES}")
string(REPLACE "," ";" NOTICES "${NOTICES}")
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

include(${CMAKE_CURRENT_LIST_DIR}/expected_output.cmake)

set(failures "")
set(unchecked "")
macro(fail what)
  string(APPEND failures "${what}\n")
endmacro()
macro(unchecked what)
  list(APPEND unchecked "${what}")
endmacro()

# Runs ARGN in WORKING_DIRECTORY dir; stops the case if it fails.
function(run out dir)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${dir}"
    OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr RESULT_VARIABLE rc)
  if(NOT rc STREQUAL "0")
    message(FATAL_ERROR "${CASE}: `${ARGN}` failed (${rc}):\n${stdout}${stderr}")
  endif()
  set(${out} "${stdout}" PARENT_SCOPE)
endfunction()

# The program at PATH, run through RUNNER (an emulator, or nothing), must
# print the two lines byte for byte and exit 0.
function(expect_program what path)
  execute_process(COMMAND ${ARGN} "${path}" INPUT_FILE "${WORK_DIR}/empty"
    OUTPUT_FILE "${WORK_DIR}/stdout" RESULT_VARIABLE rc ERROR_VARIABLE err)
  file(READ "${WORK_DIR}/stdout" got HEX)
  string(HEX "${expected_out}" want)
  if(NOT rc STREQUAL "0" OR NOT got STREQUAL want)
    set(failures "${failures}${what}: exit ${rc}, stdout (hex) ${got}, stderr ${err}\n" PARENT_SCOPE)
  endif()
endfunction()
file(WRITE "${WORK_DIR}/empty" "")

# Every member owned by root (OWNER: how the listing writes that), every
# directory 0755, every file 0644 or, for a program or the WebAssembly
# runner, 0755: LISTING holds one member a line, its mode first and its
# path last.
function(expect_members listing owner)
  string(REGEX MATCHALL "[^\n]+" lines "${listing}")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^[-d][-rwx]+ +${owner}")
      set(failures "${failures}not owned by root: ${line}\n" PARENT_SCOPE)
    elseif(line MATCHES "^d" AND NOT line MATCHES "^drwxr-xr-x ")
      set(failures "${failures}directory mode: ${line}\n" PARENT_SCOPE)
    elseif(line MATCHES "^-" AND NOT line MATCHES "^-rw-r--r-- "
        AND NOT (line MATCHES "^-rwxr-xr-x " AND line MATCHES "(/bin/[^/]+|\\.exe|\\.wasm|/wasi-run)$"))
      set(failures "${failures}file mode: ${line}\n" PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

# The installed README's relative links must lead to installed files (or
# to them gzipped, as Debian's documents are).
function(expect_links readme)
  get_filename_component(dir "${readme}" DIRECTORY)
  if(readme MATCHES "\\.gz$")
    run(text "${dir}" gzip -dc "${readme}")
  else()
    file(READ "${readme}" text)
  endif()
  # ](path) with no scheme or anchor; the brackets go before CMake's list
  # splitting sees them
  string(REGEX MATCHALL "\\]\\([^)#: ]+\\)" links "${text}")
  string(REGEX REPLACE "\\]\\(([^)]*)\\)" "\\1" links "${links}")
  foreach(link IN LISTS links)
    if(NOT EXISTS "${dir}/${link}" AND NOT EXISTS "${dir}/${link}.gz")
      set(failures "${failures}${readme}: a link to ${link}, which is not installed\n" PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

if(CASE STREQUAL "make")
  # The packages, and in a git checkout the source archive.
  run(out "${BINARY_DIR}" "${CPACK}" -C "${CONFIG}" --config CPackConfig.cmake)
  message(STATUS "${out}")

elseif(CASE STREQUAL "deb")
  set(deb "${BINARY_DIR}/${DEB}")
  find_program(dpkg_deb dpkg-deb)
  if(NOT dpkg_deb)
    message(STATUS "SKIPPED: ${CASE}: no dpkg-deb (Debian: dpkg)")
    return()
  endif()
  run(info "${WORK_DIR}" "${dpkg_deb}" -f "${deb}" Package Version Architecture Depends Section)
  foreach(field "Package: inverse-neville" "Version: ${VERSION}" "Architecture: ${DEB_ARCH}"
      "Depends: libc6(\\.1)? \\(>= [0-9.]+\\)(, [a-z0-9][a-z0-9.+-]* \\(>= [0-9.]+\\))*" "Section: math")
    if(NOT info MATCHES "(^|\n)${field}\n")
      fail("control field ${field} expected in:\n${info}")
    endif()
  endforeach()
  if(info MATCHES "Depends: [^\n]*(:|-cross)")
    fail("Depends names a package for cross compilers:\n${info}")
  endif()
  run(listing "${WORK_DIR}" "${dpkg_deb}" -c "${deb}")
  expect_members("${listing}" "root/root ")
  set(doc ./usr/share/doc/inverse-neville)
  foreach(path ./usr/bin/inverse_neville ./usr/share/man/man1/inverse_neville.1.gz
      ${doc}/copyright ${doc}/changelog.gz ${doc}/README.md.gz)
    if(NOT listing MATCHES " ${path}\n")
      fail("${path} missing")
    endif()
  endforeach()
  if(listing MATCHES "/share/doc/inverse_neville/")
    fail("documents outside /usr/share/doc/inverse-neville")
  endif()
  run(out "${WORK_DIR}" "${dpkg_deb}" -x "${deb}" root)
  expect_program("the .deb's program" "${WORK_DIR}/root/usr/bin/inverse_neville" ${EMULATOR})
  expect_links("${WORK_DIR}/root/${doc}/README.md.gz")
  file(READ "${WORK_DIR}/root/${doc}/copyright" copyright)
  if(NOT copyright MATCHES "^Format: [^\n]+copyright-format/1.0/\n.*\nLicense: Expat\n.*\n Permission is hereby")
    fail("copyright is not a machine-readable Expat licence:\n${copyright}")
  endif()

  find_program(gzip gzip)
  if(gzip)
    run(changelog "${WORK_DIR}" "${gzip}" -dc "${WORK_DIR}/root/${doc}/changelog.gz")
    if(NOT changelog MATCHES "^inverse-neville \\(${VERSION}\\) ")
      fail("the changelog's newest entry is not ${VERSION}")
    endif()
  else()
    unchecked("the changelog (no gzip)")
  endif()
  find_program(lintian lintian)
  if(lintian)
    # errors and warnings fail it, and so does any tag -I shows
    execute_process(COMMAND "${lintian}" --fail-on error,warning -I "${deb}"
      OUTPUT_VARIABLE tags ERROR_VARIABLE err RESULT_VARIABLE rc)
    message(STATUS "lintian: exit ${rc}\n${tags}")
    if(NOT rc STREQUAL "0" OR tags MATCHES "(^|\n)[EWIPX]: ")
      fail("lintian: exit ${rc}\n${tags}${err}")
    endif()
  else()
    unchecked("Debian policy (no lintian)")
  endif()

elseif(CASE STREQUAL "archive")
  # The tarball or the zip: the program beside the README and the licence.
  run(listing "${WORK_DIR}" "${CMAKE_COMMAND}" -E tar tvf "${BINARY_DIR}/${ARCHIVE}")
  # mode, links, user, group, size, date, path
  expect_members("${listing}" "[0-9]+ (0|root) +(0|root) ")
  run(out "${WORK_DIR}" "${CMAKE_COMMAND}" -E tar xf "${BINARY_DIR}/${ARCHIVE}")
  string(REGEX REPLACE "\\.(tar\\.gz|zip)$" "" top "${ARCHIVE}")
  set(top "${WORK_DIR}/${top}")
  if(ARCHIVE MATCHES "\\.tar\\.gz$")
    set(program "${top}/bin/inverse_neville")
    set(docdir "${top}/share/doc/inverse_neville")
    if(NOT EXISTS "${top}/share/man/man1/inverse_neville.1.gz")
      fail("no manual page")
    endif()
  else()
    file(GLOB program "${top}/inverse_neville.*")
    set(docdir "${top}")
    if(EXISTS "${top}/wasi-run")
      set(EMULATOR "${top}/wasi-run") # the runner it ships
    endif()
  endif()
  foreach(file "${program}" "${docdir}/README.md" "${docdir}/LICENSE")
    if(NOT EXISTS "${file}")
      fail("${file} missing")
    endif()
  endforeach()
  expect_program("the packaged program" "${program}" ${EMULATOR})
  expect_links("${docdir}/README.md")
  if(PAGE_WASM) # the learner's page embeds these very bytes
    file(SHA256 "${program}" packed)
    file(SHA256 "${PAGE_WASM}" embedded)
    if(NOT packed STREQUAL embedded)
      fail("the page embeds ${PAGE_WASM} (${embedded}), not the zip's program (${packed})")
    endif()
  endif()

  if(program MATCHES "\\.exe$")
    # a Windows program that needs no DLL beyond Windows' own
    if(OBJDUMP)
      run(headers "${WORK_DIR}" "${OBJDUMP}" -p "${program}")
      string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
      message(STATUS "${imports}")
      foreach(import IN LISTS imports)
        if(NOT import MATCHES "DLL Name: (KERNEL32|msvcrt|ucrtbase|api-ms-win-crt-.*)\\.dll$")
          fail("the program imports ${import}")
        endif()
      endforeach()
    else()
      unchecked("the program's DLL imports (no objdump)")
    endif()
  endif()

  if(ARCHIVE MATCHES "\\.tar\\.gz$")
    # stripped, as the .deb's is (where lintian checks it)
    if(READELF)
      run(sections "${WORK_DIR}" "${READELF}" -S "${program}")
      if(sections MATCHES "\\.symtab")
        fail("the program is not stripped")
      endif()
    else()
      unchecked("that the program is stripped (no readelf)")
    endif()
  endif()

  # The notices of what the program links statically: every library file
  # the linker took a part of (its map says which) named in the NOTICE with
  # its version and source, every file the notice names beside it, and the
  # commands that build the program again.
  set(notice "${docdir}/third-party/NOTICE")
  if(NOTICES AND NOT EXISTS "${notice}")
    fail("no ${notice}")
  elseif(NOTICES)
    file(READ "${notice}" text)
    file(STRINGS "${LINK_MAP}" members REGEX "[^ \t(]+\\.a\\(")
    string(REGEX MATCHALL "[^ \t(/]+\\.a\\(" linked "${members}")
    string(REGEX REPLACE "(-[0-9.]+)?\\.a\\(" ".a" linked "${linked}") # libm-2.36.a: libm.a
    list(REMOVE_DUPLICATES linked)
    list(REMOVE_ITEM linked objects.a) # the program's own objects, as CMake hands them to MinGW's linker
    message(STATUS "linked from: ${linked}")
    if(NOT linked)
      fail("${LINK_MAP} names no library member")
    endif()
    foreach(file IN LISTS linked)
      string(REGEX REPLACE "([+.])" "\\\\\\1" file_re "${file}") # libc++.a
      if(NOT file IN_LIST NOTICES OR NOT text MATCHES
          "\n[^\n]+ [0-9][^\n]* \\([^\n]*${file_re}[,)][^\n]*\n  from Debian's package [^\n]*\n  licence texts[^\n]*\n  corresponding source: ")
        fail("the program links ${file}, for which ${notice} has no notice with its version and source")
      endif()
    endforeach()
    string(REGEX MATCHALL "notice [^ ,]+\\.copyright|licence texts[^\n]*" named "${text}")
    string(REGEX REPLACE "notice |licence texts| " ";" named "${named}")
    list(REMOVE_ITEM named "")
    foreach(file IN LISTS named)
      if(NOT EXISTS "${docdir}/third-party/${file}")
        fail("${notice} names ${file}, which is not in the package")
      endif()
    endforeach()
    if(NOT text MATCHES "\n  tar -xzf [^\n]+-source\\.tar\\.gz\n  cd [^\n]+\n  [^\n]*cmake --preset [^\n]+\n  [^\n]*cmake --build --preset [^\n]+ --target [^\n]+\n.*relink")
      fail("${notice} does not give the commands that rebuild and relink the program")
    endif()
  endif()

  if(ARCHIVE MATCHES "\\.tar\\.gz$" AND STATIC)
    # Statically linked: it runs alone in an empty root, with no C library.
    set(alone "${WORK_DIR}/alone")
    file(COPY "${program}" DESTINATION "${alone}")
    list(FIND EMULATOR -L at)
    if(at GREATER_EQUAL 0)
      # qemu-user, with an empty directory for the target's root
      math(EXPR at "${at} + 1")
      list(REMOVE_AT EMULATOR ${at})
      list(INSERT EMULATOR ${at} "${alone}")
      expect_program("the program alone" "${alone}/inverse_neville" ${EMULATOR})
    else()
      find_program(chroot chroot PATHS /usr/sbin /sbin)
      execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      if(chroot AND uid STREQUAL "0" AND NOT EMULATOR)
        expect_program("the program alone in an empty root" /inverse_neville "${chroot}" "${alone}")
      else()
        unchecked("the program alone in an empty root (chroot needs root)")
      endif()
    endif()
  endif()

elseif(CASE STREQUAL "sums")
  # SHA256SUMS lists exactly the packages this tree makes, whatever else
  # lies beside them, and every hash in it holds.
  file(STRINGS "${BINARY_DIR}/SHA256SUMS" lines)
  set(listed "")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^([0-9a-f]+)  (.+)$")
      fail("not a sha256sum line: ${line}")
      continue()
    endif()
    list(APPEND listed "${CMAKE_MATCH_2}")
    file(SHA256 "${BINARY_DIR}/${CMAKE_MATCH_2}" hash)
    if(NOT hash STREQUAL CMAKE_MATCH_1)
      fail("${CMAKE_MATCH_2}: sha256 ${hash}, SHA256SUMS says ${CMAKE_MATCH_1}")
    endif()
  endforeach()
  list(SORT PACKAGES)
  if(NOT listed STREQUAL PACKAGES)
    fail("SHA256SUMS lists ${listed}, this build makes ${PACKAGES}")
  endif()

elseif(CASE STREQUAL "source")
  # The source archive holds the tree that was built: the commit it names
  # (git get-tar-commit-id) has exactly its files, and the tracked files of
  # the working tree are that commit's.
  find_program(gzip gzip REQUIRED)
  execute_process(COMMAND "${gzip}" -dc "${BINARY_DIR}/${SOURCE}" COMMAND git get-tar-commit-id
    OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE RESULTS_VARIABLE rc)
  if(NOT rc MATCHES ";0$" OR NOT commit MATCHES "^[0-9a-f]+$") # gzip may see SIGPIPE
    message(FATAL_ERROR "${SOURCE} names no commit (${rc}): ${commit}")
  endif()
  run(listing "${WORK_DIR}" "${CMAKE_COMMAND}" -E tar tf "${BINARY_DIR}/${SOURCE}")
  string(REGEX REPLACE "\\.tar\\.gz$" "" top "${SOURCE}")
  string(REGEX REPLACE "(^|\n)${top}/" "\\1" listing "${listing}")
  string(REGEX REPLACE "(^|\n)[^\n]*/(\n|$)" "\\1" listing "${listing}") # directories
  string(REPLACE "\n" ";" packed "${listing}")
  list(REMOVE_ITEM packed "")
  list(SORT packed)
  run(tracked "${SOURCE_DIR}" git ls-tree -r --name-only ${commit})
  string(REPLACE "\n" ";" tracked "${tracked}")
  list(REMOVE_ITEM tracked "")
  list(SORT tracked)
  if(NOT packed STREQUAL tracked)
    fail("the source archive holds\n  ${packed}\nbut its commit ${commit} tracks\n  ${tracked}")
  endif()
  execute_process(COMMAND git diff --stat ${commit} -- WORKING_DIRECTORY "${SOURCE_DIR}" OUTPUT_VARIABLE diff)
  if(diff)
    fail("the source archive (${commit}) is not the working tree:\n${diff}")
  endif()
  # Anyone with the commit makes it again, later, with the same bytes: git
  # archive and gzip -9n, as docs/reproducibility.md says.
  execute_process(COMMAND git archive --format=tar "--prefix=${top}/" ${commit} COMMAND "${gzip}" -9n
    WORKING_DIRECTORY "${SOURCE_DIR}" OUTPUT_FILE "${WORK_DIR}/again.tar.gz" RESULTS_VARIABLE rc)
  file(SHA256 "${BINARY_DIR}/${SOURCE}" first)
  file(SHA256 "${WORK_DIR}/again.tar.gz" again)
  if(NOT rc MATCHES "^0;0$" OR NOT first STREQUAL again)
    fail("the source archive (${first}) is not what git archive of ${commit} gives again (${again}, ${rc})")
  endif()

elseif(CASE STREQUAL "rebuild")
  # The source archive, unpacked outside git, with no SOURCE_DATE_EPOCH, at
  # another path (with a space in it), later, under umask 027 and in
  # another time zone, as a user runs it, on a CI runner of any service
  # (CI=true, but no strictness of this project's own CI): the same preset
  # builds it, with no source path in the objects, and its packages come
  # out with the same bytes.  With SUITE (the release preset) that is the
  # preset's whole workflow, tests and all; elsewhere configure, build and
  # package, the tests having run in this tree.
  if(NOT PRESET)
    message(STATUS "SKIPPED: ${CASE}: the build was not configured from a preset")
    return()
  endif()
  find_program(sh sh)
  set(dir "${WORK_DIR}/with space")
  file(MAKE_DIRECTORY "${dir}")
  run(out "${dir}" "${CMAKE_COMMAND}" -E tar xf "${BINARY_DIR}/${SOURCE}")
  string(REGEX REPLACE "\\.tar\\.gz$" "" top "${SOURCE}")
  set(tree "${dir}/${top}")
  set(env "${CMAKE_COMMAND}" -E env --unset=SOURCE_DATE_EPOCH --unset=INVERSE_NEVILLE_REQUIRE_ALL_TESTS
    CI=true TZ=UTC-14 "${sh}" -c)
  if(SUITE)
    run(out "${tree}" ${env} [[umask 027 && "$1" --workflow --preset "$2"]] sh "${CMAKE_COMMAND}" "${PRESET}")
  else()
    run(out "${tree}" ${env} [[umask 027 && "$1" --preset "$2" -DBUILD_TESTING=OFF &&
      "$1" --build --preset "$2" && "$3" --preset "$2"]] sh "${CMAKE_COMMAND}" "${PRESET}" "${CPACK}")
  endif()
  file(READ "${tree}/${BUILD_SUBDIR}/compile_commands.json" commands)
  if(NOT commands MATCHES "-ffile-prefix-map=")
    fail("no -ffile-prefix-map in the build at ${tree}")
  endif()
  foreach(package ${DEB} ${ARCHIVE} ${PAGE})
    file(SHA256 "${BINARY_DIR}/${package}" first)
    file(SHA256 "${tree}/${BUILD_SUBDIR}/${package}" second)
    message(STATUS "${first} ${second} ${package}")
    if(NOT first STREQUAL second)
      fail("${package} differs when built again from the source archive")
    endif()
  endforeach()

else()
  message(FATAL_ERROR "package.cmake: unknown CASE '${CASE}'")
endif()

if(failures)
  message(FATAL_ERROR "${CASE}:\n${failures}")
endif()
if(unchecked)
  string(REPLACE ";" ", " unchecked "${unchecked}")
  message(STATUS "SKIPPED: ${CASE}: not checked here: ${unchecked}")
endif()
