#!/usr/bin/env bash
# Benchmark (not a test): full collections with the tool doubles under Wine, with the field-cost
# model of tests/field-profile.ini (the doubles take the time the real tools take on a small PC).
# Runs the collection twice in one prefix: one child at a time per worker (--pool
# per-worker, the behaviour before the pool) and with the engine's default pool. For each it prints the wall
# time, the child processes started, the workers' step times from the run's report, the floor (the
# chain no scheduling can shorten) and the engine's overhead; then the pool against the floor, and
# the shipped packer under Wine against Debian's 7zz on the same folder.
#   usage: [SKELDA_BENCH_NO_WMIC=1] [SKELDA_BENCH_PROFILE=<file>|none] scripts/bench-collect.sh [x64|x86] [win64|win32]
# After scripts/build.sh. x64 (the 64-bit build, which every machine can run) by default; x86 is
# the shipped 32-bit build. SKELDA_BENCH_PROFILE=none runs without the model (the doubles answer
# at once).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${SKELDA_BUILD_DIR:-$top/build}
arch=${1:-x64}
kind=${2:-win64}
case "$arch" in
  x86) dist=$build/dist ;;
  x64) dist=$build/dist-x64 ;;
  *) echo "usage: bench-collect.sh [x64|x86] [win64|win32]" >&2; exit 64 ;;
esac
profile=${SKELDA_BENCH_PROFILE:-$top/tests/field-profile.ini}
prefix=$build/wine/bench-$arch-$kind
"$top/scripts/make-prefix.sh" "$prefix" "$kind" "$build/$arch" >/dev/null
bash "$top/tests/fixtures/make-fixtures.sh" "$prefix" --no-empty-cbs-folder >/dev/null
. "$top/scripts/wine-env.sh" "$prefix"
# SKELDA_BENCH_NO_WMIC=1: a system without WMIC, whose alias reports come from PowerShell.
[ "${SKELDA_BENCH_NO_WMIC:-}" = 1 ] && find "$prefix/drive_c/windows" -ipath '*/wbem/wmic.exe' -delete
# Wine reports its user as the owner of every file, so the clean room and the tool log would be
# refused as the user's: name that user a trusted owner, as an administrator may (HKLM).
skelda_wine reg add 'HKLM\SOFTWARE\OrvaneSkelda' /v TrustedOwners /t REG_MULTI_SZ /d S-1-5-21-0-0-0-1000 /f \
  >/dev/null 2>&1 || { echo "bench: cannot name the trusted owner" >&2; exit 1; }

# The doubles find the model in their own folder of the prefix, never through the environment.
doubles=$prefix/drive_c/skelda-doubles
if [ "$profile" != none ]; then
  cp "$profile" "$doubles/field-profile.ini"
  trap 'rm -f "$doubles/field-profile.ini"' EXIT
  echo "field profile: $profile"
else
  echo "no field profile: the doubles answer at once"
fi

work=$build/bench-$arch
rm -rf "$work" && mkdir -p "$work"

# One full collection; $1 names it, $2 is the console host's --pool ("" leaves it out).
run() {
  local name=$1 pool=$2 dir=$work/$1
  mkdir -p "$dir/product"
  cp -r "$dist/OrvaneSkelda.dll" "$dist/SkeldaCollect.exe" "$dist/7z" "$dir/product/"
  rm -f "$doubles/field-costs.txt"
  local archive="Z:${dir//\//\\}\\信息收集.7z" start end
  start=$(date +%s.%N)
  local pool_option=()
  [ -n "$pool" ] && pool_option=(--pool "$pool")
  # Wine's process channel names every process it creates. Exit code 6: a step did not end ok;
  # the report says which.
  local rc=0
  WINEDEBUG=+process skelda_wine "$dir/product/SkeldaCollect.exe" --quiet "${pool_option[@]}" "$archive" \
    >"$dir/run.out" 2>"$dir/trace.txt" || rc=$?
  # A run that made no archive measures nothing: say why and stop.
  if [ "$rc" != 0 ] && [ "$rc" != 6 ]; then
    echo "bench: the $name run ended with exit code $rc, no archive:" >&2
    cat "$dir/run.out" >&2
    grep -v '^[0-9a-f]\{4\}:' "$dir/trace.txt" | tail -5 >&2  # the host's own error output
    exit 1
  fi
  wineserver -w
  end=$(date +%s.%N)
  [ -f "$doubles/field-costs.txt" ] && mv "$doubles/field-costs.txt" "$dir/field-costs.txt"
  # Programs by name; Wine's own services and the console hosts it adds are left out of the count.
  grep 'CreateProcessInternalW app L' "$dir/trace.txt" | sed -E 's/.*app L"([^"]*)".*/\1/' | sed 's/.*\\//' |
    grep -viE '^(conhost|services|winedevice|rpcss|plugplay|svchost|explorer|winemenubuilder)\.exe$' |
    sort | uniq -c | sort -rn >"$dir/started.txt" || true
  echo "$end - $start" | bc >"$dir/wall.txt"
  mkdir -p "$dir/tree/SystemInfoLog"
  7zz x -y -o"$dir/tree/SystemInfoLog" "$dir/信息收集.7z" >/dev/null
}

echo "running with one child at a time per worker (--pool per-worker) ..."
run per-worker per-worker
echo "running with the engine's default pool ..."
run pool ""

python3 - "$work" <<'PY'
import datetime, json, os, sys
work = sys.argv[1]
t = lambda s: datetime.datetime.strptime(s, "%Y-%m-%d %H:%M:%S.%f")

