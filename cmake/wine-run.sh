#!/bin/sh
# Runs a Windows program under Wine with a private prefix inside the build
# tree; starts a virtual X server when there is no display.
set -e
: "${WINEPREFIX:=$(pwd)/wineprefix}"
case "$WINEPREFIX" in /*) ;; *) WINEPREFIX="$(pwd)/$WINEPREFIX" ;; esac
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
# Debian's Wine does not load the fonts of fonts-wine by itself; without
# them title bars lose their button glyphs (Marlett) and dialogs their Tahoma.
if [ -d "$WINEPREFIX/drive_c/windows/Fonts" ] && [ ! -e "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
    for font in /usr/share/wine/fonts/*.ttf; do
        [ -e "$font" ] && ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    done
fi
WINE=$(command -v wine64 || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } || command -v wine)
export WINESERVER; WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
if [ -z "$DISPLAY" ]; then
    # Inside a virtual X server: wait for Wine's helper processes to end
    # before the server goes, or they report its shutdown on our stderr.
    exec xvfb-run -a -e /dev/null -s "-screen 0 1024x768x24" \
        sh -c '"$0" "$@"; status=$?; "$WINESERVER" -w; exit $status' "$WINE" "$@"
fi
exec "$WINE" "$@"
