# The routes of src/gl.h, made at configure time from the GL layer's one list
# of entry points (src/gl/gl_entry_points.h), and the names the game may not
# call: every GL and GLU function (src/gl/gl_api_names.txt) the list does not
# route.
#   gl_routes.h    #define glBegin SHOOTER_GL_ROUTE(Begin), one a routed name;
#   gl_unrouted.h  #pragma GCC poison of the rest, for the game's own code.
function(shooter_gl_routes table names out)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${table}" "${names}")
  file(READ "${table}" text)
  string(REGEX MATCHALL "\nSHOOTER_GL_ENTRY\\([A-Za-z]+, *glu?, *[A-Za-z0-9]+," rows "${text}")
  set(routes "")
  set(routed "")
  foreach(row IN LISTS rows)
    string(REGEX REPLACE ".*, *(glu?), *([A-Za-z0-9]+),$" "\\1;\\2" parts "${row}")
    list(GET parts 0 api)
    list(GET parts 1 name)
    string(APPEND routes "#define ${api}${name} SHOOTER_GL_ROUTE(${name})\n")
    list(APPEND routed "${api}${name}")
  endforeach()
  # Every row of the table read, or none routed: a row the pattern above
  # misses would be neither routed nor poisoned.
  string(REGEX MATCHALL "\n[ \t]*SHOOTER_GL_ENTRY[ \t]*\\(" table_rows "${text}")
  list(LENGTH routed count)
  list(LENGTH table_rows table_count)
  if(count EQUAL 0 OR NOT count EQUAL table_count)
    message(FATAL_ERROR "gl_routes: ${count} entry points read from the ${table_count} rows of ${table}")
  endif()
  file(STRINGS "${names}" all REGEX "^glu?[A-Z][A-Za-z0-9]*$")
  set(poison "")
  set(line "")
  foreach(name IN LISTS all)
    if(NOT name IN_LIST routed)
      string(APPEND line " ${name}")
      string(LENGTH "${line}" length)
      if(length GREATER 70)
        string(APPEND poison "#pragma GCC poison${line}\n")
        set(line "")
      endif()
    endif()
  endforeach()
  if(line)
    string(APPEND poison "#pragma GCC poison${line}\n")
  endif()
  set(head "// Made by cmake/gl_routes.cmake from src/gl/gl_entry_points.h: do not edit.\n#pragma once\n")
  file(CONFIGURE OUTPUT "${out}/gl_routes.h" CONTENT "${head}${routes}" @ONLY)
  file(CONFIGURE OUTPUT "${out}/gl_unrouted.h"
       CONTENT "${head}// A GL or GLU call the layer does not route: use the layer's, or route it.\n${poison}" @ONLY)
endfunction()
