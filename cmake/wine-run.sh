#!/bin/sh
# Runs a Windows program under Wine with a private prefix inside the build
# tree; starts a virtual X server when there is no display.
set -e
: "${WINEPREFIX:=$(pwd)/wineprefix}"
case "$WINEPREFIX" in /*) ;; *) WINEPREFIX="$(pwd)/$WINEPREFIX" ;; esac
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE=$(command -v wine64 || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } || command -v wine)
if [ -z "$DISPLAY" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$WINE" "$@"
fi
exec "$WINE" "$@"
