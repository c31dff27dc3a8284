# Installs the libraries into a scratch prefix, checks what they export,
# builds a separate project against them with find_package(Vantrel
# COMPONENTS core text collections) and with pkg-config, runs both programs
# and checks they need none of the graphics or X11 libraries; builds and
# runs the tour against the installed umbrella target; builds one program
# with clang++ too (CLANG_CXX), which must link and run.
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}${err}" PARENT_SCOPE)
endfunction()

# Fails when `program` loads any of the libraries named after it, or misses one.
function(check_loads_none program)
  run(ldd "${program}")
  foreach(lib IN LISTS ARGN)
    string(FIND "${last_output}" "${lib}" found)
    if(NOT found EQUAL -1)
      message(FATAL_ERROR "${program} loads ${lib}:\n${last_output}")
    endif()
  endforeach()
  string(FIND "${last_output}" "not found" missing)
  if(NOT missing EQUAL -1)
    message(FATAL_ERROR "${program} misses a library:\n${last_output}")
  endif()
endfunction()
# Programs using only core, text and collections: no graphics, no X11.
set(graphics_libraries libX11 libxcb libcairo libfontconfig libfreetype libpng libjpeg)
# What a program using only the named module must not load.
set(heavy_libraries libcurl libX11 libxcb libcairo libpango)

# The dynamic loader's relocations for one start of `program` (LD_DEBUG=statistics).
function(relocations program out)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LD_DEBUG=statistics ${program} ${ARGN}
    RESULT_VARIABLE rc OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed: ${program}\n${stdout}\n${stderr}")
  endif()
  if(NOT stderr MATCHES "number of relocations: ([0-9]+)")
    message(FATAL_ERROR "no relocation count from LD_DEBUG=statistics:\n${stderr}")
  endif()
  set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

function(check_output)
  string(FIND "${last_output}" "consumer: 007 3 " found)
  if(found EQUAL -1)
    message(FATAL_ERROR "unexpected consumer output: ${last_output}")
  endif()
endfunction()

# The caller's position through fatal, checkedCast, once and a JSON path:
# `program` (run after the command in ARGN, if any) reports its caller's
# line, and stops through fatal naming the line it announced.
function(check_positions program)
  run(${ARGN} "${program}")
  if(NOT last_output STREQUAL "positions: caller 1 20\n")
    message(FATAL_ERROR "unexpected output of ${program}: ${last_output}")
  endif()
  execute_process(COMMAND ${ARGN} "${program}" stop RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc EQUAL 0 OR NOT out MATCHES "^stops at line ([0-9]+)\n$")
    message(FATAL_ERROR "${program} stop: expected a stop, got (${rc}):\n${out}${err}")
  endif()
  set(line ${CMAKE_MATCH_1})
  if(NOT err MATCHES "Fatal error: asked to stop: file [^\n]*source_positions\\.cpp, line ${line}\n")
    message(FATAL_ERROR "${program} stop: expected the fatal line naming line ${line}, got:\n${err}")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")
run(bash "${CHECK_EXPORTS}" "${prefix}" "${VANTREL_SOURCE_ROOT}")
message(STATUS "${last_output}")

set(tour "")
if(TOUR_DIR)
  set(tour "-DTOUR_DIR=${TOUR_DIR}")
