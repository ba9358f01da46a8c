#!/bin/sh
# Builds Hidewell and starts it under Wine, in Hidewell's own Wine prefix,
# which stays between runs (the list of hidden items and the password live
# there). Installs what is missing first.
set -e
cd "$(dirname "$0")"
tools/deps.sh
cmake --preset cross >/dev/null
cmake --build --preset cross --target Hidewell

if [ -z "$DISPLAY" ]; then
    cat >&2 <<'MSG'
Hidewell is built (build/cross/Hidewell.exe), but there is no display to show
its windows on: DISPLAY is not set. Run ./run.sh from a terminal of a desktop
session, or over "ssh -X". The tests need no display: ./test.sh
MSG
    exit 2
fi

prefix="${HIDEWELL_PREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/hidewell/wineprefix}"
tools/wine-prefix.sh "$prefix"
# Installed as a user would install it: copied into a folder of its own.
folder="$prefix/drive_c/Hidewell"
mkdir -p "$folder"
cp build/cross/Hidewell.exe "$folder/Hidewell.exe"
echo "Starting Hidewell (Wine prefix: $prefix)"
cd "$folder"
exec "$OLDPWD/tools/wine-exec.sh" "$prefix" "$folder/Hidewell.exe"
