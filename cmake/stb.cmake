# stb's single-file libraries (Debian's libstb-dev), header-only: the PNG writer
# (stb_image_write.h) of the data generator and of the game. One place finds
# them for every build: the INTERFACE target shooter_stb gives the folder
# (as a system folder, whose warnings are not the game's).
if(NOT TARGET shooter_stb)
  # The headers are the same for every target, so a cross build takes the
  # build machine's copy too.
  find_path(SHOOTER_STB_INCLUDE_DIR stb_image_write.h
    PATHS /usr/include/stb /usr/local/include/stb
    NO_CMAKE_FIND_ROOT_PATH)
  if(NOT SHOOTER_STB_INCLUDE_DIR)
    message(FATAL_ERROR "stb_image_write.h not found: install libstb-dev (scripts/deps), "
      "or point SHOOTER_STB_INCLUDE_DIR at the folder holding it")
  endif()
  add_library(shooter_stb INTERFACE)
  target_include_directories(shooter_stb SYSTEM INTERFACE "${SHOOTER_STB_INCLUDE_DIR}")
endif()
