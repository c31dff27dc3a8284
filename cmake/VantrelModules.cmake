# One static (PIC) library per module, folded into the one shared libvantrel.
# Tests link the module libraries they need, so a module under construction
# never breaks another module's test build.

set(VANTREL_MODULES "" CACHE INTERNAL "")

# vantrel_add_module(<name> DIRS <folders under vantrel/> [DEPENDS <modules>] [LIBS <targets>] [PUBLIC_LIBS <targets>])
# Sources: every .cpp under each folder, sub-folders included. A module
# whose folders hold no source yet gets an empty one, so it can be declared
# before its code exists.
function(vantrel_add_module name)
  cmake_parse_arguments(M "" "" "DIRS;DEPENDS;LIBS;PUBLIC_LIBS" ${ARGN})
  set(sources "")
  foreach(dir IN LISTS M_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/vantrel/${dir}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    set(stub "${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp")
    file(CONFIGURE OUTPUT "${stub}" CONTENT "// module ${name} has no sources yet\n")
    set(sources "${stub}")
  endif()
  set(target vantrel_${name})
  # The objects are compiled once and used twice: in the module's static
  # library (for tests) and in the shared library.
  add_library(${target}_objects OBJECT ${sources})
  target_include_directories(${target}_objects PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
  add_library(${target} STATIC $<TARGET_OBJECTS:${target}_objects>)
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
  foreach(dep IN LISTS M_DEPENDS)
    target_link_libraries(${target}_objects PUBLIC vantrel_${dep}_objects)
    target_link_libraries(${target} PUBLIC vantrel_${dep})
  endforeach()
  target_link_libraries(${target}_objects PRIVATE ${M_LIBS} PUBLIC ${M_PUBLIC_LIBS})
  target_link_libraries(${target} PRIVATE ${M_LIBS} PUBLIC ${M_PUBLIC_LIBS})
  set_property(GLOBAL APPEND PROPERTY VANTREL_MODULE_LIBS ${M_LIBS} ${M_PUBLIC_LIBS})
  set(VANTREL_MODULES ${VANTREL_MODULES} ${name} CACHE INTERNAL "")
endfunction()

# vantrel_add_tests(<module>): tests/<dir>/*_test.cpp become <module>_tests;
# *_concurrency_test.cpp files become <module>_concurrency_tests, labelled
# "concurrency" so the ThreadSanitizer build runs them too.
function(vantrel_add_tests module)
  cmake_parse_arguments(T "" "DIR" "LIBS" ${ARGN})
  if(NOT T_DIR)
    set(T_DIR ${module})
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
    _vantrel_test_executable(${module}_tests "${plain}" ${module} "${T_LIBS}" "")
  endif()
  if(concurrent)
    _vantrel_test_executable(${module}_concurrency_tests "${concurrent}" ${module} "${T_LIBS}" concurrency)
  endif()
endfunction()

function(_vantrel_test_executable target sources module libs label)
  add_executable(${target} ${sources})
  # Same code model as the shared precompiled header.
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE OFF)
  target_link_libraries(${target} PRIVATE vantrel_${module} vantrel_test_support ${libs})
  target_precompile_headers(${target} REUSE_FROM vantrel_test_support)
  add_test(NAME ${target} COMMAND ${target} --gtest_color=no)
  set_tests_properties(${target} PROPERTIES
    ENVIRONMENT "VANTREL_FIXTURES=${PROJECT_SOURCE_DIR}/../shared/fixtures"
    TIMEOUT 600)
  if(label)
    set_tests_properties(${target} PROPERTIES LABELS ${label})
  endif()
endfunction()

# vantrel_add_fuzzer(<name> <module> <source>)
function(vantrel_add_fuzzer name module source)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE vantrel_${module})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY VANTREL_FUZZERS ${name})
endfunction()
