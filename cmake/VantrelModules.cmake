# Each module is compiled once (object library vantrel_<m>_objects) and
# linked twice: a static library vantrel_<m> for the tests, fuzzers and
# benchmarks, and a shared library libvantrel_<m>.so (target
# vantrel_<m>_shared, alias and exported name vantrel::<m>) for programs.
# A shared module library links the modules it uses publicly and its
# third-party libraries privately, so a program pulls in only what its
# modules need. vantrel::vantrel is the umbrella over every module built.

include(${CMAKE_CURRENT_LIST_DIR}/VantrelModuleTable.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/VantrelReachedInternals.cmake)

set(VANTREL_MODULES "" CACHE INTERNAL "")
set(VANTREL_LEFT_OUT "" CACHE INTERNAL "")
set(VANTREL_MODULE_DIRS "" CACHE INTERNAL "")
set_property(GLOBAL PROPERTY VANTREL_PC_FILES "")

# Shared libraries exist only where something links them.
if(VANTREL_FUZZ OR VANTREL_CONCURRENCY_ONLY)
  set(VANTREL_SHARED_LIBS OFF)
else()
  set(VANTREL_SHARED_LIBS ON)
endif()

# vantrel_add_module(<name> DIRS <folders under vantrel/> [DEPENDS <modules>]
#                    [EXCLUDE <folders of a module nested in DIRS>]
#                    [LIBS <targets>] [PUBLIC_LIBS <targets>] [IF <option>]
#                    [X11_LIBS <targets>] [USER_DEFINES <definitions>])
# X11_LIBS: linked only when VANTREL_X11 is ON, and then the module's sources
# see VANTREL_WITH_X11=1, so a module that also works without a display can
# ask the X server when it is there (headers of X11 stay in .cpp files).
# Sources: every .cpp under each folder, sub-folders included. A module
# whose folders hold no source yet gets an empty one, so it can be declared
# before its code exists. USER_DEFINES: compile definitions for the programs
# and modules that link the module (its targets and its .pc file carry
# them). A module is left out when its IF option is off or
# a module it uses is left out.
function(vantrel_add_module name)
  _vantrel_parse_module(M ${ARGN})
  _vantrel_check_module_depends(${name} "${VANTREL_MODULES};${VANTREL_LEFT_OUT}" "${M_DEPENDS}")
  set(why "")
  if(DEFINED M_IF AND NOT ${M_IF})
    set(why "${M_IF} is OFF")
  endif()
  foreach(dep IN LISTS M_DEPENDS)
    if(NOT why AND NOT dep IN_LIST VANTREL_MODULES)
      set(why "it uses ${dep}")
    endif()
  endforeach()
  if(why)
    message(STATUS "Vantrel: module ${name} left out (${why})")
    set(VANTREL_LEFT_OUT ${VANTREL_LEFT_OUT} ${name} CACHE INTERNAL "")
    return()
  endif()

  set(sources "")
  foreach(dir IN LISTS M_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/vantrel/${dir}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  foreach(dir IN LISTS M_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "^${PROJECT_SOURCE_DIR}/vantrel/${dir}/")
  endforeach()
  if(NOT sources)
    set(stub "${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp")
    file(CONFIGURE OUTPUT "${stub}" CONTENT "// module ${name} has no sources yet\n")
    set(sources "${stub}")
  endif()

  set(target vantrel_${name})
  add_library(${target}_objects OBJECT ${sources})
  target_include_directories(${target}_objects PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
  # The libraries name their files relative to the source tree (fatal
  # messages, source locations, debug information), not by the build
  # machine's folders. Tests keep absolute paths: some find the sources
  # beside them through __FILE__.
  target_compile_options(${target}_objects PRIVATE -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=)
  # What a header declares is exported (VANTREL_API, vantrel/api.h);
  # everything else stays inside. clang applies a namespace's visibility
  # only to the opening that holds a definition, so under clang the version
  # script alone trims the exports.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set_target_properties(${target}_objects PROPERTIES
      CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  endif()
  add_library(${target} STATIC $<TARGET_OBJECTS:${target}_objects>)
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
  foreach(dep IN LISTS M_DEPENDS)
    target_link_libraries(${target}_objects PUBLIC vantrel_${dep}_objects)
    target_link_libraries(${target} PUBLIC vantrel_${dep})
  endforeach()
  if(VANTREL_X11 AND M_X11_LIBS)
    list(APPEND M_LIBS ${M_X11_LIBS})
    target_compile_definitions(${target}_objects PRIVATE VANTREL_WITH_X11=1)
  endif()
  target_link_libraries(${target}_objects PRIVATE ${M_LIBS} PUBLIC ${M_PUBLIC_LIBS})
  target_link_libraries(${target} PRIVATE ${M_LIBS} PUBLIC ${M_PUBLIC_LIBS})
  target_compile_definitions(${target} INTERFACE ${M_USER_DEFINES})

  if(VANTREL_SHARED_LIBS)
    _vantrel_shared_module(${name} "${M_DIRS}" "${M_DEPENDS}" "${M_LIBS}" "${M_PUBLIC_LIBS}" "${M_USER_DEFINES}")
  endif()
  set(VANTREL_MODULES ${VANTREL_MODULES} ${name} CACHE INTERNAL "")
  set(VANTREL_MODULE_DIRS ${VANTREL_MODULE_DIRS} ${M_DIRS} CACHE INTERNAL "")
endfunction()

function(_vantrel_shared_module name dirs depends libs public_libs user_defines)
  set(target vantrel_${name}_shared)
  add_library(${target} SHARED $<TARGET_OBJECTS:vantrel_${name}_objects>)
  add_library(vantrel::${name} ALIAS ${target})
  # At 0.x every minor version may change the interface: the soname
  # carries it (libvantrel_core.so.0.1).
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME vantrel_${name}
    EXPORT_NAME ${name}
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}
    INSTALL_RPATH "$ORIGIN"
    LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/vantrel.map)
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_compile_features(${target} PUBLIC cxx_std_20)
  foreach(dep IN LISTS depends)
    target_link_libraries(${target} PUBLIC vantrel_${dep}_shared)
  endforeach()
  target_link_libraries(${target} PRIVATE ${libs} PUBLIC ${public_libs})
  target_compile_definitions(${target} INTERFACE ${user_defines})
  target_link_options(${target} PRIVATE -Wl,--no-undefined -Wl,--as-needed
    -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/vantrel.map)

  if(VANTREL_INSTALL)
    install(TARGETS ${target} EXPORT VantrelTargets
      LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
      INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
    # The internal headers that public ones need follow in
    # vantrel_finish_modules. The export macro's header belongs to no
    # module and comes with each.
    install(FILES ${PROJECT_SOURCE_DIR}/vantrel/api.h
      DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantrel)
    foreach(dir IN LISTS dirs)
      install(DIRECTORY ${PROJECT_SOURCE_DIR}/vantrel/${dir}/
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vantrel/${dir}
        FILES_MATCHING PATTERN "*.h" PATTERN "internal" EXCLUDE)
    endforeach()
    set(requires "")
    foreach(dep IN LISTS depends)
      list(APPEND requires vantrel-${dep})
    endforeach()
    list(JOIN requires ", " requires)
    list(TRANSFORM user_defines PREPEND "-D")
    list(JOIN user_defines " " cflags)
    _vantrel_pc_file(vantrel-${name} "Vantrel ${name} module" "${requires}" "-lvantrel_${name}" "${cflags}")
  endif()
endfunction()

# _vantrel_pc_file(<name> <description> <requires> <libs> [<extra cflags>])
function(_vantrel_pc_file pc_name description requires libs)
  # Relative to the file itself, so the installed tree can move.
  file(RELATIVE_PATH up /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
  string(REGEX REPLACE "/$" "" up "${up}")
  set(content "prefix=\${pcfiledir}/${up}
libdir=\${prefix}/${CMAKE_INSTALL_LIBDIR}
includedir=\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}

Name: ${pc_name}
Description: ${description}
Version: ${PROJECT_VERSION}
")
  if(requires)
    string(APPEND content "Requires: ${requires}\n")
  endif()
  if(libs)
    string(APPEND content "Libs: -L\${libdir} ${libs}\n")
  endif()
  set(cflags "")
  if(ARGV4)
    set(cflags " ${ARGV4}")
  endif()
  # No -std: the headers need C++20 or later, and a -std here would undo a
  # program's own newer one placed before it.
  string(APPEND content "Cflags: -I\${includedir}${cflags}\n")
  file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/pkgconfig/${pc_name}.pc CONTENT "${content}" @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/pkgconfig/${pc_name}.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

# After the last module: the umbrella target, the package files.
function(vantrel_finish_modules)
  message(STATUS "Vantrel: modules ${VANTREL_MODULES}")
  if(NOT VANTREL_SHARED_LIBS)
    return()
  endif()
  add_library(vantrel INTERFACE)
  add_library(vantrel::vantrel ALIAS vantrel)
  set_target_properties(vantrel PROPERTIES EXPORT_NAME vantrel)
  set(requires "")
  foreach(m IN LISTS VANTREL_MODULES)
    target_link_libraries(vantrel INTERFACE vantrel_${m}_shared)
    list(APPEND requires vantrel-${m})
  endforeach()
  if(NOT VANTREL_INSTALL)
    return()
  endif()

  _vantrel_install_reached_internal_headers()
  list(JOIN requires ", " requires)
  _vantrel_pc_file(vantrel "Vantrel: every module built" "${requires}" "")
  install(TARGETS vantrel EXPORT VantrelTargets)
  install(EXPORT VantrelTargets NAMESPACE vantrel::
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vantrel)
  include(CMakePackageConfigHelpers)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VantrelConfig.cmake.in
    ${PROJECT_BINARY_DIR}/VantrelConfig.cmake
    INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vantrel)
  # 0.x: a minor version may break the interface.
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/VantrelConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/VantrelConfig.cmake
                ${PROJECT_BINARY_DIR}/VantrelConfigVersion.cmake
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Vantrel)
endfunction()

