# The part of the mingw-w64 cross toolchain that both architectures share
# (Debian's posix-threads compilers). Included by the per-architecture files,
# which set BRIM_MINGW_PREFIX and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${BRIM_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRIM_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${BRIM_MINGW_PREFIX}-windres)
set(CMAKE_AR           ${BRIM_MINGW_PREFIX}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB       ${BRIM_MINGW_PREFIX}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${BRIM_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
