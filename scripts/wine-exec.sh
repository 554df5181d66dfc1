#!/usr/bin/env bash
# Runs a Windows program under Wine in a test prefix made by make-prefix.sh.
# SKELDA_PREFIX names the prefix folder; never the user's own ~/.wine.
# A test of the 32-bit build is skipped (exit 77) where 32-bit programs cannot run.
set -euo pipefail
: "${SKELDA_PREFIX:?SKELDA_PREFIX must name a test prefix made by scripts/make-prefix.sh}"
here=$(cd "$(dirname "$0")" && pwd)
"$here/win32-gate.sh" --check || exit $?
# shellcheck source=wine-env.sh
. "$here/wine-env.sh" "$SKELDA_PREFIX"
skelda_wine "$@"
