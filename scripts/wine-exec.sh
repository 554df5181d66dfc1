#!/usr/bin/env bash
# Runs a Windows program under Wine in a test prefix made by make-prefix.sh.
# SKELDA_PREFIX names the prefix folder; never the user's own ~/.wine.
# A test of the 32-bit build is skipped (exit 77) where 32-bit programs cannot run.
#
# The program's output goes through a file, not straight to our own standard output: the
# first program in a prefix starts Wine's service processes, which inherit its output handles
# and live until the prefix falls idle. Holding CTest's pipe, they would make CTest wait for
# every other test in the same prefix before it saw this one end.
set -uo pipefail
: "${SKELDA_PREFIX:?SKELDA_PREFIX must name a test prefix made by scripts/make-prefix.sh}"
here=$(cd "$(dirname "$0")" && pwd)
"$here/win32-gate.sh" --check || exit $?
# shellcheck source=wine-env.sh
. "$here/wine-env.sh" "$SKELDA_PREFIX"
out=$(mktemp "${TMPDIR:-/tmp}/wine-exec.XXXXXX")
trap 'rm -f "$out"' EXIT
skelda_wine "$@" <&0 >"$out" 2>&1 &
program=$!
tail -n +1 -f --pid=$program "$out"
wait $program
