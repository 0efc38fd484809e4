#!/usr/bin/env bash
# scripts/check-includes against planted files: a copy of src/ with one file
# added at a time. Each line of the table: whether the check must pass, the
# planted file, and its one line.
#   check_includes_test.sh SOURCE_DIR
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
  printf '%s\n' "$line" >"$work/src/$file"
  output=$(python3 "$work/scripts/check-includes" 2>&1)
  status=$?
  rm -f "$work/src/$file"
  if [ "$verdict" = pass ] && [ "$status" -ne 0 ]; then
    echo "FAIL: src/$file with '$line' was refused: $output"
    failures=$((failures + 1))
  elif [ "$verdict" = refuse ] && { [ "$status" -ne 1 ] || ! grep -qF "src/$file:1" <<<"$output"; }; then
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
TABLE
output=$(python3 "$work/scripts/check-includes" 2>&1) ||
  { echo "FAIL: the copy of src/ itself is refused: $output"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ]
