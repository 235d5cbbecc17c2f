# The shipped 32-bit program.
set(FOLVANE_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
