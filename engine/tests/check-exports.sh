#!/usr/bin/env bash
# The shipped engine exports exactly its six functions by their plain names and imports
# nothing but Windows' own libraries.
set -euo pipefail
dll="$SKELDA_DIST/OrvaneSkelda.dll"
dump=$(i686-w64-mingw32-objdump -p "$dll")
exports=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort)
expected=$(printf '%s\n' GetCurSystemIsSupport InitDll RestartSystem SelectSaveSystemInfoFilePosition \
  SetWndHandle StartGetSystemInfo | sort)
if [ "$exports" != "$expected" ]; then
  echo "exports differ:"; diff <(echo "$expected") <(echo "$exports"); exit 1
fi
imports=$(echo "$dump" | awk '/DLL Name:/{print tolower($3)}' | sort -u)
for dll_name in $imports; do
  case "$dll_name" in
    kernel32.dll|user32.dll|shell32.dll|ole32.dll|advapi32.dll|msvcrt.dll) ;;
    *) echo "unexpected import: $dll_name"; exit 1 ;;
  esac
done
echo "exports: $(echo $exports)"
echo "imports: $(echo $imports)"
