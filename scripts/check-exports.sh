#!/usr/bin/env bash
# A shipped DLL exports exactly the given names, undecorated, and imports nothing but
# Windows' known libraries (any other is delay-imported).
#   usage: check-exports.sh <dll file name in dist> <export>...
set -euo pipefail
dll="$SKELDA_DIST/${1:?usage: check-exports.sh <dll> <export>...}"
shift
[ -f "$dll" ] || { echo "missing: $dll"; exit 1; }
dump=$(x86_64-w64-mingw32-objdump -p "$dll")  # reads 32- and 64-bit images alike
exports=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort)
expected=$(printf '%s\n' "$@" | sort)
if [ "$exports" != "$expected" ]; then
  echo "exports differ (expected < > found):"; diff <(echo "$expected") <(echo "$exports"); exit 1
fi
imports=$(echo "$dump" | awk '/DLL Name:/{print tolower($3)}' | sort -u)
for dll_name in $imports; do
  case "$dll_name" in
    kernel32.dll|user32.dll|shell32.dll|ole32.dll|oleaut32.dll|advapi32.dll|msvcrt.dll) ;;  # known DLLs only
    *) echo "unexpected import: $dll_name"; exit 1 ;;
  esac
done
echo "exports: $(echo $exports)"
echo "imports: $(echo $imports)"
