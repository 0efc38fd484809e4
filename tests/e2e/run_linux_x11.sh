#!/bin/bash
# Runs a program on the X server that SHOOTER_E2E_DISPLAY names (see
# e2e_linux_lib.sh); exits 77 (skip) when that server is not there.
. "$(dirname "$0")/e2e_linux_lib.sh"
trap - EXIT
e2e_use_display
exec "$@"
