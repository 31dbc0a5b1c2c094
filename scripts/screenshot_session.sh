#!/bin/sh
# Takes pictures for docs/screenshots from a screenshot case of the UI tests.
# The case runs inside Wine's virtual desktop on a private virtual X server;
# for each picture it writes "ready-NAME" (holding "x y width height" of the
# area to keep, or nothing for the whole desktop, 800 x 600 unless
# KOLVANE_DESKTOP says otherwise) into KOLVANE_SHOT_DIR and waits for "done-NAME".
# Usage: scripts/screenshot_session.sh BUILD_DIR GTEST_FILTER PREFIX NAME...
set -e
cd "$(dirname "$0")/.."
build=$1 filter=$2 prefix=$3
shift 3
desktop=${KOLVANE_DESKTOP:-800x600}
out=docs/screenshots
mkdir -p "$out"
shots=$(mktemp -d)
trap 'rm -rf "$shots"; [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true' EXIT

display=${KOLVANE_DISPLAY:-:$((50 + $$ % 200))}
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY="$display"
export WINEPREFIX="${WINEPREFIX:-$(pwd)/$build/wineprefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
KOLVANE_SHOT_DIR="Z:$(printf '%s' "$shots" | tr / '\\')"
export KOLVANE_SHOT_DIR
WINE=$(command -v wine64 || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } || command -v wine)

"$WINE" explorer /desktop=kolvane,"$desktop" "$build/ui_tests.exe" \
    --gtest_also_run_disabled_tests --gtest_filter="$filter" &
program=$!

for shot in "$@"; do
    waited=0
    while [ ! -e "$shots/ready-$shot" ]; do
        sleep 0.5
        waited=$((waited + 1))
        if [ "$waited" -gt 240 ] || ! kill -0 "$program" 2>/dev/null; then
            echo "$shot never showed" >&2
            exit 1
        fi
    done
    sleep 1 # let the window finish painting
    area=$desktop+0+0
    if read -r x y width height < "$shots/ready-$shot" && [ -n "$height" ]; then
        area="$((width + 16))x$((height + 16))+$((x - 8))+$((y - 8))"
    fi
    import -window root -crop "$area" +repage "$out/${prefix}_$shot.png"
    touch "$shots/done-$shot"
    echo "$out/${prefix}_$shot.png"
done
wait "$program"
