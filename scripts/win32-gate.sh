#!/usr/bin/env bash
# Gate for tests that run 32-bit Windows programs under Wine.
#   win32-gate.sh --probe <file>  finds out whether this machine can run them and writes the
#                                 answer into <file>: "yes", or "no: <reason>"; exits 0 either way
#   win32-gate.sh --check         exits 0 when it can, 77 with the reason when it cannot
#   win32-gate.sh <command ...>   runs the command when it can, else exits 77 with the reason
# The answer file is named by SKELDA_WIN32_PROBE (--check and command form); without that
# variable nothing is gated. A missing answer file is probed on the spot.
# SKELDA_WIN32=no makes the probe say no, to try the skipping on a machine that could run them.
set -uo pipefail
skip_code=77

probe() {
  local out
  if [ "${SKELDA_WIN32:-}" = no ]; then
    echo "no: SKELDA_WIN32=no asks to leave the 32-bit build's Wine tests out"
  elif [ ! -e /usr/lib/wine/wine ]; then
    echo "no: Wine's 32-bit loader is not installed (wine32:i386; see scripts/setup-debian.sh)"
  elif ! out=$(/usr/lib/wine/wine --version 2>&1); then
    echo "no: this machine cannot execute 32-bit programs (Wine's 32-bit loader: ${out//$'\n'/ })"
  else
    echo yes
  fi
}

answer() {
  local file=$SKELDA_WIN32_PROBE
  if [ ! -s "$file" ]; then
    mkdir -p "$(dirname "$file")"
    probe >"$file.$$" && mv -f "$file.$$" "$file"
  fi
  head -n 1 "$file"
}

case "${1:-}" in
  --probe)
    file=${2:?usage: win32-gate.sh --probe <file>}
    mkdir -p "$(dirname "$file")"
    probe >"$file"
    echo "32-bit Windows programs under Wine: $(cat "$file")"
    exit 0 ;;
  --check|"")
    [ -n "${SKELDA_WIN32_PROBE:-}" ] || exit 0
    a=$(answer)
    [ "$a" = yes ] && exit 0
    echo "skipped: ${a#no: }"
    exit $skip_code ;;
  *)
    if [ -n "${SKELDA_WIN32_PROBE:-}" ]; then
      a=$(answer)
      if [ "$a" != yes ]; then
        echo "skipped: ${a#no: }"
        exit $skip_code
      fi
    fi
    exec "$@" ;;
esac