def figures(name):
    d = os.path.join(work, name)
    r = json.load(open(os.path.join(d, "tree/SystemInfoLog/collection-report.json"), encoding="utf-8"))
    started = [line.split(None, 1) for line in open(os.path.join(d, "started.txt")) if line.strip()]
    # The model's own record: which calls held a lock and how long they waited for it.
    waits = {}
    costs = os.path.join(d, "field-costs.txt")
    if os.path.exists(costs):
        for line in open(costs, encoding="utf-8"):
            locks, waited, _, command = line.rstrip("\n").split("\t", 3)
            waits.setdefault(command, []).append((locks, int(waited)))
    steps, serialised, intervals, sums = [], [], {}, {}
    for s in r["steps"]:
        locks, waited = (waits.get(s["what"]) or [("-", 0)]).pop(0) if s["what"] in waits else ("-", 0)
        own = max(s["duration_ms"] - waited, 0)  # the step's time without waiting for the lock
        steps.append(own)
        if locks != "-":
            serialised.append(own)
        begin = t(s["start"])
        intervals.setdefault(s["worker"], []).append((begin, begin + datetime.timedelta(milliseconds=s["duration_ms"])))
        sums[s["worker"]] = sums.get(s["worker"], 0) + s["duration_ms"]
    covered = {}  # per worker, the time in which at least one of its steps ran
    for w, spans in intervals.items():
        total, end = 0.0, None
        for b, e in sorted(spans):
            if end is None or b > end:
                total += (e - b).total_seconds()
                end = e
            elif e > end:
                total += (e - end).total_seconds()
                end = e
        covered[w] = total * 1000
    wall_report = (t(r["end"]) - t(r["start"])).total_seconds() * 1000
    counts = r["summary"]["counts"]
    return {
        "wall": float(open(os.path.join(d, "wall.txt")).read()) * 1000,
        "children": sum(int(n) for n, _ in started), "started": started,
        "steps": len(r["steps"]), "counts": counts, "report_wall": wall_report,
        "sums": sums, "covered": covered,
        "longest": max(steps, default=0), "serialised": sum(serialised), "serialised_n": len(serialised),
    }

def show(label, f):
    print(f"{label}: {f['wall'] / 1000:.1f} s wall, {f['children']} child processes")
    for n, program in f["started"]:
        print(f"  {int(n):5d} {program.strip()}")
    outcomes = ", ".join(f"{k} {v}" for k, v in f["counts"].items() if v)
    print(f"  report: {f['steps']} steps ({outcomes}), {f['report_wall'] / 1000:.1f} s from start to packing")
    for w in sorted(f["sums"]):
        print(f"    worker {w}: {f['sums'][w] / 1000:.1f} s of steps, a child running for {f['covered'][w] / 1000:.1f} s")
    busiest = max(f["sums"], key=f["sums"].get)
    print(f"  busiest worker: {busiest}, {f['sums'][busiest] / 1000:.1f} s of steps")
    floor = max(f["longest"], f["serialised"])
    f["floor"] = floor
    print(f"  floor: {floor / 1000:.1f} s (longest step {f['longest'] / 1000:.1f} s; {f['serialised_n']} steps the"
          f" model serialises, {f['serialised'] / 1000:.1f} s without their waits)")
    # The engine's own time: the part of the run in which the longest-occupied worker had no child.
    overhead = f["report_wall"] - max(f["covered"].values(), default=0)
    print(f"  engine overhead: {overhead / 1000:.2f} s = {100 * overhead / f['report_wall']:.1f} % of the run"
          " (goal: under 2 %)" if f["report_wall"] else "  no time")

a, b = figures("per-worker"), figures("pool")
show("one child at a time per worker", a)
show("default pool", b)
print(f"pool against the floor: {b['wall'] / 1000:.1f} s wall / {b['floor'] / 1000:.1f} s floor = "
      f"{b['wall'] / b['floor']:.2f}x (goal: at most 1.1x)" if b["floor"] else "pool against the floor: no floor")
print(f"pool against one child per worker: {b['wall'] / 1000:.1f} s vs {a['wall'] / 1000:.1f} s wall, "
      f"{b['children']} vs {a['children']} child processes (goal: no more)")
PY

# The packer alone, on the pooled run's unpacked archive, against Debian's 7zz.
tree=$work/pool/tree
rm -f "$tree/SystemInfoLog/collection-report.json" "$tree/SystemInfoLog/收集报告.txt"
packer=$( [ "$kind" = win64 ] && echo "7z/x64/7zx64.exe" || echo "7z/x86/7zx86.exe" )
switches=(-m0=BCJ -m1=LZMA:d=21 -ms -mmt)
t0=$(date +%s.%N)
skelda_wine "$work/pool/product/$packer" a -t7z "Z:${work//\//\\}\\wine.7z" "Z:${tree//\//\\}\\SystemInfoLog\\*" "${switches[@]}" >/dev/null
wineserver -w
t1=$(date +%s.%N)
7zz a -t7z "$work/native.7z" "$tree/SystemInfoLog/*" "${switches[@]}" >/dev/null
t2=$(date +%s.%N)
printf 'packer under Wine: %.2f s (%s bytes); Debian 7zz: %.2f s (%s bytes); %s files\n' \
  "$(echo "$t1 - $t0" | bc)" "$(stat -c %s "$work/wine.7z")" "$(echo "$t2 - $t1" | bc)" \
  "$(stat -c %s "$work/native.7z")" "$(find "$tree" -type f | wc -l)"
