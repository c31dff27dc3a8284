# The module table read both ways, the build's configure and the module
# check's script mode, on a tiny table of empty modules: a DEPENDS entry that
# names no module declared above stops both with a message naming it, and a
# sound table reads as the check expects.
#
#   cmake -DVANTREL_SOURCE=<tree> -DWORK_DIR=<scratch> -P module_table.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK_DIR}")

function(write_tree dir table)
  file(WRITE "${dir}/CMakeLists.txt" "cmake_minimum_required(VERSION 3.25)
project(Table VERSION 0.1.0 LANGUAGES CXX)
include(GNUInstallDirs)
include(\"${VANTREL_SOURCE}/cmake/VantrelModules.cmake\")
add_subdirectory(vantrel)
")
  file(WRITE "${dir}/vantrel/CMakeLists.txt" "${table}")
endfunction()

set(sound "vantrel_add_module(low DIRS low)
vantrel_add_module(mid DIRS mid platform/mid EXCLUDE mid/nested DEPENDS low LIBS m)
vantrel_add_module(top DIRS top DEPENDS mid low IF TOP_WANTED)
vantrel_finish_modules()
")
string(REPLACE "DEPENDS mid low" "DEPENDS mid lwo" misspelt "${sound}")

foreach(case IN ITEMS sound misspelt)
  set(dir "${WORK_DIR}/${case}")
  write_tree("${dir}" "${${case}}")
  execute_process(COMMAND ${CMAKE_COMMAND} -S "${dir}" -B "${dir}/build" -DTOP_WANTED=OFF
    RESULT_VARIABLE configure_rc OUTPUT_VARIABLE configure_out ERROR_VARIABLE configure_err)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${dir} -P "${VANTREL_SOURCE}/cmake/VantrelModuleTable.cmake"
    RESULT_VARIABLE table_rc OUTPUT_VARIABLE table_out ERROR_VARIABLE table_err)
  string(REGEX REPLACE "[ \n]+" " " configure_err "${configure_err}")
  string(REGEX REPLACE "[ \n]+" " " table_err "${table_err}")
  if(case STREQUAL "sound")
    set(expected "module low dirs low exclude  depends 
module mid dirs mid platform/mid exclude mid/nested depends low
module top dirs top exclude  depends mid low
")
    if(NOT configure_rc EQUAL 0 OR NOT configure_out MATCHES "module top left out \\(TOP_WANTED is OFF\\)")
      message(FATAL_ERROR "the sound table does not configure (${configure_rc}):\n${configure_out}${configure_err}")
    endif()
    if(NOT table_rc EQUAL 0 OR NOT table_out STREQUAL expected)
      message(FATAL_ERROR "the sound table reads as (${table_rc}):\n${table_out}${table_err}\nexpected:\n${expected}")
    endif()
  else()
    set(message "module top uses an unknown module \"lwo\" (DEPENDS in vantrel/CMakeLists.txt); modules declared before it: low mid")
    foreach(way IN ITEMS configure table)
      string(FIND "${${way}_err}" "${message}" at)
      if(${way}_rc EQUAL 0 OR at EQUAL -1)
        message(FATAL_ERROR "${way} of a table with a misspelt DEPENDS: expected a failure saying\n"
          "${message}\ngot (${${way}_rc}):\n${${way}_out}${${way}_err}")
      endif()
    endforeach()
  endif()
endforeach()
message(STATUS "module table: a misspelt DEPENDS stops the configure and the module check")
