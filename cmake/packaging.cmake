# Packages (made by scripts/package with cpack):
#   Windows  a zip: shooter.exe with its data, unzip and play;
#   Linux    an archive (the game, its data, a launcher, a desktop entry and an
#            icon, all in one folder), and a Debian package that installs the
#            game the system's way.
# Every archive carries LICENSE; the Debian package its Debian forms: the
# copyright file, the changelog made from CHANGELOG.md, the manual page, the
# icon at every size and the AppStream metainfo.
# The game finds its data beside its binary (the archives) or, installed, in
# the data folder of the installed layout (src/app/data_folder.h).
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

# shooter_drop_comment(FOLDER INSTALL-OPTIONS...): the installed binary in FOLDER
# loses the compilers' version notes (.comment), of no use in a shipped
# program (lintian: binary-has-unneeded-section). Runs after its stripping.
function(shooter_drop_comment folder)
  if(CMAKE_OBJCOPY AND NOT WIN32)
    install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${folder}/shooter${CMAKE_EXECUTABLE_SUFFIX}\"
                  COMMAND_ERROR_IS_FATAL ANY)" ${ARGN})
  endif()
endfunction()

# The one-folder layout.
if(WIN32)
  set(archive_component COMPONENT archive)
else()
  set(archive_component COMPONENT archive EXCLUDE_FROM_ALL)
endif()
install(TARGETS shooter RUNTIME DESTINATION . ${archive_component})
shooter_drop_comment(. ${archive_component})
shooter_install_data(. ${archive_component})
# stb's code is compiled into the program: its notice travels with it.
install(FILES README.md LICENSE packaging/THIRD-PARTY-NOTICES.txt CHANGELOG.md DESTINATION .
        ${archive_component})
set(SHOOTER_THEME_ICONS "${PROJECT_BINARY_DIR}/generated/hicolor")
if(NOT WIN32)
  install(FILES "${SHOOTER_THEME_ICONS}/256x256/apps/shooter.png" DESTINATION .
          RENAME shooter.png ${archive_component})
  install(PROGRAMS packaging/linux/play.sh packaging/linux/install-desktop-entry.sh
          DESTINATION . ${archive_component})
  # The archive's desktop entry keeps @DIR@ for install-desktop-entry.sh.
  set(DIR "@DIR@")
  configure_file(packaging/linux/shooter.desktop.in
                 "${PROJECT_BINARY_DIR}/generated/archive/shooter.desktop.in" @ONLY)
  install(FILES "${PROJECT_BINARY_DIR}/generated/archive/shooter.desktop.in" DESTINATION .
          ${archive_component})
endif()

