# Setups that users bring, each configured and built in a tree of its own:
#
#   cmake -DSETUP=name[:arg...] -DSOURCE_DIR=dir -DBINARY_DIR=dir -DWORK_DIR=dir
#         [-DOLDEST=cmake] [-DNEWEST=cmake] -P setups.cmake
#
#   format, tidy           clang-format and clang-tidy on the sources
#   installed              `cmake --install` of BINARY_DIR, by component
#   multi-config           Ninja Multi-Config, the whole suite
#   sanitizer              a user's -fsanitize=address, with packages asked for
#   fast-math:CXX:FLAG     refused by name, or every tableau entry exact
#   fast-math-link:CXX:FLAG  among the link flags: refused, or no crtfastmath.o
#   clang-packages         Clang's native packages, checked as GCC's are
#   release-elsewhere      the release's packages from a symlinked, patched checkout
#   fma:TRIPLET:CLANG      a user's -O3 -ffp-contract=fast where FMA is baseline
#   i686-toolchain:TRIPLET a user's minimal toolchain file: the build adds SSE2
#   readme:this|oldest|newest  the README's commands, in order, in a clone
#   subproject             add_subdirectory in a parent: nothing of ours is
#                          installed unless asked for, then in our components
#
# A setup whose tool is missing here prints "SKIPPED:".  Clones hold the
# committed sources; the other setups build the working tree.

cmake_minimum_required(VERSION 3.19...3.25)

string(REPLACE ":" ";" args "${SETUP}")
list(POP_FRONT args setup)
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(build "${WORK_DIR}/build")

macro(skip why)
  message(STATUS "SKIPPED: ${SETUP}: ${why}")
  return()
endmacro()
macro(need var program)
  find_program(${var} ${program})
  if(NOT ${var})
    skip("no ${program} (Debian: ${ARGN})")
  endif()
endmacro()

# Runs ARGN in DIR, and stops the setup if it fails.
function(run dir)
  message(STATUS "[${dir}] ${ARGN}")
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${dir}" RESULT_VARIABLE rc
    OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${SETUP}: `${ARGN}` failed (${rc}):\n${out}")
  endif()
