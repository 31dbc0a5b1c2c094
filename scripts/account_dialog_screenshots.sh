#!/bin/sh
# Pictures of the three pages of the account dialog, of the account deletion
# question and of "Nouvelle banque", for docs/screenshots.
# Usage: scripts/account_dialog_screenshots.sh [windows build dir]
exec "$(dirname "$0")/screenshot_session.sh" "${1:-build/windows}" 'AccountDialogScreenshots.*' \
    account_dialog general personal bank delete new_bank
