#!/usr/bin/env bash
# Configures and builds both architectures from this source tree:
#   build/x86  32-bit build; what ships lands in build/dist
#   build/x64  64-bit build; what ships lands in build/dist-x64
# and writes build/CTestTestfile.cmake, so that one `ctest` in build/ runs the tests of both.
# SKELDA_ARCHS="x64" (or "x86") builds one of them only; SKELDA_CTEST_FILE=none leaves
# build/CTestTestfile.cmake as it is (scripts/test.sh builds the two one after the other);
# SKELDA_TARGET=skelda_shipped builds only what ships.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${SKELDA_BUILD_DIR:-$top/build}
archs=${SKELDA_ARCHS:-x64 x86}
mkdir -p "$build"
for arch in $archs; do
  case "$arch" in
    x86) toolchain=mingw-i686.cmake; dist=$build/dist ;;
    x64) toolchain=mingw-x86_64.cmake; dist=$build/dist-x64 ;;
    *) echo "unknown architecture $arch" >&2; exit 2 ;;
  esac
  echo "== building $arch into $build/$arch (ships into $dist)"
  cmake -S "$top" -B "$build/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/$toolchain" \
        -DSKELDA_DIST_DIR="$dist" >/dev/null
  cmake --build "$build/$arch" ${SKELDA_TARGET:+--target "$SKELDA_TARGET"}
done
[ "${SKELDA_CTEST_FILE:-}" = none ] && exit 0
{
  echo "# Written by scripts/build.sh: the tests of every architecture built here."
  for arch in $archs; do echo "subdirs(\"$arch\")"; done
} >"$build/CTestTestfile.cmake"
