#!/bin/sh
# Pictures of the main window through a short session: the welcome dialog,
# the login, the open file and its tabs, the user dialogs, the save question
# and a refusal, for docs/screenshots. A French session: the message boxes
# say "Oui", "Non", "Annuler".
# Usage: scripts/shell_screenshots.sh [windows build dir]
export LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8
exec "$(dirname "$0")/screenshot_session.sh" "${1:-build/windows}" 'ShellScreenshots.*' \
    shell welcome login file_open operations_tab user_list user_identity password \
    save_question not_allowed
