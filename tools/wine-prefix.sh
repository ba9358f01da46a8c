#!/bin/sh
# Creates a Wine prefix that belongs to Hidewell's build, never the user's own.
# Usage: tools/wine-prefix.sh PREFIX [headless]
#   headless: use Wine's null display driver (tests), so no X display is needed.
set -e
prefix="$1"
mode="$2"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win64
# Keep Wine from offering to download Mono and Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi
[ -f "$prefix/system.reg" ] || { echo "could not create the Wine prefix $prefix" >&2; exit 1; }

# Debian's Wine does not find its own fonts (package fonts-wine) by itself.
# Windows' dialog fonts are not among them: Tahoma stands in for them.
fonts="$prefix/drive_c/windows/Fonts"
mkdir -p "$fonts"
[ -d /usr/share/wine/fonts ] && cp -n /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
settings="$prefix/hidewell-settings.reg"
{
    printf 'REGEDIT4\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    printf '"MS Sans Serif"="Tahoma"\r\n\r\n'
    if [ "$mode" = headless ]; then
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\r\n"Graphics"="null"\r\n\r\n'
    else
        # Wine draws the window frames itself, with or without a window manager.
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n\r\n'
    fi
} >"$settings"
wine regedit /S "$settings" >/dev/null 2>&1
wineserver -w
