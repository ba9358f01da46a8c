#!/bin/sh
# Checks a release package as its user meets it: the zip holds exactly
# Hidewell.exe, README.txt and LICENSE in one folder; the checksum file
# beside it verifies with `sha256sum -c` from that folder; the two texts are
# plain ASCII with Windows line ends, which every Notepad shows as lines; and
# the guide reads as plain text (no Markdown marks, lines that fit the
# window) and points at nothing the zip lacks (no web address, no picture,
# no other file). Names every fault it finds, and fails when there is one.
# Usage: tools/check-package.sh DIST/hidewell-VERSION-win64.zip
set -e
zip="$1"
[ -f "$zip" ] || { echo "usage: tools/check-package.sh ZIP" >&2; exit 2; }
dir=$(dirname "$zip")
file=$(basename "$zip")
name=${file%.zip}
faults=0
fault() {
    echo "check-package.sh: $*" >&2
    faults=$((faults + 1))
}

# The checksum: one line, "<64 hex digits>  <name>.zip", no folder in it.
if ! grep -qx "[0-9a-f]\{64\}  $file" "$zip.sha256" 2>/dev/null || [ "$(wc -l <"$zip.sha256")" -ne 1 ]; then
    fault "$zip.sha256 is missing or is not one line of a checksum and \"$file\""
elif ! (cd "$dir" && sha256sum -c --status "$file.sha256"); then
    fault "$zip.sha256 does not verify with sha256sum -c"
fi

expected=$(printf '%s\n' "$name/Hidewell.exe" "$name/README.txt" "$name/LICENSE")
listed=$(unzip -Z1 "$zip")
[ "$listed" = "$expected" ] || fault "the zip holds" $listed "instead of" $expected
[ "$(unzip -p "$zip" "$name/Hidewell.exe" | head -c 2)" = MZ ] || fault "Hidewell.exe is not a Windows program"

# Text as every Notepad since Windows 95 shows it: ASCII, CR LF after every
# line (the last one too), no tab. Width and marks for the guide alone.
text() {
    unzip -p "$zip" "$name/$1" | LC_ALL=C awk -v name="$1" -v guide="$2" '
        function fault(what) { print "check-package.sh: " name " line " NR ": " what; bad = 1 }
        {
            if (sub(/\r$/, "") == 0) fault("does not end in CR LF")
            if ($0 ~ /\r/) fault("has a CR inside it")
            if ($0 ~ /[^ -~]/) fault("has a character that is not printable ASCII (a tab, or beyond ASCII)")
            if (!guide) next
            if (length($0) > 76) fault("is " length($0) " characters wide (76 at most, to fit Notepad)")
            if ($0 ~ /^ *#|```|`|\*\*|\]\(|!\[/) fault("has a Markdown mark: " $0)
            if ($0 ~ /[A-Za-z]+:\/\/|www\.|mailto:/) fault("has a web address, which the zip cannot hold: " $0)
            if ($0 ~ /@[A-Z]+@/) fault("has a placeholder that packaging did not fill: " $0)
            line = $0
            while (match(line, /[A-Za-z0-9_~.-]+\.(txt|exe|md|png|jpe?g|gif|svg|html?|pdf|chm|rtf|docx?)/)) {
                named = substr(line, RSTART, RLENGTH)
                line = substr(line, RSTART + RLENGTH)
                if (named != "README.txt" && named != "Hidewell.exe")
                    fault("names " named ", which the zip does not hold")
            }
        }
        END { if (NR == 0) fault("is empty"); exit bad }' >&2 || faults=$((faults + 1))
    [ "$(unzip -p "$zip" "$name/$1" | tail -c 2 | od -An -tx1 | tr -d ' ')" = 0d0a ] ||
        fault "$1 does not end in CR LF"
}
text README.txt 1
text LICENSE 0
unzip -p "$zip" "$name/LICENSE" | grep -q "^MIT License" || fault "LICENSE does not hold the licence"

[ "$faults" -eq 0 ] || { echo "check-package.sh: $zip: $faults fault(s)" >&2; exit 1; }
echo "check-package.sh: $zip: the program, the guide and the licence, as a user gets them"
