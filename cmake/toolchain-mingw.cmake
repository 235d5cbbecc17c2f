# Shared part of the two MinGW-w64 cross toolchains (posix thread model: std::thread and
# friends need winpthread; the program itself uses Win32 threads only). The including
# file sets FOLVANE_ARCH first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${FOLVANE_ARCH})
set(FOLVANE_TRIPLE ${FOLVANE_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER   ${FOLVANE_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FOLVANE_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${FOLVANE_TRIPLE}-windres)
set(CMAKE_AR           ${FOLVANE_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB       ${FOLVANE_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_FIND_ROOT_PATH /usr/${FOLVANE_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
