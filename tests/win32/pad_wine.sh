#!/usr/bin/env bash
# Runs the Win32 pad tests under Wine.
#   pad_wine.sh EXE stand-in   the stand-in xinput1_4.dll beside EXE is loaded
#   pad_wine.sh EXE none       both XInput libraries are refused
# WINEPREFIX comes from the caller (CTest); the X server is
# SHOOTER_DISPLAY_LARGE (default :99). Wine's list of overrides separates
# entries with ';', which a CTest environment cannot carry: hence this script.
set -u
exe=$1
mode=$2
case $mode in
  stand-in) export WINEDLLOVERRIDES="mscoree,mshtml,winealsa.drv,winepulse.drv=;xinput1_4=n" ;;
  none) export WINEDLLOVERRIDES="mscoree,mshtml,winealsa.drv,winepulse.drv,xinput1_4,xinput9_1_0=" ;;
  *) echo "usage: pad_wine.sh EXE stand-in|none" >&2; exit 2 ;;
esac
export SHOOTER_XINPUT=$mode
export DISPLAY=${SHOOTER_DISPLAY_LARGE:-:99}
exec wine "$exe"
