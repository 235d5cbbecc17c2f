# Third-party libraries as imported targets. curl, jsoncpp and the LZMA SDK decoder come
# from the dependency cache that scripts/bootstrap.sh fills per target; stb_image and
# zlib come from Debian's packages.
set(FOLVANE_DEPS_CACHE "$ENV{FOLVANE_DEPS_CACHE}" CACHE PATH "Folder of the built dependencies")
if(NOT FOLVANE_DEPS_CACHE)
  set(FOLVANE_DEPS_CACHE "$ENV{HOME}/.cache/folvane-deps")
endif()
set(deps_prefix "${FOLVANE_DEPS_CACHE}/${FOLVANE_TRIPLE}")
if(NOT EXISTS "${deps_prefix}/lib/liblzmasdk.a")
  message(FATAL_ERROR "Dependencies for ${FOLVANE_TRIPLE} not found in ${deps_prefix}; run scripts/bootstrap.sh")
endif()
list(PREPEND CMAKE_FIND_ROOT_PATH "${deps_prefix}")

set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
find_package(CURL CONFIG REQUIRED)
find_package(jsoncpp CONFIG REQUIRED)

add_library(lzmasdk STATIC IMPORTED GLOBAL)
set_target_properties(lzmasdk PROPERTIES
  IMPORTED_LOCATION "${deps_prefix}/lib/liblzmasdk.a"
  INTERFACE_INCLUDE_DIRECTORIES "${deps_prefix}/include/lzmasdk")

find_path(STB_INCLUDE_DIR stb/stb_image.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_library(stb INTERFACE IMPORTED GLOBAL)
# Only the stb folder goes on the path; /usr/include itself holds Linux headers.
set_target_properties(stb PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${STB_INCLUDE_DIR}/stb")
