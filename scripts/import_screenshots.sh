#!/bin/sh
# Pictures of a statement import (the question about another bank account,
# the preview of an OFX and of a CSV statement from examples/), for
# docs/screenshots.
# Usage: scripts/import_screenshots.sh [windows build dir]
export LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8
export KOLVANE_DESKTOP=${KOLVANE_DESKTOP:-1024x768}
exec "$(dirname "$0")/screenshot_session.sh" "${1:-build/windows}" 'ImportTest.DISABLED_Screenshots' \
    import question ofx csv
