#!/bin/sh
# Builds the release package dist/hidewell-VERSION-win64.zip: the program, the
# README and the licence. VERSION is the project's, from project() in
# CMakeLists.txt, as CMake has it. Reproducible: the same commit gives the
# same bytes (no time stamps but the commit's own, files in a fixed order).
set -e
cd "$(dirname "$0")/.."
tools/deps.sh zip
rm -rf build/release
cmake --preset release >/dev/null
cmake --build --preset release --target Hidewell
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
[ -n "$version" ] || { echo "package.sh: no project version in build/release/CMakeCache.txt" >&2; exit 1; }
name="hidewell-$version-win64"

epoch="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}"
stage=build/release/package/$name
rm -rf build/release/package
mkdir -p "$stage" dist
cp build/release/Hidewell.exe "$stage/Hidewell.exe"
cp README.md LICENSE "$stage/"
chmod 644 "$stage"/*
TZ=UTC touch -d "@$epoch" "$stage" "$stage"/*
out="$PWD/dist/$name.zip"
rm -f "$out"
# zip -X leaves out the extra fields (owner, access and change times).
(cd build/release/package &&
    TZ=UTC zip -q -X -D "$out" "$name/Hidewell.exe" "$name/README.md" "$name/LICENSE")
sha256sum "$out"
