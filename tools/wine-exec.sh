#!/bin/sh
# Runs a Windows program under Wine in the given prefix; ctest's emulator.
# Usage: tools/wine-exec.sh PREFIX PROGRAM [ARGS...]
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
    [ -n "$cpu" ] && exec taskset -c "$cpu" wine "$@"
fi
exec wine "$@"
