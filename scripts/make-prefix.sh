#!/usr/bin/env bash
# Makes a throwaway Wine prefix for the tests.
#   usage: make-prefix.sh <prefix folder> win32|win64 [build folder]
# The folder is removed and made anew. A Chinese locale for it is compiled once beside it.
# When the build folder holds test doubles (tests/doubles/*.exe), they are installed into
# the prefix's system folders in place of Wine's stubs.
set -euo pipefail
"$(dirname "$0")/win32-gate.sh" --check || exit $?
prefix=${1:?usage: make-prefix.sh <prefix> win32|win64 [build]}
kind=${2:?usage: make-prefix.sh <prefix> win32|win64 [build]}
build=${3:-}
here=$(cd "$(dirname "$0")" && pwd)

root=$(dirname "$prefix")
mkdir -p "$root"
# Prefixes are made in parallel: one of them compiles the locale while the others wait.
mkdir -p "$root/locale"
(
  flock 9
  if [ ! -d "$root/locale/zh_CN.UTF-8" ]; then
    tmp=$(mktemp -d "$root/locale/.build.XXXXXX")
    if localedef -i zh_CN -f UTF-8 "$tmp/zh_CN.UTF-8" 2>/dev/null || [ -f "$tmp/zh_CN.UTF-8/LC_CTYPE" ]; then
      mv "$tmp/zh_CN.UTF-8" "$root/locale/zh_CN.UTF-8"
    fi
    rm -rf "$tmp"
  fi
) 9>"$root/locale/.lock"
[ -d "$root/locale/zh_CN.UTF-8" ] || echo "warning: no zh_CN locale; Wine runs with another ANSI code page" >&2

# Another run's Wine server for this prefix must be gone before the folder is.
if [ -d "$prefix" ]; then
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
fi
mkdir -p "$prefix/home"
case "$kind" in
  win32|win64) ;;
  *) echo "unknown prefix kind $kind" >&2; exit 2 ;;
esac
export WINEARCH=$kind
. "$here/wine-env.sh" "$prefix"
skelda_wine wineboot -i >/dev/null 2>&1
wineserver -w
# Windows 10 unless a test asks for another version itself.
skelda_wine winecfg /v win10 >/dev/null 2>&1
# The virtual display has no window manager. Wine waits up to two seconds for one to confirm
# that a managed window was hidden, on every prompt the tests close; unmanaged windows are
# shown and hidden at once.
skelda_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w
# Wine links the user's Desktop, Documents and the like to the Unix home; on Windows they are
# folders of the profile. The engine refuses to read a user's file through a link (the update
# log on the desktop), so the prefix gets real folders, as Windows has.
for link in "$prefix"/drive_c/users/*/*; do
  [ -L "$link" ] && [ -d "$link" ] && rm "$link" && mkdir "$link"
done

if [ -n "$build" ] && [ -f "$build/tests/doubles/wevtutil.exe" ]; then
  [ -x "$here/install-doubles.sh" ] && "$here/install-doubles.sh" "$prefix" "$build/tests/doubles"
fi
echo "prefix $kind ready at $prefix"
