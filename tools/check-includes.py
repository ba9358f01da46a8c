#!/usr/bin/env python3
"""The compiler launcher of the clang build: compiles as asked, then has
include-what-you-use (Debian's iwyu, the same clang) read the file and the
project's headers it includes, and fails the compile where one of them uses a
name of the C++ standard library whose header it does not include.

One standard header including another is a choice of the library at hand
(GCC 12's <functional> brings <algorithm>; MSVC's and newer libstdc++'s do
not), so it counts for nothing. A header counts where the file includes it,
where one of the project's headers that the file includes does (directly or
through another project header), or where the standard says a header it
includes must bring it (<string> brings <initializer_list>, for one).

Usage (CMAKE_CXX_COMPILER_LAUNCHER): check-includes.py IWYU COMPILER ARGS...
The object file goes again when the check fails, so the next build checks
the file again.
"""
import os
import re
import subprocess
import sys

ROOT = os.path.realpath(os.path.join(os.path.dirname(__file__), ".."))

# The C library's headers, by the name C++ gives them.
C_HEADERS = {
    "assert.h": "cassert", "ctype.h": "cctype", "errno.h": "cerrno", "float.h": "cfloat",
    "inttypes.h": "cinttypes", "limits.h": "climits", "locale.h": "clocale", "math.h": "cmath",
    "setjmp.h": "csetjmp", "signal.h": "csignal", "stdarg.h": "cstdarg", "stddef.h": "cstddef",
    "stdint.h": "cstdint", "stdio.h": "cstdio", "stdlib.h": "cstdlib", "string.h": "cstring",
    "time.h": "ctime", "uchar.h": "cuchar", "wchar.h": "cwchar", "wctype.h": "cwctype",
}
STANDARD = set(C_HEADERS.values()) | {
    "algorithm", "any", "array", "atomic", "barrier", "bit", "bitset", "charconv", "chrono", "codecvt",
    "compare", "complex", "concepts", "condition_variable", "coroutine", "deque", "exception", "execution",
    "filesystem", "format", "forward_list", "fstream", "functional", "future", "initializer_list",
    "iomanip", "ios", "iosfwd", "iostream", "istream", "iterator", "latch", "limits", "list", "locale",
    "map", "memory", "memory_resource", "mutex", "new", "numbers", "numeric", "optional", "ostream",
    "queue", "random", "ranges", "ratio", "regex", "scoped_allocator", "semaphore", "set",
    "shared_mutex", "source_location", "span", "sstream", "stack", "stdexcept", "stop_token",
    "streambuf", "string", "string_view", "syncstream", "system_error", "thread", "tuple",
    "type_traits", "typeindex", "typeinfo", "unordered_map", "unordered_set", "utility", "valarray",
    "variant", "vector", "version",
}
# What a header must include by the standard's synopsis of it (C++20).
_LISTS = ("array", "deque", "forward_list", "list", "map", "set", "unordered_map", "unordered_set",
          "vector", "string", "utility", "regex", "queue", "stack", "ranges")
BRINGS = {h: {"compare", "initializer_list"} for h in _LISTS}
for h in ("algorithm", "random", "valarray"):
    BRINGS.setdefault(h, set()).add("initializer_list")
for h in ("string_view", "optional", "memory", "chrono", "tuple", "variant", "system_error", "thread",
          "typeindex", "filesystem", "coroutine", "iterator"):
    BRINGS.setdefault(h, set()).add("compare")
BRINGS["iterator"].add("concepts")
BRINGS["ranges"].add("iterator")
BRINGS["bitset"] = {"string", "iosfwd"}
BRINGS["ios"] = {"iosfwd"}
BRINGS["iostream"] = {"ios", "streambuf", "istream", "ostream"}
# Names that come with every header of every toolchain (size_t), or that
# iwyu sees in a type a standard header spells out for the caller: the
# allocator of a container, the traits of a string, the result type of
# std::move. Nobody includes a header for these.
# The member types of an instantiated template (basic_stringbuf<>::int_type)
# likewise.
INCIDENTAL = re.compile(r"^(size_t|allocator|allocator_traits<.*|char_traits|basic_string|"
                        r"remove_reference<.*|add_const<.*|__.*|.*<>::.*)$")
# Where the standard declares C functions that the C library here declares in
# more than one header (wcslen in <string.h> as well as <wchar.h>): iwyu names
# whichever it met first.
C_HOMES = [
    (re.compile(r"^(isw\w+|tow(upper|lower|ctrans)|wctype|wctrans|wint_t)$"), "cwctype"),
    (re.compile(r"^(_?wcs\w*|wmem\w*|_?v?sn?wprintf|v?f?wprintf)$"), "cwchar"),
    (re.compile(r"^(mem(cpy|move|set|cmp|chr)|str(len|n?cmp|n?cpy|n?cat|r?chr|str|error))$"), "cstring"),
    (re.compile(r"^(s?n?printf|fprintf|puts|fputs|fflush|stdout|stderr|FILE|fopen|fclose)$"), "cstdio"),
]

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def standard_name(header):
    header = C_HEADERS.get(header, header)
    return header if header in STANDARD else None


