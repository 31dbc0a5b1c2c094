#!/bin/sh
# Pictures of the main window through a short session: the welcome dialog,
# the login, the open file and its tabs, the user dialogs, the save question
# and a refusal, for docs/screenshots.
# Runs the UI tests' screenshot case inside Wine's virtual desktop on a
# private virtual X server and takes each picture when the case says it is
# ready. Usage: scripts/shell_screenshots.sh [windows build dir]
set -e
cd "$(dirname "$0")/.."
build=${1:-build/windows}
out=docs/screenshots
mkdir -p "$out"
shots=$(mktemp -d)
trap 'rm -rf "$shots"; [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true' EXIT

display=:$((150 + $$ % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY="$display"
export WINEPREFIX="${WINEPREFIX:-$(pwd)/$build/wineprefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A French session: the message boxes say "Oui", "Non", "Annuler".
export LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8
KOLVANE_SHOT_DIR="Z:$(printf '%s' "$shots" | tr / '\\')"
export KOLVANE_SHOT_DIR
WINE=$(command -v wine64 || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } || command -v wine)

# The main window fills the 800 x 600 desktop; every picture is the desktop.
"$WINE" explorer /desktop=kolvane,800x600 "$build/ui_tests.exe" \
    --gtest_also_run_disabled_tests --gtest_filter='ShellScreenshots.*' &
program=$!

for shot in welcome login file_open operations_tab user_list user_identity password \
    save_question not_allowed; do
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
    import -window root -crop 800x600+0+0 +repage "$out/shell_$shot.png"
    touch "$shots/done-$shot"
    echo "$out/shell_$shot.png"
done
wait "$program"