# The system layout (Linux).
if(NOT WIN32)
  # The release's date: CHANGELOG.md's newest entry, "## VERSION (YYYY-MM-DD)".
  file(STRINGS CHANGELOG.md SHOOTER_RELEASE_DATE REGEX "^## [0-9]" LIMIT_COUNT 1)
  string(REGEX REPLACE "^## .* \\(([0-9-]+)\\)$" "\\1" SHOOTER_RELEASE_DATE "${SHOOTER_RELEASE_DATE}")
  set(SHOOTER_DEBIAN_REVISION 1)
  set(generated "${PROJECT_BINARY_DIR}/generated")
  configure_file(packaging/system/shooter.6.in "${generated}/shooter.6" @ONLY)
  configure_file(packaging/system/shooter.desktop.in "${generated}/${SHOOTER_APP_ID}.desktop" @ONLY)
  configure_file(packaging/debian/copyright.in "${generated}/copyright" @ONLY)
  configure_file(packaging/system/shooter.metainfo.xml.in
                 "${generated}/${SHOOTER_APP_ID}.metainfo.xml" @ONLY)
  # Debian's documentation is compressed with gzip -9n.
  add_custom_command(OUTPUT "${generated}/shooter.6.gz"
    COMMAND "${CMAKE_COMMAND}" -DINPUT=${generated}/shooter.6 -DOUTPUT=${generated}/shooter.6.gz
            -P "${PROJECT_SOURCE_DIR}/cmake/gzip-file.cmake"
    DEPENDS "${generated}/shooter.6" "${PROJECT_SOURCE_DIR}/cmake/gzip-file.cmake"
    VERBATIM)
  add_custom_command(OUTPUT "${generated}/changelog.Debian.gz"
    COMMAND "${CMAKE_COMMAND}" -DCHANGELOG=${PROJECT_SOURCE_DIR}/CHANGELOG.md
            -DOUTPUT=${generated}/changelog.Debian -DVERSION=${PROJECT_VERSION}
            -DREVISION=${SHOOTER_DEBIAN_REVISION} -DMAINTAINER=${SHOOTER_CONTACT}
            -P "${PROJECT_SOURCE_DIR}/cmake/debian-changelog.cmake"
    COMMAND "${CMAKE_COMMAND}" -DINPUT=${generated}/changelog.Debian
            -DOUTPUT=${generated}/changelog.Debian.gz
            -P "${PROJECT_SOURCE_DIR}/cmake/gzip-file.cmake"
    DEPENDS CHANGELOG.md cmake/debian-changelog.cmake cmake/gzip-file.cmake
    VERBATIM)
  add_custom_target(package_files ALL
    DEPENDS "${generated}/shooter.6.gz" "${generated}/changelog.Debian.gz")

  configure_file(packaging/system/shooter "${generated}/shooter" @ONLY)
  install(PROGRAMS "${generated}/shooter" DESTINATION games COMPONENT system)
  install(TARGETS shooter RUNTIME DESTINATION ${SHOOTER_INSTALL_PROGRAM_DIR} COMPONENT system)
  shooter_drop_comment(${SHOOTER_INSTALL_PROGRAM_DIR} COMPONENT system)
  shooter_install_data(${SHOOTER_INSTALL_DATA_DIR} COMPONENT system)
  install(FILES "${generated}/${SHOOTER_APP_ID}.desktop" DESTINATION share/applications
          COMPONENT system)
  foreach(size IN LISTS SHOOTER_ICON_SIZES)
    install(FILES "${SHOOTER_THEME_ICONS}/${size}x${size}/apps/shooter.png"
            DESTINATION share/icons/hicolor/${size}x${size}/apps COMPONENT system)
  endforeach()
  install(FILES "${generated}/${SHOOTER_APP_ID}.metainfo.xml" DESTINATION share/metainfo
          COMPONENT system)
  install(FILES "${generated}/shooter.6.gz" DESTINATION share/man/man6 COMPONENT system)
  install(FILES README.md "${generated}/copyright" "${generated}/changelog.Debian.gz"
          DESTINATION share/doc/shooter COMPONENT system)
  # lintian's overrides, each with its reason.
  install(FILES packaging/debian/lintian-overrides DESTINATION share/lintian/overrides
          RENAME shooter COMPONENT system)
endif()

set(CPACK_PACKAGE_NAME "shooter")
set(CPACK_PACKAGE_VENDOR "shooter")
set(CPACK_PACKAGE_CONTACT "${SHOOTER_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${SHOOTER_SUMMARY}")
# Debian's extended description: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION [[Walk a walled maze of 18 corridor cells, meet six enemies, shoot them
with a rifle aimed through a crosshair, and reach the exit door. Drawn
with OpenGL 1.1, played with keyboard and mouse or a game pad.
Games can be recorded and replayed exactly.]])
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
  # Debian: shooter_1.0-1_amd64.deb, in section games; the runtime libraries
  # (libc, libstdc++, SDL2, GL, GLU) found by dpkg-shlibdeps from the binary,
  # and libgl1, the GLX library that SDL opens at run time (it brings Mesa).
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  # Version 1.0-1: the game's version and the package's first revision (the
  # changelog is then changelog.Debian.gz, as Debian names a non-native one).
  set(CPACK_DEBIAN_PACKAGE_RELEASE ${SHOOTER_DEBIAN_REVISION})
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
