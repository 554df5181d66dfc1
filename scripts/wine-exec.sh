#!/usr/bin/env bash
# Runs a Windows program under Wine in a test prefix made by make-prefix.sh.
# SKELDA_PREFIX names the prefix folder; never the user's own ~/.wine.
set -euo pipefail
: "${SKELDA_PREFIX:?SKELDA_PREFIX must name a test prefix made by scripts/make-prefix.sh}"
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
. "$here/wine-env.sh" "$SKELDA_PREFIX"
skelda_wine "$@"
