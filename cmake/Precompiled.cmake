# Precompiled system headers for every library and program of the project.
#
# Half of a translation unit's compile time is the system headers (windows.h
# with the shell and common-control headers, the standard library, and in the
# tests GoogleTest). brim_precompile_all_targets(), called once after every
# target exists, gives each project target with a few C++ sources a
# precompiled header of its own; the test programs and their fixtures all
# reuse one, made by brim_test_pch with the tests' compile options.
#
# Tricky points:
# - GCC uses a precompiled header only when the options that shape it match
#   the unit's (optimisation level, target options, debug information); a unit
#   whose options differ silently reads the headers as text instead, so a
#   mismatch costs time, never correctness. The tests are all compiled alike
#   (brim_mark_test_target) so that one header serves them all.
# - Forcing these headers into every unit is harmless only because no unit
#   defines a macro that changes them before its own includes (no
#   WIN32_LEAN_AND_MEAN and the like); the definitions that do (NOMINMAX,
#   STRICT, the Windows version) are given to every unit on the command line.
# - C sources (the JPEG decoder's) get none: the list is for C++ alone.
# - A compiler cache shared between build folders has been seen to hand back a
#   precompiled header the compiler then crashes on; builds through a compiler
#   cache go without (BRIM_PRECOMPILED_HEADERS, set by scripts/build).

set(BRIM_PCH_SYSTEM_HEADERS
  <windows.h> <commctrl.h> <shlobj.h>
  <algorithm> <cstdint> <cstring> <functional> <map> <memory> <string> <vector>)
set(BRIM_PCH_TEST_HEADERS ${BRIM_PCH_SYSTEM_HEADERS} <gtest/gtest.h>)

# Test code is compiled without optimisation: it is mostly GoogleTest's macros, which
# take twice as long to optimise as to parse, and the product code it drives stays optimised.
# All of it uses the framework's floating-point settings, so that one header fits every test.
set(BRIM_TEST_COMPILE_OPTIONS -O0 -msse2 -mfpmath=sse)

# Marks a target as test code (the test programs, which link brim_testsupport, are found
# by that): compiled like every test, with the tests' shared header.
function(brim_mark_test_target target)
  set_property(TARGET ${target} PROPERTY BRIM_TEST_TARGET ON)
endfunction()

# Gives an object library the compile requirements of libraries without linking them: a library's
# resource scripts (its interface sources) belong to the programs alone, which link it themselves.
function(brim_compile_like target)
  foreach(lib ${ARGN})
    target_include_directories(${target} PRIVATE $<TARGET_PROPERTY:${lib},INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_definitions(${target} PRIVATE $<TARGET_PROPERTY:${lib},INTERFACE_COMPILE_DEFINITIONS>)
    target_compile_options(${target} PRIVATE $<TARGET_PROPERTY:${lib},INTERFACE_COMPILE_OPTIONS>)
  endforeach()
endfunction()

function(brim_pch_as_list headers out)
  set(list "")
  foreach(header ${headers})
    # The header's closing angle bracket would end the expression: it is spelled out.
    string(REGEX REPLACE ">$" "$<ANGLE-R>" header "${header}")
    list(APPEND list "$<$<COMPILE_LANGUAGE:CXX>:${header}>")
  endforeach()
  set(${out} ${list} PARENT_SCOPE)
endfunction()

# Every build-system target defined in a folder and the folders below it.
function(brim_collect_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    brim_collect_targets(${sub} below)
    list(APPEND targets ${below})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(brim_cxx_source_count target out)
  get_target_property(sources ${target} SOURCES)
  set(count 0)
  foreach(source ${sources})
    if(source MATCHES "\\.cpp$")
      math(EXPR count "${count} + 1")
    endif()
  endforeach()
  set(${out} ${count} PARENT_SCOPE)
endfunction()

function(brim_precompile_all_targets)
  if(NOT BRIM_PRECOMPILED_HEADERS)
    return()
  endif()
  brim_pch_as_list("${BRIM_PCH_SYSTEM_HEADERS}" product_headers)
  set(test_donor "")
  if(TARGET brim_testsupport)
    # The tests' donor: one empty unit compiled exactly as the tests are.
    set(test_donor brim_test_pch)
    file(WRITE ${CMAKE_BINARY_DIR}/brim_test_pch.cpp "// The tests' precompiled header is made with this unit.\n")
    add_library(${test_donor} OBJECT ${CMAKE_BINARY_DIR}/brim_test_pch.cpp)
    brim_compile_like(${test_donor} GTest::gtest brim_framework)
    target_compile_options(${test_donor} PRIVATE ${BRIM_TEST_COMPILE_OPTIONS})
    brim_pch_as_list("${BRIM_PCH_TEST_HEADERS}" test_headers)
    target_precompile_headers(${test_donor} PRIVATE ${test_headers})
  endif()
  brim_collect_targets(${PROJECT_SOURCE_DIR} targets)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    get_target_property(dir ${target} SOURCE_DIR)
    string(FIND "${dir}/" "${PROJECT_SOURCE_DIR}/" at)
    if(NOT at EQUAL 0)
      continue()  # GoogleTest's own targets
    endif()
    if(NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$" OR target STREQUAL test_donor)
      continue()
    endif()
    get_target_property(is_test ${target} BRIM_TEST_TARGET)
    get_target_property(links ${target} LINK_LIBRARIES)
    if(target STREQUAL "brim_testsupport" OR "brim_testsupport" IN_LIST links)
      set(is_test ON)
    endif()
    brim_cxx_source_count(${target} count)
    if(is_test AND test_donor)
      target_compile_options(${target} PRIVATE ${BRIM_TEST_COMPILE_OPTIONS})
      if(count GREATER 0)
        target_precompile_headers(${target} REUSE_FROM ${test_donor})
      endif()
    elseif(count GREATER 2)
      target_precompile_headers(${target} PRIVATE ${product_headers})
    endif()
  endforeach()
endfunction()
