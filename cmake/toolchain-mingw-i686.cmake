# Cross-build for i686 Windows with Debian's mingw-w64 compilers.
# cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(NESSEL_MINGW_TRIPLE i686-w64-mingw32)

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
