#!/bin/sh
# Builds Hidewell and its tests twice, with mingw-w64 GCC (build/cross) and with
# clang and lld (build/clang), and runs the tests of both under Wine, headless,
# each build in a Wine prefix of its own. Installs what is missing first.
# Extra arguments go to both ctest runs (for example: ./test.sh -L unit).
set -e
cd "$(dirname "$0")"
tools/deps.sh
for preset in cross clang; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
done

# The two runs go side by side: each prefix has its own Wine server, registry,
# drives and desktops, and tools/wine-exec.sh puts each on a CPU of its own.
# The clang build skips the reliability suite, the long one, whose hostile
# input, faults and leaks the GCC build covers; its output follows GCC's.
log=build/clang/Testing/test.sh.log
mkdir -p build/clang/Testing
HIDEWELL_CPU_SLOT=1 ctest --preset clang -LE reliability "$@" >"$log" 2>&1 &
clang=$!
trap 'kill "$clang" 2>/dev/null' INT TERM
gcc_status=0
HIDEWELL_CPU_SLOT=0 ctest --preset cross "$@" || gcc_status=$?
clang_status=0
wait "$clang" || clang_status=$?
echo
echo "Tests of the clang build (build/clang):"
cat "$log"
[ "$gcc_status" -eq 0 ] || echo "test.sh: tests of the GCC build (build/cross) failed" >&2
[ "$clang_status" -eq 0 ] || echo "test.sh: tests of the clang build (build/clang) failed" >&2
[ "$gcc_status" -eq 0 ] && [ "$clang_status" -eq 0 ]
