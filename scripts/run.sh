#!/usr/bin/env bash
# Installs what is needed, builds, and runs the tool's main job under Wine.
#   With a display (DISPLAY set) and the program built: starts TavlinSkelda.exe.
#   Otherwise, or with --console: one collection with every category through the console host
#   SkeldaCollect.exe, then says where the archive is and what it holds.
# Wine's own wevtutil, systeminfo and WMIC are stubs and it has no PowerShell, so the run uses a
# Wine prefix of its own with the project's test doubles of those tools and sample log folders
# (CBS, setupapi, update log); on Windows the real tools answer.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${SKELDA_BUILD_DIR:-$top/build}
"$top/scripts/setup-debian.sh"

# The shipped 32-bit build where this machine can run 32-bit programs, else the 64-bit one.
probe=$("$top/scripts/win32-gate.sh" --probe "$build/run-win32-probe.txt" >/dev/null; cat "$build/run-win32-probe.txt")
if [ "$probe" = yes ]; then
  arch=x86 dist=$build/dist
  echo "running the 32-bit build ($dist) in a 64-bit Wine prefix"
else
  arch=x64 dist=$build/dist-x64
  echo "running the 64-bit build ($dist): ${probe#no: }"
fi
SKELDA_ARCHS=$arch "$top/scripts/build.sh"

prefix=$build/wine/demo-$arch
if [ ! -f "$prefix/drive_c/skelda-doubles/.ready" ]; then
  echo "making the Wine prefix $prefix (with test doubles of the Windows tools Wine lacks)"
  "$top/scripts/make-prefix.sh" "$prefix" win64 "$build/$arch" >/dev/null
  bash "$top/tests/fixtures/make-fixtures.sh" "$prefix" --no-empty-cbs-folder >/dev/null
  touch "$prefix/drive_c/skelda-doubles/.ready"
fi
. "$top/scripts/wine-env.sh" "$prefix"

if [ "${1:-}" != "--console" ] && [ -n "${DISPLAY:-}" ] && [ -f "$dist/TavlinSkelda.exe" ]; then
  # Closing the main window removes the program's own files, so it runs from a copy.
  copy=$prefix/drive_c/Skelda
  rm -rf "$copy" && cp -r "$dist" "$copy"
  echo "starting C:\\Skelda\\TavlinSkelda.exe (a copy of $dist)"
  exec env "${SKELDA_LOCALE_ENV[@]}" "$SKELDA_WINE_LOADER" 'C:\Skelda\TavlinSkelda.exe'
fi

out=$build/demo-output
rm -rf "$out" && mkdir -p "$out"
archive="Z:${out//\//\\}\\信息收集.7z"
set +e
skelda_wine "$dist/SkeldaCollect.exe" "$archive"
rc=$?
set -e
wineserver -w
if [ $rc -ne 0 ]; then
  echo "the collection failed (exit code $rc)"
  exit $rc
fi
echo
echo "archive: $out/信息收集.7z ($(stat -c %s "$out/信息收集.7z") bytes)"
listing=$(7zz l -slt "$out/信息收集.7z")
echo "top-level folders:"
grep '^Path = ' <<<"$listing" | tail -n +2 | sed 's/^Path = //' | cut -d/ -f1 | sort -u | sed 's/^/  /'
echo "files: $(grep -c '^Attributes = A' <<<"$listing"), folders: $(grep -c '^Attributes = D' <<<"$listing")"
