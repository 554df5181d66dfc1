#!/usr/bin/env bash
# Installs the test doubles of wevtutil, WMIC, powershell and systeminfo into a Wine test prefix,
# in place of Wine's stubs, and creates C:\skelda-doubles for their call record.
#   usage: install-doubles.sh <prefix folder> <doubles folder>
# Each double goes where the tool lives on Windows, in system32 and (64-bit prefix) syswow64,
# which a 32-bit process sees as its system folder:
#   wevtutil.exe, systeminfo.exe  <system>\
#   wmic.exe                      <system>\wbem\          (the name Wine uses on disk)
#   powershell.exe                <system>\WindowsPowerShell\v1.0\
# All of these folders are on the prefix's PATH. Wine's default load order for these names is
# builtin first: a replaced file alone is not reliably what runs (a 32-bit prefix keeps starting
# the builtin stub), so the prefix also gets a DllOverrides entry "native" for each name.
set -euo pipefail
prefix=${1:?usage: install-doubles.sh <prefix> <doubles folder>}
doubles=${2:?usage: install-doubles.sh <prefix> <doubles folder>}
windows="$prefix/drive_c/windows"
[ -d "$windows/system32" ] || { echo "install-doubles: no Wine prefix at $prefix" >&2; exit 2; }

# source file in the doubles folder : target below the system folder
placements=(
  "wevtutil.exe:wevtutil.exe"
  "systeminfo.exe:systeminfo.exe"
  "WMIC.exe:wbem/wmic.exe"
  "powershell.exe:WindowsPowerShell/v1.0/powershell.exe"
)

# The doubles are built for one architecture. 32-bit ones go into both system folders (a 64-bit
# cmd in system32 starts them through WOW64); 64-bit ones only into system32, since only a
# 32-bit process looks into syswow64.
pe_machine() {  # the machine field of a PE image: 014c i386, 8664 x86-64
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' '
}
systems=("$windows/system32")
[ "$(pe_machine "$doubles/wevtutil.exe")" = 014c ] && systems+=("$windows/syswow64")

for system in "${systems[@]}"; do
  [ -d "$system" ] || continue
  for placement in "${placements[@]}"; do
    source="$doubles/${placement%%:*}"
    target="$system/${placement#*:}"
    [ -f "$source" ] || { echo "install-doubles: missing $source" >&2; exit 1; }
    mkdir -p "$(dirname "$target")"
    # Whatever case Wine gave the stub, the double takes its place under the same name.
    existing=$(find "$(dirname "$target")" -maxdepth 1 -iname "$(basename "$target")" -print -quit)
    [ -n "$existing" ] && rm -f "$existing" && target=$existing
    cp "$source" "$target"
  done
done
mkdir -p "$prefix/drive_c/skelda-doubles"

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
. "$here/wine-env.sh" "$prefix"
reg="$prefix/drive_c/skelda-doubles/overrides.reg"
{
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]\r\n'
  for name in wevtutil.exe systeminfo.exe wmic.exe powershell.exe; do
    printf '"%s"="native"\r\n' "$name"
  done
} >"$reg"
skelda_wine regedit /S 'C:\skelda-doubles\overrides.reg' >/dev/null 2>&1
rm -f "$reg"
wineserver -w
echo "test doubles installed into $prefix"
