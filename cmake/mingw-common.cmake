# The part of the mingw-w64 toolchain files that both processors share; the
# including file sets CMAKE_SYSTEM_PROCESSOR and NESSEL_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model: std::thread and std::mutex exist, and winpthread is
# linked statically like the rest of the runtime.
set(CMAKE_C_COMPILER ${NESSEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NESSEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NESSEL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${NESSEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
