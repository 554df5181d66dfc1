#!/usr/bin/env bash
# Fetches the pinned 7-Zip console builds for Windows from the npm package 7zip-bin,
# verifies their checksums and places them where the build copies them from.
#   usage: fetch-7zip.sh <output folder>
# The output folder receives x86/7zx86.exe, x64/7zx64.exe and the package's licence.
set -euo pipefail

VERSION=5.2.0
TGZ_SHA256=04f9738ee00be8be53f5d06254a9e6e4b5117b17f8b74058477d870e62764a7d
X86_SHA256=31fd52f8996986623cf52c3b4d0f7ac74a9dec63fc16c902cef673eed550c435
X64_SHA256=b0cfdeaf429f5cc53f85123dd8f5a5feb92c19d31aa34df257edf9a26be05f95

out=${1:?usage: fetch-7zip.sh <output folder>}
if [ -f "$out/x86/7zx86.exe" ] && [ -f "$out/x64/7zx64.exe" ] &&
   echo "$X86_SHA256  $out/x86/7zx86.exe" | sha256sum -c --status &&
   echo "$X64_SHA256  $out/x64/7zx64.exe" | sha256sum -c --status; then
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "7zip-bin@$VERSION" >/dev/null)
tgz="$work/7zip-bin-$VERSION.tgz"
echo "$TGZ_SHA256  $tgz" | sha256sum -c --quiet
tar -xzf "$tgz" -C "$work" package/win/ia32/7za.exe package/win/x64/7za.exe package/LICENSE.txt
echo "$X86_SHA256  $work/package/win/ia32/7za.exe" | sha256sum -c --quiet
echo "$X64_SHA256  $work/package/win/x64/7za.exe" | sha256sum -c --quiet

mkdir -p "$out/x86" "$out/x64"
cp "$work/package/win/ia32/7za.exe" "$out/x86/7zx86.exe"
cp "$work/package/win/x64/7za.exe" "$out/x64/7zx64.exe"
cp "$work/package/LICENSE.txt" "$out/LICENSE-7zip-bin.txt"
echo "7-Zip console $VERSION (7zip-bin) verified in $out"
