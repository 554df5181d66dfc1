#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine (run as root).
# Safe to run again: packages already present are left alone.
#
# Wine's 32-bit part (wine32:i386) is installed only where this machine can execute 32-bit
# programs: some kernels have that switched off, and there the 32-bit loader cannot start.
# (The project's scripts never go through Debian's `wine` script, which would prefer it.)
set -euo pipefail

packages=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools cmake ninja-build googletest
  wine wine64 xvfb xauth fonts-wqy-microhei xdotool locales 7zip imagemagick python3 chromium
)
command -v npm >/dev/null 2>&1 || packages+=(npm)

# A minimal static 32-bit Linux program (ELF, i386) that only exits with status 0: the kernel
# runs it exactly when it can execute 32-bit programs.
can_run_32bit() {
  local probe rc
  probe=$(mktemp)
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80\x90\x90\x90' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  rc=$?
  rm -f "$probe"
  return $rc
}

if can_run_32bit; then
  packages+=(wine32:i386)
else
  echo "setup: this machine cannot execute 32-bit programs; Wine's 32-bit part is left out" \
       "(the 32-bit build is still built and checked statically, its Wine tests are skipped)"
fi

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  # A mirror in the middle of a sync serves index files that do not match their release file,
  # and apt-get update then fails although every other index arrived. Try again after a pause;
  # if one index stays stale, go on with what arrived: the install fails clearly if a package
  # cannot be had.
  for attempt in 1 2 3; do
    apt-get update -q && break
    if [ "$attempt" = 3 ]; then
      echo "setup: some package indexes could not be refreshed; installing from the ones that arrived" >&2
    else
      sleep $((attempt * 15))
    fi
  done
  if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"; then
    # Wine's 32-bit part needs every i386 library at exactly the version of its amd64 twin; a
    # mirror whose i386 index lags cannot give that. The rest is installed, and the 32-bit
    # build's Wine tests are then skipped with the loader named as missing.
    [[ " ${missing[*]} " == *" wine32:i386 "* ]] || exit 1
    echo "setup: Wine's 32-bit part (wine32:i386) cannot be installed from this mirror now;" \
         "installing the rest (the 32-bit build's Wine tests will be skipped)" >&2
    rest=()
    for p in "${missing[@]}"; do [ "$p" = wine32:i386 ] || rest+=("$p"); done
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${rest[@]}"
  fi
fi
