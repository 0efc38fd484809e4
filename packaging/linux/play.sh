#!/bin/sh
# Runs the game beside this launcher with every argument as given: the game
# finds its data in its own folder, and relative file names name files in the
# folder the launcher was started from.
exec "$(dirname "$0")/shooter" "$@"
