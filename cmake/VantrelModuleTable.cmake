# The module table is vantrel/CMakeLists.txt, one vantrel_add_module line per
# module. This file is its one reader: the build reads each line through
# _vantrel_parse_module, and the module check, which must also run on a tree
# that was never configured, asks this file in script mode for the table as
# plain lines:
#
#   cmake -DSOURCE_DIR=<tree> -P cmake/VantrelModuleTable.cmake
#   module <name> dirs <folder>... exclude <folder>... depends <module>...
#
# (one line per module, in declaration order; a list may be empty).
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

# Sets <prefix>_DIRS, _EXCLUDE, _DEPENDS, _LIBS, _PUBLIC_LIBS, _X11_LIBS,
# _USER_DEFINES and _IF from the arguments of one vantrel_add_module line.
macro(_vantrel_parse_module prefix)
  cmake_parse_arguments(${prefix} "" "IF" "DIRS;EXCLUDE;DEPENDS;LIBS;PUBLIC_LIBS;X11_LIBS;USER_DEFINES" ${ARGN})
endmacro()

# Stops on a DEPENDS entry that names no module declared above `name`: a
# misspelt name would otherwise leave the module, and every module above it,
# out of the build without a word.
function(_vantrel_check_module_depends name declared depends)
  foreach(dep IN LISTS depends)
    if(NOT dep IN_LIST declared)
      list(JOIN declared " " known)
      message(FATAL_ERROR "Vantrel: module ${name} uses an unknown module \"${dep}\" "
        "(DEPENDS in vantrel/CMakeLists.txt); modules declared before it: ${known}")
    endif()
  endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT SOURCE_DIR)
    get_filename_component(SOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
  endif()
  set(_vantrel_table_declared "")
  function(vantrel_add_module name)
    _vantrel_parse_module(M ${ARGN})
    _vantrel_check_module_depends(${name} "${_vantrel_table_declared}" "${M_DEPENDS}")
    set(_vantrel_table_declared ${_vantrel_table_declared} ${name} PARENT_SCOPE)
    list(JOIN M_DIRS " " dirs)
    list(JOIN M_EXCLUDE " " exclude)
    list(JOIN M_DEPENDS " " depends)
    set(_vantrel_table_lines "${_vantrel_table_lines}module ${name} dirs ${dirs} exclude ${exclude} depends ${depends}\n"
      PARENT_SCOPE)
  endfunction()
  function(vantrel_finish_modules)
  endfunction()
  set(_vantrel_table_lines "")
  include("${SOURCE_DIR}/vantrel/CMakeLists.txt")
  # To standard output (message() writes to standard error).
  string(REGEX REPLACE "\n$" "" _vantrel_table_lines "${_vantrel_table_lines}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${_vantrel_table_lines}")
endif()
