#!/bin/sh
# Runs a Windows program under Wine in the given prefix; ctest's emulator.
# Usage: tools/wine-exec.sh PREFIX PROGRAM [ARGS...]
prefix=$(realpath -m "$1")
shift
export WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}" WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
