# Installs the libraries into a scratch prefix, checks what they export,
# builds a separate project against them with find_package(Vantrel
# COMPONENTS core text collections) and with pkg-config, runs both programs
# and checks they need none of the graphics or X11 libraries; builds the
# tour against the installed umbrella target.
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed: ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}${err}" PARENT_SCOPE)
endfunction()

function(check_needs_no_graphics program)
  run(ldd "${program}")
  foreach(lib libX11 libxcb libcairo libfontconfig libfreetype libpng libjpeg)
    string(FIND "${last_output}" "${lib}" found)
    if(NOT found EQUAL -1)
      message(FATAL_ERROR "${program} needs ${lib}:\n${last_output}")
    endif()
  endforeach()
  string(FIND "${last_output}" "not found" missing)
  if(NOT missing EQUAL -1)
    message(FATAL_ERROR "${program} misses a library:\n${last_output}")
  endif()
endfunction()

function(check_output)
  string(FIND "${last_output}" "consumer: 007 3 " found)
  if(found EQUAL -1)
    message(FATAL_ERROR "unexpected consumer output: ${last_output}")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")
run(bash "${CHECK_EXPORTS}" "${prefix}")
message(STATUS "${last_output}")

set(tour "")
if(TOUR_DIR)
  set(tour "-DTOUR_DIR=${TOUR_DIR}")
endif()
run(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${WORK_DIR}/build" -G Ninja
    "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_COMPILER=${CXX}" "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${CXX_FLAGS}" ${tour})
run(${CMAKE_COMMAND} --build "${WORK_DIR}/build")
run("${WORK_DIR}/build/consumer")
check_output()
message(STATUS "${last_output}")
check_needs_no_graphics("${WORK_DIR}/build/consumer")

# The same program through pkg-config.
file(GLOB_RECURSE pc_file "${prefix}/*/vantrel-collections.pc")
get_filename_component(pc_dir "${pc_file}" DIRECTORY)
set(ENV{PKG_CONFIG_PATH} "${pc_dir}")
run(pkg-config --cflags --libs vantrel-collections)
string(STRIP "${last_output}" pc_flags)
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
separate_arguments(extra UNIX_COMMAND "${CXX_FLAGS}")
get_filename_component(lib_dir "${pc_dir}" DIRECTORY)
run(${CXX} ${extra} "${SOURCE_DIR}/main.cpp" ${pc_flags} "-Wl,-rpath,${lib_dir}"
    -o "${WORK_DIR}/pc_consumer")
run("${WORK_DIR}/pc_consumer")
check_output()
check_needs_no_graphics("${WORK_DIR}/pc_consumer")
