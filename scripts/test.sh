#!/usr/bin/env bash
# Installs what is needed, builds both architectures, and runs every test under Wine
# (windows under Xvfb) with one CTest run over both build trees.
# Extra arguments go to ctest, for example `scripts/test.sh -R x64.engine`.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${SKELDA_BUILD_DIR:-$top/build}

t0=$(date +%s)
"$top/scripts/setup-debian.sh"
t1=$(date +%s)
"$top/scripts/build.sh"
t2=$(date +%s)
cd "$build"
set +e
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j2 "$@" 2>&1 | tee "$build/ctest-output.txt"
rc=${PIPESTATUS[0]}
set -e
t3=$(date +%s)

# One line on what was skipped and why (the 32-bit build's Wine tests on a machine that cannot
# execute 32-bit programs).
skipped=$(grep -c '\*\*\*Skipped' "$build/ctest-output.txt" || true)
if [ "$skipped" -gt 0 ]; then
  reason=$(sed -n 's/^no: //p' "$build/x86/win32-probe.txt" 2>/dev/null)
  echo "skipped: $skipped test(s) of the 32-bit build under Wine: ${reason:-see the test output}"
fi
echo "phases: set-up $((t1 - t0)) s, build $((t2 - t1)) s, tests $((t3 - t2)) s"
summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$build/ctest-output.txt" | tail -n 1)
if [ -n "$summary" ]; then
  failed=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$summary")
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
  echo "tests: $((total - failed - skipped)) passed, $failed failed, $skipped skipped"
fi
exit "$rc"
