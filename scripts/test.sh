#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test under Wine (windows under Xvfb).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${SKELDA_BUILD_DIR:-$top/build}
"$top/scripts/setup-debian.sh"
"$top/scripts/build.sh"
cd "$build"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j2 "$@"
