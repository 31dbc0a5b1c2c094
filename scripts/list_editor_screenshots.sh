#!/bin/sh
# Pictures of the category, label and mode editors and of the question asked
# before a used mode is withdrawn, for docs/screenshots.
# Usage: scripts/list_editor_screenshots.sh [windows build dir]
export LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8
exec "$(dirname "$0")/screenshot_session.sh" "${1:-build/windows}" 'ListEditorsScreenshots.*' \
    editor categories labels modes mode_question
