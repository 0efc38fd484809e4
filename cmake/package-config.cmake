# Read by cpack once per generator: which install component goes into which
# package, and how each package is named (see cmake/packaging.cmake).
if(CPACK_GENERATOR STREQUAL "DEB")
  set(shooter_component system)
  set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  set(shooter_component archive)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_SHOOTER_ARCHIVE_NAME}")
endif()
# One project: build folder; project name; component; folder in the package.
list(GET CPACK_INSTALL_CMAKE_PROJECTS 0 shooter_build_dir)
set(CPACK_INSTALL_CMAKE_PROJECTS "${shooter_build_dir};shooter;${shooter_component};/")