# Installs the internal/ headers that the installed public headers include,
# directly or through other internal ones: a program can compile every
# public header, and no header is installed whose names the libraries hide.
function(_vantrel_install_reached_internal_headers)
  set(public "")
  foreach(dir IN LISTS VANTREL_MODULE_DIRS)
    file(GLOB_RECURSE found RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/vantrel/${dir}/*.h)
    foreach(h IN LISTS found)
      if(NOT h MATCHES "/internal/")
        list(APPEND public ${h})
      endif()
    endforeach()
  endforeach()
  vantrel_reached_internal_headers(${PROJECT_SOURCE_DIR} "${public}" reached)
  foreach(h IN LISTS reached)
    get_filename_component(dir ${h} DIRECTORY)
    install(FILES ${PROJECT_SOURCE_DIR}/${h} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${dir})
  endforeach()
endfunction()

# vantrel_add_tests(<module> [LIBS <targets>] [RESOURCE_LOCK <name>] [NAME <name> DIR <folder>]):
# tests/<module>/*_test.cpp become <module>_tests (with NAME, tests/<folder>/*_test.cpp
# become <name>_tests, cases "<name>.<Suite>.<Case>": a second executable of the
# module, for cases that need a lock or libraries the others do without); *_concurrency_test.cpp files become
# <module>_concurrency_tests, labelled "concurrency" so the ThreadSanitizer
# build runs them too. Every test case is its own CTest test,
# "<module>.<Suite>.<Case>", found when CTest starts (so building stays
# fast). Cases that share something outside the process (an X display)
# name it as RESOURCE_LOCK and run one at a time. Nothing for a module left
# out.
function(vantrel_add_tests module)
  cmake_parse_arguments(T "" "DIR;RESOURCE_LOCK;NAME" "LIBS" ${ARGN})
  if(NOT module IN_LIST VANTREL_MODULES)
    return()
  endif()
  if(NOT T_DIR)
    set(T_DIR ${module})
  endif()
  if(NOT T_NAME)
    set(T_NAME ${module})
  endif()
  file(GLOB all CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/tests/${T_DIR}/*_test.cpp")
  set(plain "")
  set(concurrent "")
  foreach(f IN LISTS all)
    if(f MATCHES "_concurrency_test\\.cpp$")
      list(APPEND concurrent ${f})
    else()
      list(APPEND plain ${f})
    endif()
  endforeach()
  if(plain AND NOT VANTREL_CONCURRENCY_ONLY)
    _vantrel_test_executable(${T_NAME}_tests "${plain}" ${module} "${T_LIBS}" "" "${T_NAME}."
      "${T_RESOURCE_LOCK}")
  endif()
  if(concurrent)
    _vantrel_test_executable(${T_NAME}_concurrency_tests "${concurrent}" ${module} "${T_LIBS}"
      concurrency "${T_NAME}.concurrency." "${T_RESOURCE_LOCK}")
  endif()
endfunction()

function(_vantrel_test_executable target sources module libs label prefix lock)
  add_executable(${target} ${sources})
  # Same code model as the shared precompiled header.
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE OFF)
  target_link_libraries(${target} PRIVATE vantrel_${module} vantrel_test_support ${libs})
  target_precompile_headers(${target} REUSE_FROM vantrel_test_support)
  set(properties TIMEOUT 300)
  if(label)
    list(APPEND properties LABELS ${label})
  endif()
  if(lock)
    list(APPEND properties RESOURCE_LOCK ${lock})
  endif()
  gtest_discover_tests(${target}
    EXTRA_ARGS --gtest_color=no
    TEST_PREFIX "${prefix}"
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ${properties})
endfunction()

# vantrel_add_fuzzer(<name> <module> <source>): in the fuzz build a libFuzzer
# target; in the test build a program that runs the target on each file of
# fuzz/corpus/<name>/ once, a CTest test "fuzz.<name>".
function(vantrel_add_fuzzer name module source)
  if(NOT module IN_LIST VANTREL_MODULES)
    return()
  endif()
  if(VANTREL_FUZZ)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE vantrel_${module})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    return()
  endif()
  set(corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  if(NOT IS_DIRECTORY ${corpus})
    return()
  endif()
  add_executable(${name}_replay ${source})
  target_link_libraries(${name}_replay PRIVATE vantrel_${module} vantrel_fuzz_replay)
  add_test(NAME fuzz.${name} COMMAND ${name}_replay ${corpus})
  set_tests_properties(fuzz.${name} PROPERTIES TIMEOUT 300 LABELS fuzz)
endfunction()
