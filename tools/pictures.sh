#!/bin/sh
# Pictures of every window and the main message boxes, for the README:
# Hidewell runs under Wine on a virtual X display (Xvfb) with window frames
# drawn, at 96 DPI, then the windows again at 144 and at 192 DPI
# (NAME-144dpi.png, NAME-192dpi.png) and under a high-contrast black theme
# (NAME-highcontrast.png).
# Usage: tools/pictures.sh [FOLDER]   writes FOLDER/*.png, docs/ by default
# PICTURES_DISPLAY=:N picks the X display number for Xvfb.
set -e
out=$(realpath -m "${1:-$(dirname "$0")/../docs}")
cd "$(dirname "$0")/.."
tools/deps.sh xvfb xauth imagemagick
cmake --preset cross >/dev/null
cmake --build --preset cross --target tour

display=${PICTURES_DISPLAY:-:$((90 + $$ % 9))}  # or the one given
Xvfb "$display" -screen 0 1920x1440x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
root=$PWD/build/pictures
trap 'for p in "$root"/prefix-*; do WINEPREFIX="$p" wineserver -k 2>/dev/null || true; done; kill $xvfb 2>/dev/null || true' EXIT
rm -rf "$root"
mkdir -p "$root/shots" "$out"
sleep 1

shoot() {  # shoot DPI [suffix]: a Wine prefix of their own each
    prefix="$root/prefix-$1${2:-}"
    tools/wine-prefix.sh "$prefix"
    if [ "$1" != 96 ]; then
        WINEPREFIX="$prefix" WINEDEBUG=-all wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
            /t REG_DWORD /d "$1" /f >/dev/null 2>&1
        WINEPREFIX="$prefix" wineserver -w
    fi
    if [ "${2:-}" = -highcontrast ]; then
        # Windows draws its controls without visual styles under high
        # contrast; Wine's light theme would keep its own colours.
        WINEPREFIX="$prefix" WINEDEBUG=-all wine reg add \
            'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /t REG_SZ \
            /d 0 /f >/dev/null 2>&1
        WINEPREFIX="$prefix" wineserver -w
    fi
    shift
    tools/wine-exec.sh "$prefix" build/cross/tour.exe "$(winepath_of "$root/shots")" "$@"
}
# Wine reaches the whole Unix file system as drive Z:.
winepath_of() { printf 'Z:%s' "$1" | tr '/' '\\'; }

shoot 96
shoot 144 -144dpi
shoot 192 -192dpi
shoot 96 -highcontrast
for bmp in "$root"/shots/*.bmp; do
    convert "$bmp" "$out/$(basename "$bmp" .bmp).png"
done
ls "$out"/*.png
