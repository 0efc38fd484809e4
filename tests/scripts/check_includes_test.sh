#!/usr/bin/env bash
# scripts/check-includes against planted files: a copy of src/ with one file
# added at a time. Each line of the table: whether the check must pass, the
# planted file, and its text (\n a new line, \\ a backslash).
# Then cmake/gl_routes.cmake against planted rows of the GL layer's table: a
# row it cannot read stops the configure.
#   check_includes_test.sh SOURCE_DIR [CMAKE]
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/scripts"
cp "$1/scripts/check-includes" "$work/scripts/"
cp -r "$1/src" "$work/src"
failures=0
while IFS='|' read -r verdict file line; do
  [ -n "$verdict" ] || continue
  mkdir -p "$(dirname "$work/src/$file")"
  printf '%b\n' "$line" >"$work/src/$file"
  output=$(python3 "$work/scripts/check-includes" 2>&1)
  status=$?
  rm -f "$work/src/$file"
  if [ "$verdict" = pass ] && [ "$status" -ne 0 ]; then
    echo "FAIL: src/$file with '$line' was refused: $output"
    failures=$((failures + 1))
  elif [ "$verdict" = refuse ] && { [ "$status" -ne 1 ] || ! grep -qF "src/$file:" <<<"$output"; }; then
    echo "FAIL: src/$file with '$line' passed (exit code $status): $output"
    failures=$((failures + 1))
  else
    echo "ok: $verdict src/$file: $line"
  fi
done <<'TABLE'
pass|game/planted.cpp|#include <cmath>
pass|world/planted.h|#include "world/collision.h"
pass|text/planted.cpp|#include <stdint.h>
pass|app/sdl/planted.cpp|#include <poll.h>
pass|app/win32/planted.cpp|#include <wingdi.h>
pass|gl/planted.cpp|#include <GL/glu.h>
refuse|game/planted.cpp|#include <GL/gl.h>
refuse|world/planted.cpp|#include <GL/glu.h>
refuse|game/planted.h|#include <wingdi.h>
refuse|world/planted.cpp|#include <poll.h>
refuse|platform/planted.cpp|#include <sys/time.h>
refuse|app/planted.cpp|#include <SDL.h>
refuse|game/planted.cpp|#if __has_include(<SDL.h>)
refuse|game/planted.ipp|#include <windows.h>
refuse|world/planted.CPP|#include <unistd.h>
refuse|model/planted.cpp|#include "windows.h"
refuse|gl/planted.cpp|#include <SDL.h>
refuse|game/planted.cpp|#include "app/shell.h"
pass|image/planted.cpp|#include "gl/glu_sizes.h"
pass|app/sdl/planted.cpp|#include "gl/gl_system.h"
pass|gl/planted.cpp|#include <GL/glext.h>
pass|gl/planted.cpp|#include <cstring>
refuse|game/planted.cpp|#include "gl/gl_system.h"
refuse|game/planted.cpp|#include "gl/gl_desktop.h"
refuse|text/planted.h|#include "gl/gl_layer.h"
refuse|world/planted.cpp|#include "gl_routes.h"
refuse|gl/planted.cpp|#include <wingdi.h>
refuse|gl/planted.cpp|#include <winbase.h>
refuse|gl/planted.cpp|#include <poll.h>
refuse|gl/planted.cpp|#include <semaphore.h>
refuse|gl/planted.cpp|#include "stdio.h"
pass|game/planted.cpp|#define QUADS GL_QUADS // glRectf in a comment
pass|app/win32/planted.cpp|#define RECT glRectf
pass|gl/planted.cpp|#undef glBegin
refuse|game/planted.cpp|#define RECT glRectf\n#include "gl.h"
refuse|model/planted.h|#define DRAW(x) \\\n  gluPerspective(x)
refuse|game/planted.cpp|#include "gl.h"\n#undef glBegin
refuse|app/planted.cpp|  #  define glVertex3f(x, y, z) glRectf(x, y, x, y)
refuse|game/planted.cpp|#pragma push_macro("glBegin")\n#include "gl.h"\n#pragma pop_macro("glBegin")
pass|game/planted.cpp|#define NAME "glBegin"
TABLE
output=$(python3 "$work/scripts/check-includes" 2>&1) ||
  { echo "FAIL: the copy of src/ itself is refused: $output"; failures=$((failures + 1)); }

cmake=${2:-cmake}
cat >"$work/routes.cmake" <<EOF
cmake_minimum_required(VERSION 3.16)
include("$1/cmake/gl_routes.cmake")
shooter_gl_routes("$work/table.h" "$1/src/gl/gl_api_names.txt" "$work/routes")
EOF
while IFS='|' read -r verdict edit; do
  sed "$edit" "$1/src/gl/gl_entry_points.h" >"$work/table.h"
  output=$("$cmake" -P "$work/routes.cmake" 2>&1)
  status=$?
  if { [ "$verdict" = pass ] && [ "$status" -ne 0 ]; } ||
    { [ "$verdict" = refuse ] && { [ "$status" -eq 0 ] || ! grep -q "gl_routes: " <<<"$output"; }; }; then
    echo "FAIL: gl_routes.cmake with the table edited by '$edit' (exit code $status): $output"
    failures=$((failures + 1))
  else
    echo "ok: $verdict gl_routes.cmake: $edit"
  fi
done <<'TABLE'
pass|s/^//
refuse|s/^SHOOTER_GL_ENTRY(void, gl, EndList/SHOOTER_GL_ENTRY(void , gl, EndList/
refuse|$a SHOOTER_GL_ENTRY(const GLubyte*, gl, GetString, (GLenum name), (name), driver, both, kNone)
TABLE
[ "$failures" -eq 0 ]
