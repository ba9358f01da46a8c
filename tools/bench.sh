#!/bin/sh
# Builds and runs the benchmark under Wine, headless (null display driver), in
# a Wine prefix of its own inside the build folder; prints the machine and the
# table. Arguments go to the benchmark (for example: --runs 21).
#
# The benchmark, its Wine server and the programs it starts share one core
# (BENCH_CPU, the last one by default; BENCH_CPU= leaves them unpinned):
# almost every window call is a round trip to the Wine server, and what one
# costs depends on whether the two happen to run on the same core, which
# otherwise changes from run to run.
set -e
cd "$(dirname "$0")/.."
tools/deps.sh
cmake --preset cross >/dev/null
cmake --build --preset cross -j2 --target bench
prefix="$PWD/build/cross/benchprefix"
[ -f "$prefix/.hidewell-ready" ] || { tools/wine-prefix.sh "$prefix" headless && touch "$prefix/.hidewell-ready"; }
cpu="${BENCH_CPU-$(($(nproc) - 1))}"
pin=""
if [ -n "$cpu" ]; then
    pin="taskset -c $cpu"
    # A server still running from an earlier run would keep its old affinity.
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
fi
echo "Machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)," \
    "$(wine --version 2>/dev/null), $(uname -sr)"
echo "Pinned to core: ${cpu:-none}; load before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
$pin tools/wine-exec.sh "$prefix" build/cross/bench.exe "$@"