endfunction()
# Configures and builds the working tree in BUILD with ARGN.
function(configure_and_build)
  run("${WORK_DIR}" ${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${build}" ${ARGN})
  run("${WORK_DIR}" ${CMAKE_COMMAND} --build "${build}")
endfunction()
function(suite labels)
  run("${build}" ${CMAKE_CTEST_COMMAND} -L "${labels}" --no-tests=error --output-on-failure ${ARGN})
endfunction()
function(clone dir)
  find_program(git git REQUIRED)
  run("${WORK_DIR}" ${git} clone --quiet "${SOURCE_DIR}" "${dir}")
endfunction()

if(setup STREQUAL "format")
  need(clang_format clang-format clang-format)
  file(GLOB sources "${SOURCE_DIR}/src/*.cpp" "${SOURCE_DIR}/tests/*.cpp")
  run("${SOURCE_DIR}" ${clang_format} --dry-run -Werror ${sources})

elseif(setup STREQUAL "tidy")
  need(clang_tidy clang-tidy clang-tidy)
  file(GLOB sources "${SOURCE_DIR}/src/*.cpp" "${SOURCE_DIR}/tests/*.cpp")
  run("${SOURCE_DIR}" ${clang_tidy} --quiet -p "${BINARY_DIR}" ${sources})

elseif(setup STREQUAL "installed")
  # Everything, then one component alone: only what it names.
  run("${WORK_DIR}" ${CMAKE_COMMAND} --install "${BINARY_DIR}" --prefix "${WORK_DIR}/all")
  run("${WORK_DIR}" "${WORK_DIR}/all/bin/inverse_neville")
  foreach(file share/man/man1/inverse_neville.1.gz share/doc/inverse_neville/README.md
      share/doc/inverse_neville/LICENSE share/doc/inverse_neville/docs/inverse_neville.svg)
    if(NOT EXISTS "${WORK_DIR}/all/${file}")
      message(FATAL_ERROR "${file} not installed")
    endif()
  endforeach()
  # and gone again by the README's command, which reads CMake's manifest
  need(sh sh dash)
  run("${BINARY_DIR}" ${sh} -c [[xargs -d '\n' rm -- < install_manifest.txt]])
  file(GLOB_RECURSE left "${WORK_DIR}/all/*")
  if(left)
    message(FATAL_ERROR "left after removing what the manifest lists: ${left}")
  endif()
  run("${WORK_DIR}" ${CMAKE_COMMAND} --install "${BINARY_DIR}" --prefix "${WORK_DIR}/man"
    --component inverse_neville_man)
  file(GLOB_RECURSE installed RELATIVE "${WORK_DIR}/man" "${WORK_DIR}/man/*")
  if(NOT installed STREQUAL "share/man/man1/inverse_neville.1.gz")
    message(FATAL_ERROR "the component inverse_neville_man installed: ${installed}")
  endif()

elseif(setup STREQUAL "multi-config")
  need(ninja ninja ninja-build)
  run("${WORK_DIR}" ${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${build}" -G "Ninja Multi-Config")
  run("${WORK_DIR}" ${CMAKE_COMMAND} --build "${build}" --config Release)
  suite("unit|e2e|docs" -C Release)

elseif(setup STREQUAL "sanitizer")
  # The tarball's static program cannot link with it: it is left out.
  configure_and_build(-DINVERSE_NEVILLE_PACKAGES=ON "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -fsanitize=address")
  suite("unit|e2e|docs")

elseif(setup STREQUAL "subproject")
  # By default the parent's install holds the parent's document alone;
  # asked for, ours too, and its doc component then nothing of ours.
  file(WRITE "${WORK_DIR}/parent/CMakeLists.txt" "cmake_minimum_required(VERSION 3.18)\n"
    "project(parent LANGUAGES CXX)\nadd_subdirectory(\"${SOURCE_DIR}\" inverse_neville)\n"
    "install(FILES parent.txt DESTINATION share/doc/parent COMPONENT doc)\n")
  file(WRITE "${WORK_DIR}/parent/parent.txt" "the parent's\n")
  foreach(ours default ON)
    set(ask "")
    if(ours STREQUAL "ON")
      set(ask -DINVERSE_NEVILLE_INSTALL=ON)
    endif()
    run("${WORK_DIR}" ${CMAKE_COMMAND} -S parent -B "${build}" ${ask})
    run("${WORK_DIR}" ${CMAKE_COMMAND} --build "${build}")
    foreach(component all doc)
      set(prefix "${WORK_DIR}/${ours}-${component}")
      set(only "")
      if(NOT component STREQUAL "all")
        set(only --component ${component})
      endif()
      run("${WORK_DIR}" ${CMAKE_COMMAND} --install "${build}" --prefix "${prefix}" ${only})
      file(GLOB_RECURSE installed_${ours}_${component} RELATIVE "${prefix}" "${prefix}/*")
    endforeach()
  endforeach()
  if(NOT installed_default_all STREQUAL "share/doc/parent/parent.txt"
      OR NOT installed_ON_doc STREQUAL "share/doc/parent/parent.txt"
      OR NOT "bin/inverse_neville" IN_LIST installed_ON_all
      OR NOT "share/doc/inverse_neville/README.md" IN_LIST installed_ON_all
      OR EXISTS "${build}/inverse_neville/tests")
    message(FATAL_ERROR "the parent installed ${installed_default_all}; asking for ours, "
      "${installed_ON_all}, and its doc component ${installed_ON_doc}")
  endif()

elseif(setup STREQUAL "fast-math")
  list(GET args 0 cxx)
  list(GET args 1 flag)
  need(compiler ${cxx} "g++ or clang")
  run("${WORK_DIR}" ${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${build}"
    -DCMAKE_CXX_COMPILER=${compiler} -DCMAKE_CXX_FLAGS=${flag})
  execute_process(COMMAND ${CMAKE_COMMAND} --build "${build}" RESULT_VARIABLE rc
    OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    if(NOT out MATCHES "must not be built with ${flag}")
      message(FATAL_ERROR "the build failed, but not by refusing ${flag}:\n${out}")
    endif()
    message(STATUS "refused: ${flag}")
  elseif(flag STREQUAL "-ffast-math")
    message(FATAL_ERROR "the build with -ffast-math succeeded; it must stop")
  else()
    suite(unit)
  endif()

elseif(setup STREQUAL "fast-math-link")
  # Among the link flags: -Ofast is refused at configure; the others must
  # not bring in crtfastmath.o (its set_fast_math turns on flush-to-zero).
  list(GET args 0 cxx)
  list(GET args 1 flag)
  need(compiler ${cxx} "g++ or clang")
  need(nm nm binutils)
  execute_process(COMMAND ${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${build}" -DBUILD_TESTING=OFF
      -DCMAKE_CXX_COMPILER=${compiler} -DCMAKE_EXE_LINKER_FLAGS=${flag}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(flag STREQUAL "-Ofast")
    if(rc EQUAL 0 OR NOT out MATCHES "must not be linked with -Ofast")
      message(FATAL_ERROR "configure with ${flag} among the link flags: exit ${rc}, not refused:\n${out}")
    endif()
    message(STATUS "refused: ${flag}")
    return()
  elseif(NOT rc EQUAL 0)
    message(FATAL_ERROR "configure failed:\n${out}")
  endif()
  run("${WORK_DIR}" ${CMAKE_COMMAND} --build "${build}")
  execute_process(COMMAND ${nm} "${build}/inverse_neville" OUTPUT_VARIABLE symbols)
  if(symbols MATCHES "set_fast_math")
    message(FATAL_ERROR "linked with ${flag}, the program holds crtfastmath.o")
  endif()

elseif(setup STREQUAL "clang-packages")
  # Clang's own build of the packages, all checked and lintian-clean (the
  # rebuild compares with the release preset's GCC build: not this one).
  need(clang clang++ clang)
  configure_and_build(-DCMAKE_CXX_COMPILER=${clang} -DINVERSE_NEVILLE_PACKAGES=ON
    -DINVERSE_NEVILLE_REQUIRE_ALL_TESTS=ON)
  suite(package -E "package[.]rebuild")

elseif(setup STREQUAL "release-elsewhere")
  # A clone reached through a symbolic link, with a patched README and
  # stray archives where the packages go: the release's packages, strict,
  # with the source archive made and checked (it holds the patched tree,
  # and builds again to the same bytes), and SHA256SUMS lists just this
  # run's packages.  The release's other tests are the release preset's
  # own, and its rebuild's suite too.
  need(sh sh dash)
  clone("${WORK_DIR}/real")
  file(CREATE_LINK "${WORK_DIR}/real" "${WORK_DIR}/link" SYMBOLIC)
  file(APPEND "${WORK_DIR}/real/README.md" "\nPatched by a distribution.\n")
  file(WRITE "${WORK_DIR}/real/out/release/inverse_neville-0.9.0-linux-x86_64.tar.gz" "old\n")
  file(WRITE "${WORK_DIR}/real/out/release/stray.zip" "stray\n")
  run("${WORK_DIR}" ${sh} -c [[cd "$1" && export INVERSE_NEVILLE_REQUIRE_ALL_TESTS=ON &&
    "$2" --preset release -DINVERSE_NEVILLE_REBUILD_SUITE=OFF && "$2" --build --preset release &&
    "$3" --preset release -L package]] sh "${WORK_DIR}/link" ${CMAKE_COMMAND} ${CMAKE_CTEST_COMMAND})
  execute_process(COMMAND ${CMAKE_CTEST_COMMAND} -N -R "^package[.](source|rebuild)$"
    WORKING_DIRECTORY "${WORK_DIR}/real/out/release" OUTPUT_VARIABLE registered)
  file(READ "${WORK_DIR}/real/out/release/SHA256SUMS" sums)
  message(STATUS "${sums}")
  if(NOT registered MATCHES "package[.]source\n.*package[.]rebuild\n" OR sums MATCHES "0[.]9[.]0|stray"
      OR NOT sums MATCHES "inverse_neville-[0-9.]+-source[.]tar[.]gz")
    message(FATAL_ERROR "from a symlinked, patched checkout:\n${registered}\nSHA256SUMS:\n${sums}")
  endif()

elseif(setup STREQUAL "fma")
  list(GET args 0 triplet)
  list(GET args 1 clang)
  need(cxx ${triplet}-g++ g++-${triplet})
  configure_and_build(--toolchain "${SOURCE_DIR}/cmake/linux-cross.cmake"
    -DINVERSE_NEVILLE_TRIPLET=${triplet} -DINVERSE_NEVILLE_CROSS_CLANG=${clang}
    -DINVERSE_NEVILLE_GTEST_SOURCE_DIR=/usr/src/googletest "-DCMAKE_CXX_FLAGS=-O3 -ffp-contract=fast")
  suite(unit)

elseif(setup STREQUAL "i686-toolchain")
  list(GET args 0 triplet)
  need(cxx ${triplet}-g++ g++-${triplet})
  need(qemu qemu-i386 qemu-user)
  file(WRITE "${WORK_DIR}/toolchain.cmake"
    "set(CMAKE_SYSTEM_NAME Linux)\nset(CMAKE_SYSTEM_PROCESSOR i686)\n"
    "set(CMAKE_CXX_COMPILER ${cxx})\nset(CMAKE_C_COMPILER ${triplet}-gcc)\n"
    "set(CMAKE_FIND_ROOT_PATH /usr/${triplet})\n"
    "set(CMAKE_CROSSCOMPILING_EMULATOR ${qemu} -L /usr/${triplet})\n")
  configure_and_build("-DCMAKE_TOOLCHAIN_FILE=${WORK_DIR}/toolchain.cmake"
    -DINVERSE_NEVILLE_GTEST_SOURCE_DIR=/usr/src/googletest)
  suite("unit|e2e")

elseif(setup STREQUAL "readme")
  # The README's plain command, then its workflows where CMake has them:
  # in any order, in the same clone, each must pass.
  list(GET args 0 which)
  set(cmake ${CMAKE_COMMAND})
  set(env ${CMAKE_COMMAND} -E env)
  if(NOT which STREQUAL "this")
    string(TOUPPER ${which} which)
    set(cmake ${${which}})
    if(NOT EXISTS "${cmake}")
      skip("no CMake at ${cmake} (CONTRIBUTING.md says how to get it)")
    endif()
    # Debian 11's cmake, unpacked, finds its libraries beside it.
    get_filename_component(libs "${cmake}/../../lib/x86_64-linux-gnu" ABSOLUTE)
    list(APPEND env "LD_LIBRARY_PATH=${libs}")
  endif()
  get_filename_component(prefix "${cmake}" DIRECTORY)
  set(cmake ${env} ${cmake})
  clone("${WORK_DIR}/clone")
  set(dir "${WORK_DIR}/clone")
  run("${dir}" ${cmake} -S . -B build-tests)
  run("${dir}" ${cmake} --build build-tests)
  run("${dir}/build-tests" ${env} "${prefix}/ctest" --no-tests=error --output-on-failure)
  execute_process(COMMAND ${cmake} --version OUTPUT_VARIABLE version)
  if(version MATCHES "version (3\\.2[5-9]|3\\.[3-9][0-9]|[4-9])\\.")
    run("${dir}" ${cmake} --workflow --preset default)
    run("${dir}" ${cmake} --workflow --preset release)
  endif()
  # and leaves nothing that git would see
  execute_process(COMMAND git status --porcelain --untracked-files=all WORKING_DIRECTORY "${dir}"
    OUTPUT_VARIABLE left)
  if(NOT left STREQUAL "")
    message(FATAL_ERROR "the README's commands left files git sees:\n${left}")
  endif()

else()
  message(FATAL_ERROR "setups.cmake: unknown setup '${SETUP}'")
endif()
