#!/bin/sh
# Pictures of the operation entry pane, of its completion list and of the two
# ventilation dialogs, for docs/screenshots.
# Usage: scripts/entry_pane_screenshots.sh [windows build dir]
export KOLVANE_DESKTOP=1024x768 LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8
exec "$(dirname "$0")/screenshot_session.sh" "${1:-build/windows}" 'EntryPane.DISABLED_Screenshots' \
    entry pane completion ventilation_editor ventilation_consult
