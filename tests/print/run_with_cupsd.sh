#!/bin/sh
# Runs a command beside the private print service of cupsd.sh: CUPS_SERVER,
# CUPS_TEST_QUEUE (the cups-pdf queue, the default printer) and
# CUPS_TEST_OUT (where its PDF files land) are exported to it, and cupsreject
# and cupsaccept are on its PATH. Exits with the command's status, or 77
# (skipped) when it cannot run its own cupsd (not root).
#   run_with_cupsd.sh COMMAND [ARGUMENT...]
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/cupsd.sh"
cupsd_start
STARTED=$?
[ "$STARTED" -eq 0 ] || exit "$STARTED"
trap 'cupsd_stop' EXIT
trap 'exit 1' INT TERM HUP
"$@"
