#!/bin/sh
# Builds the release package dist/hidewell-VERSION-win64.zip: the program, the
# guide for users (docs/user-guide.txt as README.txt) and the licence, the two
# texts with Windows line ends for Notepad; and beside it
# hidewell-VERSION-win64.zip.sha256, which `sha256sum -c` reads in the folder
# that holds both. VERSION is the project's, from project() in CMakeLists.txt,
# as CMake has it. Reproducible: the same commit gives the same bytes (no time
# stamps but the commit's own, files in a fixed order). The package is checked
# by tools/check-package.sh before this ends.
#
# Usage: tools/package.sh [--exe FILE] [--out FOLDER]
#   --exe FILE     package this Hidewell.exe (its build folder's version)
#                  instead of building the release; the tests use it.
#   --out FOLDER   write the zip and its checksum there instead of dist/.
set -e
cd "$(dirname "$0")/.."
exe=""
out=dist
while [ $# -gt 0 ]; do
    case "$1" in
    --exe) exe="$2"; shift 2 ;;
    --out) out="$2"; shift 2 ;;
    *) echo "usage: tools/package.sh [--exe FILE] [--out FOLDER]" >&2; exit 2 ;;
    esac
done
if [ -z "$exe" ]; then
    tools/deps.sh
    rm -rf build/release
    cmake --preset release >/dev/null
    cmake --build --preset release --target Hidewell
    exe=build/release/Hidewell.exe
fi
cache="$(dirname "$exe")/CMakeCache.txt"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$cache" 2>/dev/null)
[ -n "$version" ] || { echo "package.sh: no project version in $cache" >&2; exit 1; }
name="hidewell-$version-win64"

epoch="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}"
mkdir -p "$out"
out=$(cd "$out" && pwd)
work="$out/$name.stage"
stage="$work/$name"
rm -rf "$work"
mkdir -p "$stage"
cp "$exe" "$stage/Hidewell.exe"
# CR LF whatever the checkout's line ends are; the guide gets its version.
crlf() { sed -e 's/\r$//' -e 's/$/\r/' "$@"; }
crlf -e "s/@VERSION@/$version/g" docs/user-guide.txt >"$stage/README.txt"
crlf LICENSE >"$stage/LICENSE"
chmod 644 "$stage"/*
TZ=UTC touch -d "@$epoch" "$stage" "$stage"/*
zip="$out/$name.zip"
rm -f "$zip" "$zip.sha256"
# zip -X leaves out the extra fields (owner, access and change times).
(cd "$work" &&
    TZ=UTC zip -q -X -D "$zip" "$name/Hidewell.exe" "$name/README.txt" "$name/LICENSE")
rm -rf "$work"
# The name alone, so that the check works in whatever folder both are saved.
(cd "$out" && sha256sum "$name.zip" >"$name.zip.sha256")
tools/check-package.sh "$zip"
cat "$zip.sha256"
