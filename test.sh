#!/bin/sh
# Builds Hidewell and its tests and runs every test under Wine, headless, in a
# Wine prefix that belongs to the build. Installs what is missing first.
# Extra arguments go to ctest (for example: ./test.sh -L reliability).
set -e
cd "$(dirname "$0")"
tools/deps.sh
cmake --preset cross
cmake --build --preset cross
ctest --preset cross "$@"
