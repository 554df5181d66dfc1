#!/usr/bin/env bash
# Starts the test doubles through the prefix's default command interpreter from outside Wine
# (in a 64-bit prefix that is the 64-bit cmd, which finds them in system32, not syswow64) and
# checks that the doubles, not Wine's stubs, answer and record their calls.
set -euo pipefail
export SKELDA_PREFIX=${SKELDA_WINE_ROOT:?}/${1:-win64}
run() { "$SKELDA_SOURCE/scripts/wine-exec.sh" cmd /c "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

run wevtutil el | grep -q '^Microsoft-Windows-Kernel-PnP/Configuration' || fail "wevtutil el"
run wmic CPU LIST FULL | iconv -f UTF-16 -t UTF-8 | grep -q '^Alias=CPU' || fail "wmic"
run powershell -command Get-WmiObject -Class Win32_Fan | grep -q '^__CLASS  *: Win32_Fan' || fail "powershell"
marker="host-$$-$(date +%s%N)"
run systeminfo /S "$marker" | grep -q 'SKELDA-TEST' || fail "systeminfo"
grep -qx "systeminfo /S $marker" "$SKELDA_PREFIX/drive_c/skelda-doubles/calls.txt" || fail "call not recorded"
echo "doubles answer from the host side"
