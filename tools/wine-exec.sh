#!/bin/sh
# Runs a Windows program under Wine in the given prefix; ctest's emulator.
# Usage: tools/wine-exec.sh PREFIX PROGRAM [ARGS...]
#        tools/wine-exec.sh PREFIX --start-server | --stop-server
# The first program to run in a prefix starts its Wine server and the
# processes Wine keeps beside programs (services, the desktop), which inherit
# that program's output and hold it open until the prefix goes idle: ctest
# would count the program as running all that time. So ctest runs
# --start-server first, which starts them with their output closed and keeps
# the server until --stop-server, which ctest runs last (tests/CMakeLists.txt).
prefix=$(realpath -m "$1")
shift
export WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}" WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml="
# The program and the Wine server it starts share one CPU: each window made
# takes some hundred calls into the server, and a wake-up across CPUs (in a
# virtual machine above all) made that about 1 ms a window instead of 0.07.
# The CPU follows from the prefix, so that builds in other folders spread;
# HIDEWELL_CPU_SLOT=n picks the n-th allowed CPU instead (test.sh keeps the
# tests of its two builds apart with it).
pin=""
if command -v taskset >/dev/null 2>&1; then
    key=${HIDEWELL_CPU_SLOT:-$(printf '%s' "$prefix" | cksum | cut -d' ' -f1)}
    cpu=$(awk -v key="$key" '/^Cpus_allowed_list/ {
        n = 0; split($2, parts, ",")
        for (i in parts) {
            if (split(parts[i], range, "-") == 2) { for (c = range[1]; c <= range[2]; c++) list[n++] = c }
            else list[n++] = parts[i]
        }
        if (n) print list[key % n]
    }' /proc/self/status 2>/dev/null)
    [ -n "$cpu" ] && pin="taskset -c $cpu"
fi
case "$1" in
--start-server)
    # A server left running (by a run that was stopped) goes first.
    wineserver -k 2>/dev/null
    wineserver -w
    $pin wineserver -p </dev/null >/dev/null 2>&1 || exit 1
    exec $pin wine cmd /c exit </dev/null >/dev/null 2>&1
    ;;
--stop-server)
    wineserver -k 2>/dev/null
    exec wineserver -w
    ;;
esac
exec $pin wine "$@"
