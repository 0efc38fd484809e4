# Packages (made by scripts/package with cpack):
#   Windows  a zip: shooter.exe with its data, unzip and play;
#   Linux    an archive (the game, its data, a launcher, a desktop entry and an
#            icon, all in one folder), and a Debian package that installs the
#            game the system's way.
# The game loads its data relative to its working directory, so the data stay
# beside the binary in the archives, and the Debian package's launcher changes
# into the data folder first.
#
# Two install layouts, as components:
#   archive  the one-folder layout of the zip and the tar.gz;
#   system   /usr/games/shooter (launcher), the binary in lib/games/shooter, the
#            data in share/games/shooter, the desktop entry and icon in their
#            freedesktop places. This is what `cmake --install` installs.
# cmake/package-config.cmake gives each generator its component.

# shooter_install_data(FOLDER INSTALL-OPTIONS...): every data file the game
# loads (their one list, SHOOTER_DATA_FILE_NAMES), at its path below FOLDER.
function(shooter_install_data folder)
  foreach(name IN LISTS SHOOTER_DATA_FILE_NAMES)
    get_filename_component(subfolder "${name}" DIRECTORY)
    install(FILES "${SHOOTER_RUN_DIR}/${name}" DESTINATION "${folder}/${subfolder}" ${ARGN})
  endforeach()
endfunction()

# The one-folder layout.
if(WIN32)
  set(archive_component COMPONENT archive)
else()
  set(archive_component COMPONENT archive EXCLUDE_FROM_ALL)
endif()
install(TARGETS shooter RUNTIME DESTINATION . ${archive_component})
shooter_install_data(. ${archive_component})
install(FILES README.md DESTINATION . ${archive_component})
if(NOT WIN32)
  install(FILES "${PROJECT_BINARY_DIR}/generated/shooter.png" DESTINATION . ${archive_component})
  install(PROGRAMS packaging/linux/play.sh packaging/linux/install-desktop-entry.sh
          DESTINATION . ${archive_component})
  install(FILES packaging/linux/shooter.desktop.in DESTINATION . ${archive_component})
endif()

# The system layout (Linux).
if(NOT WIN32)
  install(PROGRAMS packaging/system/shooter DESTINATION games COMPONENT system)
  install(TARGETS shooter RUNTIME DESTINATION lib/games/shooter COMPONENT system)
  shooter_install_data(share/games/shooter COMPONENT system)
  install(FILES packaging/system/shooter.desktop DESTINATION share/applications
          COMPONENT system)
  install(FILES "${PROJECT_BINARY_DIR}/generated/shooter.png"
          DESTINATION share/icons/hicolor/32x32/apps COMPONENT system)
  install(FILES README.md DESTINATION share/doc/shooter COMPONENT system)
endif()

set(CPACK_PACKAGE_NAME "shooter")
set(CPACK_PACKAGE_VENDOR "shooter")
set(CPACK_PACKAGE_CONTACT "The shooter developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "A small first-person shooter in a walled maze")
set(CPACK_PACKAGE_DESCRIPTION
  "Walk a walled maze of 18 corridor cells, meet six enemies, shoot them with a rifle aimed through a crosshair, and reach the exit door. Drawn with OpenGL 1.1.")
set(CPACK_PACKAGE_DIRECTORY "${PROJECT_BINARY_DIR}/packages")
set(CPACK_STRIP_FILES ON)
# `cpack` and `make install` build nothing by themselves: scripts/package
# builds the game and its data first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/package-config.cmake")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SHOOTER_ARCHIVE_NAME "shooter-${PROJECT_VERSION}-windows")
else()
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_SHOOTER_ARCHIVE_NAME "shooter-${PROJECT_VERSION}-linux")
  # Debian: shooter_1.0_amd64.deb, in section games; the runtime libraries
  # (libc, libstdc++, SDL2, GL, GLU) found by dpkg-shlibdeps from the binary,
  # and libgl1, the GLX library that SDL opens at run time (it brings Mesa).
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
