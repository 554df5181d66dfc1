#!/usr/bin/env bash
# Benchmark (not a test): one full collection with the tool doubles under Wine.
# Reports the wall time of the run, the number of child processes it started, the workers'
# step times and the engine's overhead from the run's report, and the time of
# the shipped packer under Wine against Debian's 7zz on the same folder with the same switches.
#   usage: [SKELDA_BENCH_NO_WMIC=1] scripts/bench-collect.sh [x86|x64] [win64|win32]   (after scripts/build.sh)
# x86 (the shipped 32-bit build) by default; x64 runs the 64-bit build, in a 64-bit prefix only.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${SKELDA_BUILD_DIR:-$top/build}
arch=${1:-x86}
kind=${2:-win64}
case "$arch" in
  x86) dist=$build/dist ;;
  x64) dist=$build/dist-x64 ;;
  *) echo "usage: bench-collect.sh [x86|x64] [win64|win32]" >&2; exit 64 ;;
esac
prefix=$build/wine/bench-$arch-$kind
"$top/scripts/make-prefix.sh" "$prefix" "$kind" "$build/$arch" >/dev/null
bash "$top/tests/fixtures/make-fixtures.sh" "$prefix" --no-empty-cbs-folder >/dev/null
. "$top/scripts/wine-env.sh" "$prefix"
# SKELDA_BENCH_NO_WMIC=1: a system without WMIC, whose alias reports come from PowerShell.
[ "${SKELDA_BENCH_NO_WMIC:-}" = 1 ] && find "$prefix/drive_c/windows" -ipath '*/wbem/wmic.exe' -delete

work=$build/bench-$arch
rm -rf "$work" && mkdir -p "$work/product"
cp -r "$dist/OrvaneSkelda.dll" "$dist/SkeldaCollect.exe" "$dist/7z" "$work/product/"
archive="Z:${work//\//\\}\\信息收集.7z"

# Wine's process channel names every process it creates.
start=$(date +%s.%N)
WINEDEBUG=+process skelda_wine "$work/product/SkeldaCollect.exe" "$archive" >"$work/run.out" 2>"$work/trace.txt"
wineserver -w
end=$(date +%s.%N)
# Programs by name; Wine's own services and the console hosts it adds are left out of the count.
started=$(grep 'CreateProcessInternalW app L' "$work/trace.txt" | sed -E 's/.*app L"([^"]*)".*/\1/' | sed 's/.*\\//' |
  grep -viE '^(conhost|services|winedevice|rpcss|plugplay|svchost|explorer|winemenubuilder)\.exe$' | sort | uniq -c | sort -rn)
children=$(awk '{n += $1} END {print n + 0}' <<<"$started")
printf 'full run (%s): %.1f s wall, %d child processes:\n' "$kind" "$(echo "$end - $start" | bc)" "$children"
sed 's/^/  /' <<<"$started"

# From the run's own report: its wall time, each worker's sum of step times (the longest is the
# critical path) and the engine's overhead beyond it.
mkdir -p "$work/tree/SystemInfoLog"
7zz x -y -o"$work/tree/SystemInfoLog" "$work/信息收集.7z" >/dev/null
python3 - "$work/tree/SystemInfoLog/collection-report.json" <<'PY'
import datetime, json, sys
r = json.load(open(sys.argv[1], encoding="utf-8"))
t = lambda s: datetime.datetime.strptime(s, "%Y-%m-%d %H:%M:%S.%f")
wall = (t(r["end"]) - t(r["start"])).total_seconds() * 1000
sums = {}
for s in r["steps"]:
    sums[s["worker"]] = sums.get(s["worker"], 0) + s["duration_ms"]
longest = max(sums.values()) if sums else 0
print(f"report: {len(r['steps'])} steps, {wall / 1000:.1f} s from start to packing")
for w in sorted(sums):
    print(f"  worker {w}: {sums[w] / 1000:.1f} s of steps")
print(f"  engine overhead: {(wall - longest) / 1000:.2f} s = {100 * (wall - longest) / wall:.1f} % of the run"
      f" (goal: under 2 %)" if wall else "  no time")
PY
rm -f "$work/tree/SystemInfoLog/collection-report.json" "$work/tree/SystemInfoLog/收集报告.txt"

# The packer alone, on the unpacked archive, against Debian's 7zz.
packer=$( [ "$kind" = win64 ] && echo "7z/x64/7zx64.exe" || echo "7z/x86/7zx86.exe" )
switches=(-m0=BCJ -m1=LZMA:d=21 -ms -mmt)
t0=$(date +%s.%N)
skelda_wine "$work/product/$packer" a -t7z "Z:${work//\//\\}\\wine.7z" "Z:${work//\//\\}\\tree\\SystemInfoLog\\*" "${switches[@]}" >/dev/null
wineserver -w
t1=$(date +%s.%N)
7zz a -t7z "$work/native.7z" "$work/tree/SystemInfoLog/*" "${switches[@]}" >/dev/null
t2=$(date +%s.%N)
printf 'packer under Wine: %.2f s (%s bytes); Debian 7zz: %.2f s (%s bytes); %s files\n' \
  "$(echo "$t1 - $t0" | bc)" "$(stat -c %s "$work/wine.7z")" "$(echo "$t2 - $t1" | bc)" \
  "$(stat -c %s "$work/native.7z")" "$(find "$work/tree" -type f | wc -l)"
