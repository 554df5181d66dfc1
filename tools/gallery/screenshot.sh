#!/usr/bin/env bash
# Runs the gallery under Wine in a virtual screen and saves a screenshot.
#   usage: screenshot.sh <build folder> <output.png> [wine prefix]
# The prefix defaults to the build's test prefix (made by the test run: wine_prefix_win64).
set -euo pipefail
build=${1:?usage: screenshot.sh <build> <output.png> [prefix]}
out=${2:?usage: screenshot.sh <build> <output.png> [prefix]}
build=$(realpath "$build")
prefix=$(realpath -m "${3:-$build/wine/win64}")
here=$(cd "$(dirname "$0")" && pwd)
out=$(realpath -m "$out")
export SKELDA_PREFIX=$prefix
xvfb-run -a -s "-screen 0 1480x1000x24" bash -c '
  "$1/scripts/wine-exec.sh" "$2/tools/gallery/SkeldaGallery.exe" 12 &
  sleep 9
  import -window root "$3"
  wait
' _ "$here/../.." "$build" "$out"
echo "$out"
