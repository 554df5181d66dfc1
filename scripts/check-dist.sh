#!/usr/bin/env bash
# Static check of a shipped folder, without running anything:
#   - every program and library is a Windows image of the folder's architecture
#     (x86: i386, x64: x86-64) and imports nothing but Windows' known libraries;
#   - the 7-Zip consoles are where the engine looks for them, one of each architecture;
#   - the program carries its manifest (administrator rights, common controls 6) and its
#     PNG artwork as resources; both programs declare long-path awareness.
#   usage: check-dist.sh <dist folder> x86|x64
set -uo pipefail
dist=${1:?usage: check-dist.sh <dist folder> x86|x64}
arch=${2:?usage: check-dist.sh <dist folder> x86|x64}
objdump=x86_64-w64-mingw32-objdump  # reads 32- and 64-bit images alike
case "$arch" in
  x86) format=pei-i386 ;;
  x64) format=pei-x86-64 ;;
  *) echo "unknown architecture $arch"; exit 2 ;;
esac
# What the loader resolves before any of our code runs must come from the system folder
# whatever lies beside the program: the known DLLs of every supported Windows (7 to 11), whose
# own imports are known DLLs too. Any other library (gdiplus; comctl32, whose imports would be
# looked for beside the program) is delay-imported, or loaded by full path (wininet, riched20).
windows_dlls=" advapi32.dll comdlg32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll ole32.dll "
windows_dlls+="oleaut32.dll psapi.dll rpcrt4.dll setupapi.dll shell32.dll shlwapi.dll user32.dll ws2_32.dll "

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

images=(TavlinSkelda.exe SkeldaCollect.exe OrvaneSkelda.dll OrvaneMouseHook.dll OrvaneFeedbackInformation.dll)
for name in "${images[@]}"; do
  file=$dist/$name
  [ -f "$file" ] || { fail "missing $name"; continue; }
  header=$($objdump -f "$file" 2>&1)
  grep -q "file format $format" <<<"$header" || fail "$name is not $format: $(grep -o 'file format .*' <<<"$header")"
  imports=$($objdump -p "$file" | awk '/DLL Name:/{print tolower($3)}' | sort -u)
  for dll in $imports; do
    [[ "$windows_dlls" == *" $dll "* ]] || fail "$name imports $dll"
  done
  echo "$name: $format, imports $(echo $imports)"
done

# Both packers ship in both folders; which one runs depends on the Windows it lands on.
for packer in x86/7zx86.exe:pei-i386 x64/7zx64.exe:pei-x86-64; do
  file=$dist/7z/${packer%%:*}
  if [ -f "$file" ]; then
    $objdump -f "$file" | grep -q "file format ${packer#*:}" || fail "7z/${packer%%:*} is not ${packer#*:}"
  else
    fail "missing 7z/${packer%%:*}"
  fi
done

program=$dist/TavlinSkelda.exe
if [ -f "$program" ]; then
  grep -qa 'requireAdministrator' "$program" || fail "the program's manifest does not ask for administrator rights"
  grep -qa 'Microsoft.Windows.Common-Controls' "$program" || fail "the program's manifest lacks common controls 6"
  pngs=$(grep -a -o $'\x89PNG\r' "$program" | wc -l)
  [ "$pngs" -ge 60 ] || fail "the program holds $pngs PNG images, expected its artwork (60 or more)"
  echo "TavlinSkelda.exe: manifest present, $pngs PNG images"
fi
# Both programs declare long-path awareness (the engine's own file acts use \\?\ paths anyway).
for name in TavlinSkelda.exe SkeldaCollect.exe; do
  [ -f "$dist/$name" ] && { grep -qa '<longPathAware' "$dist/$name" || fail "$name's manifest does not declare long paths"; }
done

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "$dist ($arch) checked"