def includes(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return [m.groups() for m in map(INCLUDE.match, f) if m]
    except OSError:
        return []


def available(path, search, seen=None):
    """The standard headers that count for a file (see above)."""
    seen = set() if seen is None else seen
    if path in seen:
        return set()
    seen.add(path)
    found = set()
    for kind, name in includes(path):
        std = standard_name(name) if kind == "<" else None
        if std:
            found.add(std)
            continue
        for folder in [os.path.dirname(path)] + search if kind == '"' else search:
            candidate = os.path.realpath(os.path.join(folder, name))
            if os.path.isfile(candidate):
                if ours(candidate):
                    found |= available(candidate, search, seen)
                break
    queue = list(found)
    while queue:
        for brought in BRINGS.get(queue.pop(), ()):
            if brought not in found:
                found.add(brought)
                queue.append(brought)
    return found


def code(path):
    """The file without its comments and the contents of its literals."""
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            source = f.read()
    except OSError:
        return ""
    return re.sub(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', " ", source, flags=re.S)


def ours(path):
    path = os.path.realpath(path)
    return path.startswith(ROOT + os.sep) and not path.startswith(os.path.join(ROOT, "build") + os.sep)


def missing(report, search):
    """What iwyu says to add that no header counted for brings: {(file, header): names}."""
    out = {}
    for block in re.finditer(r"^(.+) should add these lines:\n((?:.+\n)*)", report, re.M):
        path = block.group(1)
        if not ours(path):
            continue
        have = available(os.path.realpath(path), search)
        for line in block.group(2).splitlines():
            m = re.match(r"#include <([^>]+)>\s*(?://\s*for (.*))?", line)
            std = m and standard_name(m.group(1))
            if not std or std in have:
                continue
            for name in (n.strip() for n in (m.group(2) or "").split(",")):
                if not name or INCIDENTAL.match(name):
                    continue
                # A name counts where the file writes it: a string made from
                # a pointer calls wcslen inside the library, the copy of a
                # vector std::copy.
                if not re.search(r"\b" + re.escape(name.split("<")[0]) + r"\b", code(path)):
                    continue
                home = next((h for pattern, h in C_HOMES if pattern.match(name)), std)
                if home not in have:
                    out.setdefault((os.path.relpath(os.path.realpath(path), ROOT), home), []).append(name)
    return out


def main(argv):
    iwyu_program, compiler = argv[1], argv[2:]
    result = subprocess.run(compiler)
    if result.returncode != 0:
        return result.returncode
    try:
        source = compiler[compiler.index("-c") + 1]
    except (ValueError, IndexError):
        return 0
    if not ours(source):
        return 0

    # The compile's own flags, less what makes files.
    args, output, skip = [], None, False
    for i, a in enumerate(compiler[1:], start=1):
        if skip:
            skip = False
            continue
        if a in ("-o", "-MT", "-MF", "-MQ"):
            skip = True
            if a == "-o":
                output = compiler[i + 1]
            continue
        if a in ("-c", "-MD", "-MMD", source):
            continue
        args.append(a)
    search = [a[2:] for a in args if a.startswith("-I") and len(a) > 2]
    iwyu = [iwyu_program, *args, "-w", "-Xiwyu", "--no_fwd_decls", "-Xiwyu", "--max_line_length=1000",
            "-Xiwyu", "--check_also=" + ROOT + "/*", source]
    try:
        run = subprocess.run(iwyu, capture_output=True, text=True, errors="replace")
    except OSError as e:
        print(f"check-includes.py: cannot run {iwyu_program}: {e} (install the package iwyu: tools/deps.sh --checks)",
              file=sys.stderr)
        return 1
    report = run.stdout + run.stderr
    if "should add these lines:" not in report and "has correct #includes" not in report:
        print(f"check-includes.py: {iwyu_program} did not check {source}:\n{report}", file=sys.stderr)
        return 1

    faults = missing(report, search)
    if not faults:
        return 0
    for (path, header), names in sorted(faults.items()):
        print(f"{path}: error: add #include <{header}> to its includes (for {', '.join(names)}): "
              f"here it arrives only by way of another library header, which another compiler's "
              f"library need not include", file=sys.stderr)
    if output:
        try:
            os.remove(output)
        except OSError:
            pass
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
