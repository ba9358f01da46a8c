#!/bin/sh
# Builds the release package dist/hidewell-1.16-win64.zip: the program, the
# README and the licence. Reproducible: the same commit gives the same bytes
# (no time stamps but the commit's own, files in a fixed order).
set -e
cd "$(dirname "$0")/.."
tools/deps.sh zip
rm -rf build/release
cmake --preset release >/dev/null
cmake --build --preset release --target Hidewell

epoch="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}"
stage=build/release/package/hidewell-1.16-win64
rm -rf build/release/package
mkdir -p "$stage" dist
cp build/release/Hidewell.exe "$stage/Hidewell.exe"
cp README.md LICENSE "$stage/"
chmod 644 "$stage"/*
TZ=UTC touch -d "@$epoch" "$stage" "$stage"/*
out="$PWD/dist/hidewell-1.16-win64.zip"
rm -f "$out"
# zip -X leaves out the extra fields (owner, access and change times).
(cd build/release/package &&
    TZ=UTC zip -q -X -D "$out" hidewell-1.16-win64/Hidewell.exe hidewell-1.16-win64/README.md \
        hidewell-1.16-win64/LICENSE)
sha256sum "$out"
