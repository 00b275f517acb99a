# Cross-compiling for 32-bit Windows: the product's architecture.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(BRIM_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
