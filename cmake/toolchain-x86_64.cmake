# The test build, run under 64-bit Wine.
set(FOLVANE_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
