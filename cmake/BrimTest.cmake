# brim_add_gtest(<name> SOURCES <files...> LIBS <targets...> [TIMEOUT <s>] [SHARES_NOTHING])
# One GoogleTest program run by ctest through Wine (the crosscompiling emulator).
# Each test program runs on a Wine machine of its own (prefix, wineserver,
# display, home; scripts/lib/private-wine.sh), so test programs run side by
# side: none sees another's registry, windows, pointer or clipboard. A program
# declared SHARES_NOTHING (no registry, no windows) runs in the build's shared
# prefix instead, which costs less to start.
# Each test carries its build folder and architecture in its environment, so a
# plain ctest in either build folder runs under the right Wine and prefix.
# Every test program links the shared support library (fixtures, dialog answering,
# a main with a deadline), so a hung modal loop fails the run instead of stalling it.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-exec)

function(brim_add_gtest name)
  cmake_parse_arguments(ARG "SHARES_NOTHING" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE brim_testsupport ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  # The test's own watchdog fires a little before ctest's hard limit, so it can name the test.
  math(EXPR deadline "${ARG_TIMEOUT} - 15")
  if(ARG_SHARES_NOTHING)
    set(private 0)
  else()
    set(private 1)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "BRIM_TEST_DEADLINE=${deadline};BRIM_BIN_DIR=${CMAKE_BINARY_DIR}/bin;BRIM_BUILD=${CMAKE_BINARY_DIR};BRIM_ARCH=${CMAKE_SYSTEM_PROCESSOR};BRIM_PRIVATE_WINE=${private}")
endfunction()
