#!/bin/sh
# Adds the game to the desktop's application menu, pointing at this folder.
set -e
dir=$(cd "$(dirname "$0")" && pwd)
apps="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
mkdir -p "$apps"
sed "s|@DIR@|$dir|g" "$dir/shooter.desktop.in" > "$apps/shooter.desktop"
echo "Installed $apps/shooter.desktop"
