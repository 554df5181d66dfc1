#!/usr/bin/env bash
# Installs what is needed, builds both architectures, and runs every test under Wine
# (windows under Xvfb).
# Extra arguments go to ctest, for example `scripts/test.sh -R x64.engine`.
# `scripts/test.sh --repeat N [ctest arguments]` runs all of it N times in a row (a check of the
# check: a test that depends on the machine's speed or load shows up as a run that fails) and
# says how many runs passed.
#
# Where this machine executes 32-bit programs, both builds come first and one CTest run covers
# both build trees. Where it cannot, the 32-bit build's Wine tests only skip, so its test
# programs are not built and its build is not waited for: the 64-bit build is built, its tests
# run while the 32-bit shipped folder builds beside them (at a lower priority, so the tests keep
# the cores they need), and the 32-bit build's own tests (the shipped folder's static checks,
# the skipped ones) run last.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = --repeat ]; then
  runs=${2:?usage: test.sh --repeat N [ctest arguments]}
  shift 2
  passed=0
  for run in $(seq 1 "$runs"); do
    echo "=== run $run of $runs"
    if "$top/scripts/test.sh" "$@"; then passed=$((passed + 1)); fi
  done
  echo "repeat: $passed of $runs runs passed"
  [ "$passed" = "$runs" ]
  exit
fi
build=${SKELDA_BUILD_DIR:-$top/build}
output=$build/ctest-output.txt

# run_ctest <build tree> : one CTest run under a virtual display, its output added to $output.
run_ctest() {
  (cd "$1" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j2 "${ctest_args[@]}") 2>&1 |
    tee -a "$output"
  return "${PIPESTATUS[0]}"
}
ctest_args=("$@")

t0=$(date +%s)
"$top/scripts/setup-debian.sh"
t1=$(date +%s)
mkdir -p "$build"
: >"$output"
rc=0
probe_file=$build/win32-probe.txt
"$top/scripts/win32-gate.sh" --probe "$probe_file" >/dev/null
if [ "$(head -n 1 "$probe_file")" = yes ]; then
  "$top/scripts/build.sh"
  t2=$(date +%s)
  run_ctest "$build" || rc=$?
  t3=$(date +%s)
  phases="set-up $((t1 - t0)) s, build $((t2 - t1)) s, tests $((t3 - t2)) s"
else
  SKELDA_ARCHS=x64 "$top/scripts/build.sh"
  t2=$(date +%s)
  x86_log=$build/x86-build.log
  rm -f "$x86_log.rc" "$x86_log.seconds"
  (b0=$(date +%s)
   SKELDA_ARCHS=x86 SKELDA_CTEST_FILE=none SKELDA_TARGET=skelda_shipped nice -n 10 "$top/scripts/build.sh" \
     >"$x86_log" 2>&1
   echo $? >"$x86_log.rc"
   echo $(($(date +%s) - b0)) >"$x86_log.seconds") &
  x86_build=$!
  run_ctest "$build/x64" || rc=$?
  t3=$(date +%s)
  wait "$x86_build" || true
  t4=$(date +%s)
  if [ "$(cat "$x86_log.rc" 2>/dev/null)" != 0 ]; then
    tail -n 40 "$x86_log"
    echo "the 32-bit build failed (whole log: $x86_log)"
    rc=1
  else
    run_ctest "$build/x86" || rc=$?
  fi
  t5=$(date +%s)
  {
    echo "# Written by scripts/test.sh: the tests of every architecture built here."
    echo 'subdirs("x64")'
    echo 'subdirs("x86")'
  } >"$build/CTestTestfile.cmake"
  phases="set-up $((t1 - t0)) s, build of x64 $((t2 - t1)) s, x64 tests $((t3 - t2)) s (the x86 shipped folder beside them:"
  phases+=" $(cat "$x86_log.seconds" 2>/dev/null || echo ?) s), x86 tests $((t5 - t4)) s; $((t5 - t0)) s in all"
fi

# One line on what was skipped and why (the 32-bit build's Wine tests on a machine that cannot
# execute 32-bit programs).
skipped=$(grep -c '\*\*\*Skipped' "$output" || true)
if [ "$skipped" -gt 0 ]; then
  reason=$(sed -n 's/^no: //p' "$build/x86/win32-probe.txt" 2>/dev/null)
  echo "skipped: $skipped test(s) of the 32-bit build under Wine: ${reason:-see the test output}"
fi
echo "phases: $phases"
# The five slowest tests of this run, from CTest's result lines.
echo "slowest:"
sed -nE 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) \.+.* ([0-9.]+) sec$/\2 \1/p' "$output" | sort -rn | head -5 |
  while read -r seconds name; do echo "  $seconds s  $name"; done
# Each CTest run ends with one summary line; the counts add up over them.
total=0 failed=0
while read -r line; do
  failed=$((failed + $(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")))
  total=$((total + $(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")))
done < <(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$output")
[ "$total" -gt 0 ] && echo "tests: $((total - failed - skipped)) passed, $failed failed, $skipped skipped"
exit "$rc"