endif()
# A component that does not exist: the message names it and the real ones.
file(WRITE "${WORK_DIR}/misspelt/CMakeLists.txt" "cmake_minimum_required(VERSION 3.25)
project(Misspelt LANGUAGES CXX)
find_package(Vantrel 0.1 REQUIRED COMPONENTS core jsno)
")
execute_process(COMMAND ${CMAKE_COMMAND} -S "${WORK_DIR}/misspelt" -B "${WORK_DIR}/misspelt/build"
    "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_COMPILER=${CXX}"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REGEX REPLACE "[ \n]+" " " err "${err}")
if(rc EQUAL 0 OR NOT err MATCHES "no component jsno; the components are: posix core text ")
  message(FATAL_ERROR "find_package with the component jsno: expected a failure naming it "
    "and the components, got (${rc}):\n${out}${err}")
endif()

run(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${WORK_DIR}/build" -G Ninja
    "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_COMPILER=${CXX}" "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${CXX_FLAGS}" ${tour})
run(${CMAKE_COMMAND} --build "${WORK_DIR}/build")
run("${WORK_DIR}/build/consumer")
check_output()
message(STATUS "${last_output}")
check_loads_none("${WORK_DIR}/build/consumer" ${graphics_libraries})

# Programs of one module each.
foreach(program core_only matrix_only json_only dispatch_only csv_log shortcut_only)
  check_loads_none("${WORK_DIR}/build/${program}" ${heavy_libraries})
endforeach()
run("${WORK_DIR}/build/shortcut_only")
if(NOT last_output STREQUAL "shortcut: 1 0\n")
  message(FATAL_ERROR "unexpected output of the shortcut program: ${last_output}")
endif()
run("${WORK_DIR}/build/matrix_only")
string(FIND "${last_output}" "matrix: 1 7" found)
run("${WORK_DIR}/build/json_only")
string(FIND "${last_output}" "json: 1 x" found_json)
run("${WORK_DIR}/build/dispatch_only")
string(FIND "${last_output}" "dispatch: 10" found_dispatch)
if(found EQUAL -1 OR found_json EQUAL -1 OR found_dispatch EQUAL -1)
  message(FATAL_ERROR "unexpected output of the one-module programs")
endif()
relocations("${WORK_DIR}/build/core_only" core_relocations)
relocations("${WORK_DIR}/build/csv_log" csv_relocations "${WORK_DIR}/csv_log.log")
file(READ "${WORK_DIR}/csv_log.log" csv_text)
if(NOT csv_text MATCHES ",a,b\n$")
  message(FATAL_ERROR "unexpected CSV log: ${csv_text}")
endif()
math(EXPR bound "2 * ${core_relocations}")
message(STATUS "start-up relocations: core only ${core_relocations}, CSV log ${csv_relocations}")
if(csv_relocations GREATER bound)
  message(FATAL_ERROR "the CSV-log program needs ${csv_relocations} relocations at start-up, "
    "more than twice the core-only program's ${core_relocations}")
endif()

check_positions("${WORK_DIR}/build/source_positions")

# Calls once the thread's thread_local objects are gone, and user defaults
# set just before `main` returns, which the library's exit hook writes.
run("${WORK_DIR}/build/at_exit" "${WORK_DIR}/at_exit_defaults")
set(at_exit_line ": {\"b\":1} 13 2 1055217600\n")
set(at_exit_expected "main${at_exit_line}other thread's thread_local destructor${at_exit_line}")
string(APPEND at_exit_expected "main thread's thread_local destructor${at_exit_line}")
string(APPEND at_exit_expected "atexit handler${at_exit_line}static destructor${at_exit_line}")
if(NOT last_output STREQUAL at_exit_expected)
  message(FATAL_ERROR "unexpected output of the at-exit program:\n${last_output}")
endif()
run("${WORK_DIR}/build/at_exit" check "${WORK_DIR}/at_exit_defaults")
if(NOT last_output STREQUAL "defaults: 50\n")
  message(FATAL_ERROR "user defaults set before exit, read back: ${last_output}")
endif()

# The tour, built only here in a build with the package tests, must run.
if(TOUR_DIR)
  run("${WORK_DIR}/build/tour")
endif()

# The same program through pkg-config.
file(GLOB_RECURSE pc_file "${prefix}/*/vantrel-collections.pc")
get_filename_component(pc_dir "${pc_file}" DIRECTORY)
set(ENV{PKG_CONFIG_PATH} "${pc_dir}")
run(pkg-config --cflags --libs vantrel-collections)
string(STRIP "${last_output}" pc_flags)
# The standard is the program's choice: a -std from pkg-config would undo it.
if(pc_flags MATCHES "-std=")
  message(FATAL_ERROR "pkg-config sets the language standard: ${pc_flags}")
endif()
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
separate_arguments(extra UNIX_COMMAND "${CXX_FLAGS}")
get_filename_component(lib_dir "${pc_dir}" DIRECTORY)
run(${CXX} -std=c++20 ${extra} "${SOURCE_DIR}/main.cpp" ${pc_flags} "-Wl,-rpath,${lib_dir}"
    -o "${WORK_DIR}/pc_consumer")
run("${WORK_DIR}/pc_consumer")
check_output()
check_loads_none("${WORK_DIR}/pc_consumer" ${graphics_libraries})

# The same libraries from clang++, with CMake and with pkg-config: no
# exported signature may depend on the compiler. Only the one program is
# built; the libraries are the installed ones.
set(clang_run "")
if(CXX_FLAGS MATCHES "address")
  # g++'s AddressSanitizer built the libraries: its runtime must come first
  # in the process (the clang++ program itself is not instrumented).
  execute_process(COMMAND ${CXX} -print-file-name=libasan.so
    OUTPUT_VARIABLE asan_runtime OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(clang_run ${CMAKE_COMMAND} -E env "LD_PRELOAD=${asan_runtime}")
endif()
run(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${WORK_DIR}/clang" -G Ninja
    "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_COMPILER=${CLANG_CXX}")
run(${CMAKE_COMMAND} --build "${WORK_DIR}/clang" --target source_positions)
check_positions("${WORK_DIR}/clang/source_positions" ${clang_run})
run(pkg-config --cflags --libs vantrel-json vantrel-dispatch)
string(STRIP "${last_output}" pc_flags)
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
run(${CLANG_CXX} -std=c++20 "${SOURCE_DIR}/source_positions.cpp" ${pc_flags} "-Wl,-rpath,${lib_dir}"
    -o "${WORK_DIR}/pc_source_positions")
check_positions("${WORK_DIR}/pc_source_positions" ${clang_run})
