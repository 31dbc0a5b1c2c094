#!/bin/sh
# Pictures of the three pages of the account dialog, of the account deletion
# question and of "Nouvelle banque", for docs/screenshots.
# Runs the UI tests' screenshot case inside Wine's virtual desktop on a
# private virtual X server and takes each picture when the case says the page
# is shown. Usage: scripts/account_dialog_screenshots.sh [windows build dir]
set -e
cd "$(dirname "$0")/.."
build=${1:-build/windows}
out=docs/screenshots
mkdir -p "$out"
shots=$(mktemp -d)
trap 'rm -rf "$shots"; [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true' EXIT

display=:$((50 + $$ % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY="$display"
export WINEPREFIX="${WINEPREFIX:-$(pwd)/$build/wineprefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
KOLVANE_SHOT_DIR="Z:$(printf '%s' "$shots" | tr / '\\')"
export KOLVANE_SHOT_DIR
WINE=$(command -v wine64 || command -v wine)

"$WINE" explorer /desktop=kolvane,800x600 "$build/ui_tests.exe" \
    --gtest_also_run_disabled_tests --gtest_filter='AccountDialogScreenshots.*' &
program=$!

for page in general personal bank delete new_bank; do
    waited=0
    while [ ! -e "$shots/ready-$page" ]; do
        sleep 0.5
        waited=$((waited + 1))
        if [ "$waited" -gt 240 ] || ! kill -0 "$program" 2>/dev/null; then
            echo "the $page page never showed" >&2
            exit 1
        fi
    done
    read -r x y width height < "$shots/ready-$page"
    sleep 1 # let the page finish painting
    import -window root -crop "$((width + 16))x$((height + 16))+$((x - 8))+$((y - 8))" +repage \
        "$out/account_dialog_$page.png"
    touch "$shots/done-$page"
    echo "$out/account_dialog_$page.png"
done
wait "$program"
