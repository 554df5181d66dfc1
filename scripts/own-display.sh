#!/usr/bin/env bash
# Runs a command on an X display of its own (a new Xvfb server), for tests that move the pointer
# or inject input and so must not share the screen with other tests running at the same time.
# The Wine prefix named by SKELDA_PREFIX, if any, is shut down afterwards: its desktop process
# belongs to this display, which is gone once the command ends.
set -uo pipefail
# xvfb-run -a counts up from the given display number; a random start keeps two of these
# started at the same moment from racing for one number.
xvfb-run -a -n $((200 + RANDOM % 700)) -s "-screen 0 1280x1024x24" "$@"
rc=$?
if [ -n "${SKELDA_PREFIX:-}" ]; then
  WINEPREFIX="$SKELDA_PREFIX" wineserver -k 2>/dev/null
fi
exit $rc
