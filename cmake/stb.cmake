# stb's single-file libraries, from Debian's libstb-dev (scripts/deps): the one
# place that says where their headers are, for every build (the host's, MinGW's
# and Emscripten's alike: they are plain C). Link shooter_stb to include them;
# each library's implementation is compiled in one source file of its own.
find_path(SHOOTER_STB_INCLUDE_DIR stb_image_write.h
  PATHS /usr/include/stb /usr/local/include/stb
  NO_CMAKE_FIND_ROOT_PATH)
if(NOT SHOOTER_STB_INCLUDE_DIR)
  message(FATAL_ERROR "No stb headers (stb_image_write.h): install libstb-dev (scripts/deps)")
endif()
add_library(shooter_stb INTERFACE)
target_include_directories(shooter_stb SYSTEM INTERFACE "${SHOOTER_STB_INCLUDE_DIR}")
