# The names of the data files the game loads, read from their one home,
# src/data_files.h, into SHOOTER_DATA_FILE_NAMES (paths relative to the game's
# working folder, in the header's order), for the generator's outputs and the packages.
set(SHOOTER_DATA_FILES_HEADER "${CMAKE_CURRENT_LIST_DIR}/../src/data_files.h")
file(STRINGS "${SHOOTER_DATA_FILES_HEADER}" _shooter_data_lines
     REGEX "^inline constexpr const char\\* k[A-Za-z]+ = \"[^\"]+\";")
set(SHOOTER_DATA_FILE_NAMES "")
foreach(_line IN LISTS _shooter_data_lines)
  string(REGEX REPLACE "^[^\"]*\"([^\"]+)\";.*$" "\\1" _name "${_line}")
  list(APPEND SHOOTER_DATA_FILE_NAMES "${_name}")
endforeach()
# A name written in another form would be missed: every constant must be read.
file(STRINGS "${SHOOTER_DATA_FILES_HEADER}" _shooter_constants REGEX "= *\"")
list(LENGTH _shooter_constants _shooter_constant_count)
list(LENGTH SHOOTER_DATA_FILE_NAMES _shooter_name_count)
if(_shooter_name_count EQUAL 0 OR NOT _shooter_name_count EQUAL _shooter_constant_count)
  message(FATAL_ERROR "${SHOOTER_DATA_FILES_HEADER}: read ${_shooter_name_count} names from "
                      "${_shooter_constant_count} constants; keep one name per line in the form "
                      "inline constexpr const char* kName = \"path\";")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${SHOOTER_DATA_FILES_HEADER}")
