# Imported targets for the cross-built dependencies (see scripts/setup) and
# GoogleTest built from the system's sources.
set(BRIM_CRYPTOPP_PREFIX "" CACHE PATH "Prefix of the cross-built Crypto++")
set(BRIM_LIBJPEG_PREFIX "" CACHE PATH "Prefix of the cross-built libjpeg-turbo")

foreach(var BRIM_CRYPTOPP_PREFIX BRIM_LIBJPEG_PREFIX)
  if(NOT EXISTS "${${var}}/include")
    message(FATAL_ERROR "${var} is not set to a built prefix; run scripts/setup and scripts/build")
  endif()
endforeach()

add_library(brim_cryptopp STATIC IMPORTED GLOBAL)
set_target_properties(brim_cryptopp PROPERTIES
  IMPORTED_LOCATION "${BRIM_CRYPTOPP_PREFIX}/lib/libcryptopp.a"
  INTERFACE_INCLUDE_DIRECTORIES "${BRIM_CRYPTOPP_PREFIX}/include"
  INTERFACE_LINK_LIBRARIES "ws2_32")

add_library(brim_jpeg STATIC IMPORTED GLOBAL)
set_target_properties(brim_jpeg PROPERTIES
  IMPORTED_LOCATION "${BRIM_LIBJPEG_PREFIX}/lib/libjpeg.a"
  INTERFACE_INCLUDE_DIRECTORIES "${BRIM_LIBJPEG_PREFIX}/include")

if(BRIM_BUILD_TESTS)
  set(BRIM_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${BRIM_GOOGLETEST_SOURCE} googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
