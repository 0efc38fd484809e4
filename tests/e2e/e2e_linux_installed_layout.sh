#!/bin/bash
# The installed layout of build folder $1 (cmake --install's system component,
# as the Debian package holds it) in a scratch prefix, and its command run
# from another scratch folder by e2e_linux_installed.sh.
. "$(dirname "$0")/e2e_linux_lib.sh"
scratch=$(mktemp -d)
trap 'e2e_cleanup; rm -rf "$scratch"' EXIT
cmake --install "$1" --component system --prefix "$scratch/usr" >/dev/null ||
  e2e_fail "cmake --install failed"
mkdir "$scratch/elsewhere"
cd "$scratch/elsewhere" || e2e_fail "no folder"
bash "$(dirname "$0")/e2e_linux_installed.sh" "$scratch/usr/games/shooter"
