#!/usr/bin/env bash
# End-to-end collections through the console host in a Wine prefix of its own, with the test
# doubles of wevtutil, WMIC, powershell and systeminfo and fixture log folders.
#   usage: collect-e2e.sh win64|win32
# win64 runs the x64 packer (the 32-bit engine sees WOW64, the 64-bit one is native), win32 the
# x86 one. Every archive is read back with Debian's 7zz. Only the first case sees the full
# event-log listing of the wevtutil double (214 logs); the others take the short one.
set -uo pipefail
kind=${1:?usage: collect-e2e.sh win64|win32}
build=${SKELDA_BUILD:?}
source_dir=${SKELDA_SOURCE:?}
scripts=$source_dir/scripts

root=$build/e2e/$kind
prefix=$build/wine/e2e-$kind
rm -rf "$root"
mkdir -p "$root"
"$scripts/copy-prefix.sh" "${SKELDA_WINE_ROOT:?}/$kind" "$prefix" || { echo "cannot copy the test prefix"; exit 1; }
. "$scripts/wine-env.sh" "$prefix"
drive_c=$prefix/drive_c
calls=$drive_c/skelda-doubles/calls.txt
# The doubles' knobs: the engine starts its tools with the system's environment, not the host's,
# so they come from this file. doubles_knobs NAME=value... replaces every knob.
doubles_settings=$drive_c/skelda-doubles/settings.ini
doubles_knobs() {
  mkdir -p "$(dirname "$doubles_settings")"
  { printf '[Doubles]\r\n'; for knob in "$@"; do printf 'SKELDA_DOUBLES_%s\r\n' "$knob"; done; } >"$doubles_settings"
}
rm -f "$doubles_settings"
toollog=$drive_c/ProgramData/ToolLog/Skelda.txt

# The product in a folder whose path holds a blank, "&", parentheses and Chinese characters.
product="$root/产品 a&b (c)"
mkdir -p "$product/7z"
cp "$SKELDA_DIST"/OrvaneSkelda.dll "$SKELDA_DIST"/SkeldaCollect.exe "$product/"
# Only the packer this system must pick is there, so picking the other one fails the run.
case "$kind" in
  win64) cp -r "$SKELDA_DIST/7z/x64" "$product/7z/" ;;
  win32) cp -r "$SKELDA_DIST/7z/x86" "$product/7z/" ;;
esac
expected_tool=$build/tests/ExpectedArchive.exe
hold_tool=$build/tests/HoldFile.exe
decoy_tool=$build/tests/DecoyTool.exe
unprivileged_tool=$build/tests/Unprivileged.exe

failures=0
fail() { echo "FAIL [$case_name]: $*"; failures=$((failures + 1)); }
winpath() { echo "Z:${1//\//\\}"; }

# run_case <name> <categories> <archive unix path> → sets $rc and $out. The host runs with
# --quiet and the options in $host_options, unless $verbose is set, and through the launcher
# in $host_launcher (a program and its arguments before the host's Windows path) when set.
host_options=()
host_launcher=()
verbose=
run_case() {
  case_name=$1
  rm -f "$calls" "$toollog"
  local started=$(date +%s%N)
  local quiet=(--quiet)
  [ -n "$verbose" ] && quiet=()
  local host=("$product/SkeldaCollect.exe")
  [ ${#host_launcher[@]} -gt 0 ] && host=("${host_launcher[@]}" "$(winpath "$product/SkeldaCollect.exe")")
  out=$(skelda_wine "${host[@]}" "${quiet[@]}" "${host_options[@]}" --categories "$2" "$(winpath "$3")" 2>&1)
  rc=$?
  # A helper program held open for the run is told to end before everything is waited for.
  [ -n "${release_after_run:-}" ] && touch "$release_after_run"
  wineserver -w
  echo "== $case_name (categories $2): exit $rc, $(( ($(date +%s%N) - started) / 1000000 )) ms," \
       "$(cat "$calls" 2>/dev/null | wc -l) tool processes"
  # A long output (one line per step) shows its head and tail: CTest cuts long logs short.
  echo "$out" | awk -v n="$(wc -l <<<"$out")" 'NR <= 6 || NR > n - 8 { print "   " $0; next }
                                                NR == 7 { print "   ... (" n - 14 " lines)" }'
}

expect_exit() { [ "$rc" = "$1" ] || fail "exit code $rc, expected $1"; }
# The run's report inside the archive: the JSON parses, its counts add up, every entry of the
# archive belongs to one record or is the report, and the outcomes are as given
# ("timed-out=2 skipped=+": exactly 2, at least 1).
expect_report() {  # expect_report <archive> [outcome=count...]
  local unpacked="$root/report"
  rm -rf "$unpacked" && mkdir -p "$unpacked"
  7zz x -o"$unpacked" "$1" >/dev/null || { fail "cannot unpack $1"; return; }
  python3 "$source_dir/tests/e2e/check-report.py" "$unpacked" "${@:2}" || fail "the run's report is not right"
}
expect_log() {  # expect_log <text> <count>
  if grep -qF "tool log off: " <<<"$out"; then
    fail "the tool log was off: $(grep -F "tool log off: " <<<"$out")"
    return
  fi
  local n=0
  [ -f "$toollog" ] && n=$(iconv -f gbk -t utf-8 "$toollog" | grep -cF -- "$1")
  [ "$n" = "$2" ] || fail "tool log holds \"$1\" $n times, expected $2"
}
expect_working_folder_gone() {
  [ ! -e "$product/SystemInfoLog" ] || fail "the working folder is still there"
}
expect_archive_listing() {  # expect_archive_listing <archive> <categories> [entry left out]
  local actual expected
  actual=$(7zz l -slt "$1" | sed -n 's/^Path = //p' | tail -n +2 | LC_ALL=C sort)
  expected=$(skelda_wine "$expected_tool" files "$2" | tr -d '\r' | grep -vxF -- "${3:-/}" | LC_ALL=C sort)
  if [ "$actual" != "$expected" ]; then
    fail "archive entries differ (< expected, > archive):"
    diff <(echo "$expected") <(echo "$actual") | head -20
    show_toollog
  fi
}
show_toollog() {
  [ -s "$toollog" ] && { echo "   tool log:"; iconv -f gbk -t utf-8 "$toollog" | sed 's/^/     /'; }
}
expect_commands() {  # expect_commands <categories> [nowmic]
  local actual expected
  actual=$(LC_ALL=C sort "$calls" 2>/dev/null)
  expected=$(skelda_wine "$expected_tool" "commands${2:+-$2}" "$1" "$(winpath "$product")\\" | tr -d '\r' | LC_ALL=C sort)
  if [ "$actual" != "$expected" ]; then
    fail "recorded command lines differ (< expected, > recorded):"
    diff <(echo "$expected") <(echo "$actual") | head -20
    show_toollog
  fi
}

# Wine reports the user as the owner of every file, administrators' files included: the test
# bed names that user as a trusted owner of the tool log and its settings, as an administrator
# may (HKLM), so that the log is written and read here. Wine's user is S-1-5-21-0-0-0-1000.
trust_wine_user() {
  skelda_wine reg add 'HKLM\SOFTWARE\OrvaneSkelda' /v TrustedOwners /t REG_MULTI_SZ /d S-1-5-21-0-0-0-1000 /f \
    >/dev/null 2>&1 || echo "cannot name the trusted owner"
}
untrust_wine_user() {
  skelda_wine reg delete 'HKLM\SOFTWARE\OrvaneSkelda' /v TrustedOwners /f >/dev/null 2>&1
}
trust_wine_user

out_dir="$root/输出 x&y (z) 中"

# Every category, fixtures with an empty sub-folder in the CBS folder.
bash "$source_dir/tests/fixtures/make-fixtures.sh" "$prefix" >/dev/null
archive="$out_dir/信息收集.7z"
verbose=1
run_case "all categories" all "$archive"
verbose=
expect_exit 0
expect_report "$archive" ok=+ failed=0 timed-out=0 skipped=0 not-found=0
steps=$(grep -c '^\[[0-9]*/[0-9]*\] ok ' <<<"$out")
[ "$steps" = "$(python3 -c 'import json,sys; print(len(json.load(open(sys.argv[1]))["steps"]))' \
    "$root/report/collection-report.json")" ] || fail "$steps progress lines, not one per step"
grep -q '^steps: [0-9]*, ok [0-9]*$' <<<"$out" || fail "no summary line"
[ -f "$archive" ] || fail "no archive"
expect_archive_listing "$archive" all
listing=$(7zz l -slt "$archive")
grep -qx 'Path = CBS日志/Archive/Empty' <<<"$listing" || fail "the empty CBS sub-folder is not in the archive"
expect_commands all
expect_working_folder_gone
[ ! -s "$toollog" ] || fail "the tool log has entries: $(iconv -f gbk -t utf-8 "$toollog")"
echo "$out" | grep -q "archive: " || fail "the host did not say where the archive is"

doubles_knobs EVENT_LOGS=short

# Every run starts from an empty working folder: a file an earlier run left there never
# reaches an archive (the listings below hold exactly the expected entries).
mkdir -p "$product/SystemInfoLog/系统日志" && echo stale >"$product/SystemInfoLog/系统日志/earlier.evtx"

# Subsets create only their folders.
for subset in 3 2,6 7 0,1,4,5; do
  archive="$root/subset $subset/信息收集.7z"
  run_case "subset" "$subset" "$archive"
  expect_exit 0
  expect_archive_listing "$archive" "$subset"
  expect_commands "$subset"
  expect_working_folder_gone
done

# Children from a run-wide pool, or one at a time per worker: the same archive, file for file
# and byte for byte (the run's own report aside), and the same tools started.
listing_with_sizes() {
  7zz l -slt "$1" | awk '/^Path = /{p=substr($0,8)} /^Size = /{print p "\t" substr($0,8)}' | tail -n +2 |
    awk -F'\t' '$1 != "收集报告.txt" && $1 != "collection-report.json"' | LC_ALL=C sort
}
for pool in per-worker 3; do
  host_options=(--pool "$pool")
  run_case "pool $pool" all "$root/pool $pool/信息收集.7z"
  expect_exit 0
  expect_commands all
  cp "$calls" "$root/pool-$pool-calls.txt"
done
host_options=()
[ "$(listing_with_sizes "$root/pool per-worker/信息收集.7z")" = "$(listing_with_sizes "$root/pool 3/信息收集.7z")" ] ||
  { fail "a pooled run's archive differs from one at a time per worker:"
    diff <(listing_with_sizes "$root/pool per-worker/信息收集.7z") <(listing_with_sizes "$root/pool 3/信息收集.7z") |
      head -20; }

# Nothing switched on: the packer still runs and the run succeeds.
archive="$root/none/信息收集.7z"
run_case "no category" none "$archive"
expect_exit 0
expect_working_folder_gone

# Standard output into a pipe that is full before the host starts and that nobody reads, as a
# console that stalls: the run still collects, and the host gives up on its lines and ends.
case_name="standard output never read"
rm -f "$calls" "$toollog"
archive="$root/unread/信息收集.7z"
started=$(date +%s)
ended=$(python3 "$source_dir/tests/e2e/unread-pipe.py" 120 env "${SKELDA_LOCALE_ENV[@]}" "$SKELDA_WINE_LOADER" \
        "$product/SkeldaCollect.exe" --categories 3,5 "$(winpath "$archive")" 2>"$root/unread.err")
wineserver -w
echo "== $case_name (categories 3,5): $ended, $(( $(date +%s) - started )) s"
if [ "$ended" = "exit 0" ]; then
  expect_archive_listing "$archive" 3,5
  expect_report "$archive" ok=+ failed=0 timed-out=0 skipped=0 not-found=0
  expect_working_folder_gone
else
  fail "the host did not end with 0: $ended $(head -3 "$root/unread.err")"
fi

# The archive's folder cannot be made: each of the four workers reports (100, 3).
mkdir -p "$root/blocked" && echo file > "$root/blocked/afile"
run_case "archive folder blocked" all "$root/blocked/afile/sub/信息收集.7z"
expect_exit 2
[ "$(echo "$out" | grep -c 'result message 3:')" = 4 ] || fail "expected four folder-failure results"
[ "$(echo "$out" | grep -c 'result message 100:')" = 4 ] || fail "expected four end-of-run messages"
expect_log "创建保存日志目录失败" 4
expect_log "压缩包保存位置不可用: cannot make the folder" 1
[ ! -s "$calls" ] || fail "tools were started: $(head -3 "$calls")"
grep -q "nothing was collected: cannot make the folder" <<<"$out" || fail "the host did not say why in words"

# A second run to the same path holds only its own categories: the archive is made anew.
archive="$root/again/信息收集.7z"
run_case "first of two runs to one path" 7 "$archive"
expect_exit 0
run_case "second of two runs to one path" 2,6 "$archive"
expect_exit 0
expect_archive_listing "$archive" 2,6
ls "$root/again" | grep -q partial && fail "a temporary archive was left: $(ls "$root/again")"

# An archive path that names a folder is refused before anything is collected.
mkdir -p "$root/afolder.7z"
run_case "archive path is a folder" 3 "$root/afolder.7z"
expect_exit 2
[ ! -s "$calls" ] || fail "commands were run: $(head -3 "$calls")"
[ -d "$root/afolder.7z" ] && [ -z "$(ls -A "$root/afolder.7z")" ] || fail "the folder was changed"

# The working folder and the archive's folder replaced by links (Unix symbolic links, which
# Wine follows as Windows follows a junction) to a folder of marker files: the markers stay,
# nothing is packed from there, and the run fails before any tool starts.
markers="$root/markers"
make_markers() { rm -rf "$markers" && mkdir -p "$markers/sub" && echo m1 >"$markers/m1.txt" && echo m2 >"$markers/sub/m2.txt"; }
markers_intact() { [ "$(cat "$markers/m1.txt" "$markers/sub/m2.txt" 2>/dev/null | tr '\n' ' ')" = "m1 m2 " ] &&
                   [ "$(find "$markers" | wc -l)" = 4 ]; }
make_markers
rm -rf "$product/SystemInfoLog" && ln -s "$markers" "$product/SystemInfoLog"
# The control: Wine follows the link, so an elevated delete through it would reach the markers.
case_name="working folder is a link"
skelda_wine 'C:\windows\system32\cmd.exe' /c dir /b "$(winpath "$product/SystemInfoLog")" 2>/dev/null | grep -q m1.txt ||
  fail "the link is not followed: the case shows nothing"
run_case "working folder is a link" 3 "$root/linked work/信息收集.7z"
expect_exit 2
markers_intact || fail "the markers were changed: $(find "$markers")"
[ ! -s "$calls" ] || fail "tools were started: $(head -3 "$calls")"
[ ! -e "$root/linked work/信息收集.7z" ] || fail "an archive was made"
expect_log "创建临时收集目录失败" 1
grep -q "nothing was collected" <<<"$out" || fail "the host did not say why"
rm -f "$product/SystemInfoLog"

make_markers
mkdir -p "$root/linked target" && ln -s "$markers" "$root/linked target/out"
run_case "archive folder is a link" 3 "$root/linked target/out/信息收集.7z"
expect_exit 2
markers_intact || fail "something was written through the link: $(find "$markers")"
[ ! -s "$calls" ] || fail "tools were started: $(head -3 "$calls")"
expect_log "压缩包保存位置不可用: the archive's folder cannot be held: a link not made by an administrator" 1
expect_working_folder_gone

# A read-only archive folder is refused before any tool starts (root ignores Unix modes: the
# folder is made immutable instead).
mkdir -p "$root/readonly"
if chattr +i "$root/readonly" 2>/dev/null; then
  run_case "read-only archive folder" 3 "$root/readonly/信息收集.7z"
  chattr -i "$root/readonly"
  expect_exit 2
  [ ! -s "$calls" ] || fail "tools were started: $(head -3 "$calls")"
  [ -z "$(ls -A "$root/readonly")" ] || fail "something was left: $(ls -A "$root/readonly")"
  expect_working_folder_gone
else
  echo "== read-only archive folder: skipped, chattr +i is not allowed here"
fi

# A name without an extension gets ".7z", as 7-Zip would give it, and the host says so; a
# relative path is taken from the host's current folder.
run_case "target without extension" 3 "$root/noext/report"
expect_exit 0
[ -f "$root/noext/report.7z" ] && [ "$(ls "$root/noext")" = "report.7z" ] || fail "not report.7z: $(ls "$root/noext")"
grep -qF "collecting into $(winpath "$root/noext/report.7z")" <<<"$out" || fail "the host did not name report.7z"
mkdir -p "$root/relative"
pushd "$root/relative" >/dev/null
rm -f "$calls"
out=$(skelda_wine "$product/SkeldaCollect.exe" --quiet --categories 3 '相对 dir\rel' 2>&1); rc=$?
popd >/dev/null
wineserver -w
case_name="relative target"
echo "== $case_name: exit $rc"
expect_exit 0
[ -f "$root/relative/相对 dir/rel.7z" ] || fail "no archive in the current folder: $out"

# Left-overs of a run killed while packing (its packing folder, an older version's temporary
# file) go at the next run; another archive's and one newer than the run stay.
left="$root/leftovers"
mkdir -p "$left/信息收集.7z.99999.partial" && echo half >"$left/信息收集.7z.99999.partial/信息收集.7z"
echo half >"$left/信息收集.7z.88888.partial.7z"
echo other >"$left/other.7z.77777.partial.7z"
touch -d '2 hours ago' "$left/信息收集.7z.99999.partial" "$left/信息收集.7z.88888.partial.7z" "$left/other.7z.77777.partial.7z"
run_case "left-overs of a killed run" 3 "$left/信息收集.7z"
expect_exit 0
[ "$(ls "$left" | LC_ALL=C sort | tr '\n' ' ')" = "other.7z.77777.partial.7z 信息收集.7z " ] ||
  fail "left-overs not removed as expected: $(ls "$left")"

# The earlier archive held open by a viewer: the new one is kept beside it under a name of its
# own, the old one is untouched, and the run succeeds and names where the archive is.
archive="$root/held target/信息收集.7z"
run_case "archive before it is held" 3 "$archive"
expect_exit 0
before=$(md5sum <"$archive")
rm -f "$root/viewer.ready" "$root/viewer.release"
skelda_wine "$hold_tool" "$(winpath "$archive")" "$(winpath "$root/viewer.ready")" "$(winpath "$root/viewer.release")" &
viewer=$!
for _ in $(seq 1 300); do [ -e "$root/viewer.ready" ] && break; sleep 0.1; done
release_after_run="$root/viewer.release"
run_case "target held open" 3 "$archive"
release_after_run=
wait $viewer
expect_exit 0
[ "$(md5sum <"$archive")" = "$before" ] || fail "the held archive was changed"
kept=$(ls "$root/held target" | grep -v '^信息收集.7z$')
[[ "$kept" =~ ^信息收集\ \([0-9]{4}-[0-9]{2}-[0-9]{2}\ [0-9]{2}\.[0-9]{2}\.[0-9]{2}\)\.7z$ ]] ||
  fail "no archive kept beside the target: $(ls "$root/held target")"
grep -qF "archive: $(winpath "$root/held target")\\$kept" <<<"$out" || fail "the host did not name the kept archive"
expect_log "压缩包无法覆盖目标文件，已另存为" 1
[ -n "$kept" ] && expect_archive_listing "$root/held target/$kept" 3

# A program folder deep enough that the working folder's files pass MAX_PATH (the packer's own
# path stays below it: Windows starts no program past it), and an archive past MAX_PATH.
deep="$root/deep"
for _ in 1 2 3 4 5; do deep="$deep/一个很长的目录名称 a rather long folder name"; done
deep_product="$deep/产品"
deep_archive="$deep/再深一层 one level deeper/再深一层 one level deeper/信息收集.7z"
mkdir -p "$deep_product" && cp -r "$product"/OrvaneSkelda.dll "$product"/SkeldaCollect.exe "$product/7z" "$deep_product/"
rm -f "$calls" "$toollog"
out=$(skelda_wine "$deep_product/SkeldaCollect.exe" --quiet --categories 3 "$(winpath "$deep_archive")" 2>&1); rc=$?
wineserver -w
case_name="paths past MAX_PATH"
echo "== $case_name: exit $rc ($(echo -n "$(winpath "$deep_product")" | wc -m) characters to the program folder," \
     "$(echo -n "$(winpath "$deep_archive")" | wc -m) to the archive)"
echo "$out" | tail -3 | sed 's/^/   /'
expect_exit 0
expect_archive_listing "$deep_archive" 3
[ ! -e "$deep_product/SystemInfoLog" ] || fail "the working folder is still there"
[ -z "$(ls "$(dirname "$deep_archive")" | grep partial)" ] || fail "a temporary archive was left"

# A report file held open without sharing through the end of the run: its step is partial,
# 7-Zip skips the file, the archive holds archive-check.txt naming it, and the host exits 6.
held_report=$(skelda_wine "$expected_tool" files 3 | tr -d '\r' | grep '\.txt$' | head -1)
archive="$root/held report/信息收集.7z"
rm -f "$calls" "$toollog" "$root/report.ready" "$root/report.release"
doubles_knobs EVENT_LOGS=short HANG=OS
(skelda_wine "$product/SkeldaCollect.exe" --quiet --command-limit 8 --categories 3 "$(winpath "$archive")" \
   >"$root/held-report.out" 2>&1; echo "exit $?" >>"$root/held-report.out") &
host=$!
for _ in $(seq 1 300); do [ -s "$product/SystemInfoLog/$held_report" ] && break; sleep 0.1; done
for _ in 1 2 3 4 5 6 7 8 9 10; do
  skelda_wine "$hold_tool" "$(winpath "$product/SystemInfoLog/$held_report")" "$(winpath "$root/report.ready")" \
    "$(winpath "$root/report.release")" &
  holder=$!
  sleep 1
  [ -e "$root/report.ready" ] && break
  wait $holder
done
wait $host
touch "$root/report.release"
wait $holder 2>/dev/null
wineserver -w
doubles_knobs EVENT_LOGS=short
case_name="report held open through packing"
out=$(cat "$root/held-report.out")
echo "== $case_name ($held_report): $(tail -1 <<<"$out")"
[ -e "$root/report.ready" ] || fail "the report could not be held"
grep -qx "exit 6" <<<"$out" || fail "the host did not exit 6: $out"
expect_report "$archive" partial=1 timed-out=1
[ -f "$root/report/archive-check.txt" ] || fail "no archive-check.txt in the archive"
head -c 3 "$root/report/archive-check.txt" | od -An -tx1 | grep -q "ef bb bf" || fail "archive-check.txt has no byte-order mark"
grep -qF "${held_report//\//\\}" "$root/report/archive-check.txt" || fail "archive-check.txt does not name the file"
expect_log "压缩包不完整" 1
grep -q "the archive is not complete" <<<"$out" || fail "the host did not say the archive lacks something"

# Two hosts at once: the second is refused in words while the first runs, and the first is
# not disturbed.
archive="$root/first host/信息收集.7z"
rm -f "$calls"  # the wait below watches for the first host's first tool
(skelda_wine "$product/SkeldaCollect.exe" --categories all "$(winpath "$archive")" >"$root/first-host.out" 2>&1
 echo "exit $?" >>"$root/first-host.out") &
first=$!
for _ in $(seq 1 300); do [ -s "$calls" ] && break; sleep 0.1; done
run_case "second host while one runs" 3 "$root/second host/信息收集.7z"
expect_exit 5
grep -q "another collection is running" <<<"$out" || fail "the second host did not say why it stopped"
[ ! -e "$root/second host/信息收集.7z" ] || fail "the second host made an archive"
# A host that is no administrator (the Administrators group for denying only) stops in words
# before it loads the engine, with a code of its own, and never runs beside the first.
host_launcher=("$unprivileged_tool" restricted)
run_case "host without administrator rights" 3 "$root/restricted host/信息收集.7z"
host_launcher=()
expect_exit 7
grep -q "needs administrator rights" <<<"$out" || fail "the host did not say why it stopped"
[ ! -e "$root/restricted host" ] || fail "the host without rights made a folder"
wait $first
grep -qx "exit 0" "$root/first-host.out" || fail "the first host did not collect: $(tail -3 "$root/first-host.out")"
expect_archive_listing "$archive" all

# A user made the guard's name first, open to everyone and with no free slot: every run is
# refused as busy, in words that say who made it, and nothing runs unguarded.
rm -f "$root/guard.ready" "$root/guard.release"
skelda_wine "$unprivileged_tool" plant-guard 'Global\OrvaneSkeldaCollection' "$(winpath "$root/guard.ready")" \
  "$(winpath "$root/guard.release")" &
planter=$!
for _ in $(seq 1 300); do [ -e "$root/guard.ready" ] && break; sleep 0.1; done
[ -e "$root/guard.ready" ] || fail "the guard was not planted"
release_after_run="$root/guard.release"
run_case "guard planted by a user" 3 "$root/planted guard/信息收集.7z"
release_after_run=
wait $planter
expect_exit 5
grep -q "made by someone who is not an administrator" <<<"$out" || fail "the host did not say who made the guard"
[ ! -s "$calls" ] || fail "commands were run: $(head -3 "$calls")"
[ ! -e "$root/planted guard" ] || fail "a refused run made a folder"

# An INF folder without setupapi logs is recorded; the run packs what it has.
bash "$source_dir/tests/fixtures/make-fixtures.sh" "$prefix" --no-setupapi >/dev/null
run_case "no setupapi logs" 1 "$root/noinf/信息收集.7z"
expect_exit 6
expect_log "导出INF日志失败" 1
expect_working_folder_gone
[ "$(7zz l -slt "$root/noinf/信息收集.7z" | sed -n 's/^Path = //p' | tail -n +2 | LC_ALL=C sort | tr '\n' ' ')" = \
  "INF日志 collection-report.json 收集报告.txt " ] || fail "the archive should hold the empty INF folder and the report only"
expect_report "$root/noinf/信息收集.7z" failed=1

# A CBS.log held open without sharing (as the servicing stack holds it) is skipped and named
# in the step's reason, which is partial; everything else arrives.
bash "$source_dir/tests/fixtures/make-fixtures.sh" "$prefix" >/dev/null
rm -f "$root/held.ready" "$root/held.release"
skelda_wine "$hold_tool" 'C:\Windows\Logs\CBS\CBS.log' "$(winpath "$root/held.ready")" "$(winpath "$root/held.release")" &
holder=$!
for _ in $(seq 1 300); do [ -e "$root/held.ready" ] && break; sleep 0.1; done
[ -e "$root/held.ready" ] || fail "the file holder did not start"
archive="$root/locked/信息收集.7z"
release_after_run="$root/held.release"
run_case "locked CBS.log" 0 "$archive"
release_after_run=
wait $holder
expect_exit 6
expect_log "无法读取文件，已跳过: C:\\windows\\Logs\\CBS\\CBS.log" 1
expect_archive_listing "$archive" 0 "CBS日志/CBS.log"
expect_report "$archive" partial=1 ok=0 'reason-has=\Logs\CBS\CBS.log (error 32)'
grep -q '^steps: 1, partial 1$' <<<"$out" || fail "the host's summary does not count the partial step"

# A missing CBS folder is logged and the run goes on.
bash "$source_dir/tests/fixtures/make-fixtures.sh" "$prefix" --no-cbs >/dev/null
archive="$root/nocbs/信息收集.7z"
run_case "no CBS folder" 0,1 "$archive"
expect_exit 6
expect_log "CBS日志不存在" 1
expect_report "$archive" not-found=1 ok=1
expect_archive_listing "$archive" 0,1

# Get-WindowsUpdateLog fails, or ends well without writing, while an earlier run's log lies on
# the desktop: that log is never packed as this run's and stays as it was; the tool log has the
# system's own line and, after it, why.
desktop_log=$(find -L "$drive_c/users" -maxdepth 3 -name WindowsUpdate.log 2>/dev/null | head -1)
case_name="an earlier update log"
[ -n "$desktop_log" ] || fail "the first run left no update log on the desktop"
for mode in fail unwritten; do
  [ -n "$desktop_log" ] || break
  printf 'an earlier run\r\n' >"$desktop_log" && touch -d '2026-01-02 03:04:05' "$desktop_log"
  before=$(md5sum <"$desktop_log"; stat -c %Y "$desktop_log")
  doubles_knobs EVENT_LOGS=short UPDATE_LOG=$mode
  archive="$root/earlier update log $mode/信息收集.7z"
  run_case "update log export $mode, an earlier log on the desktop" 4 "$archive"
  doubles_knobs EVENT_LOGS=short
  expect_exit 6
  if [ $mode = fail ]; then counts=(failed=2 ok=0); else counts=(failed=1 ok=1); fi
  expect_report "$archive" "${counts[@]}" "reason-has=from before this run"
  expect_log "导出系统更新日志失败" 1
  after=$(iconv -f gbk -t utf-8 "$toollog" | grep -A1 -F 导出系统更新日志失败 | tail -1)
  grep -qF 系统更新日志早于本次导出 <<<"$after" ||
    { fail "the line after the system's own line does not say why"; show_toollog; }
  7zz l -slt "$archive" | grep -qx 'Path = 系统更新日志/WindowsUpdate.log' &&
    fail "the earlier log was packed as this run's"
  [ "$(md5sum <"$desktop_log"; stat -c %Y "$desktop_log")" = "$before" ] || fail "the log on the desktop was changed"
done

# A link in place of the desktop's update log (any user can make one there) is never followed:
# the elevated run would read whatever it names into an archive the user can open.
if [ -n "$desktop_log" ]; then
  printf 'only administrators may read this\r\n' >"$root/secret.txt"
  rm -f "$desktop_log" && ln -s "$root/secret.txt" "$desktop_log"
  # Written after the run starts, by either time (the link's own or the file's): the step gets
  # past its check for an earlier export and reaches the copy, which must refuse the link.
  touch -d '+10 minutes' "$root/secret.txt" && touch -h -d '+10 minutes' "$desktop_log"
  doubles_knobs EVENT_LOGS=short UPDATE_LOG=unwritten
  archive="$root/linked update log/信息收集.7z"
  run_case "update log replaced by a link" 4 "$archive"
  doubles_knobs EVENT_LOGS=short
  rm -f "$desktop_log"
  expect_exit 6
  expect_report "$archive" failed=1 ok=1 "reason-has=(error 4395)"
  7zz l -slt "$archive" | grep -qx 'Path = 系统更新日志/WindowsUpdate.log' && fail "what the link names was packed"
fi

# Before Windows 10 the update log is copied from the Windows folder; PowerShell is not asked.
skelda_wine winecfg /v win7 >/dev/null 2>&1; wineserver -w
archive="$root/win7/信息收集.7z"
run_case "update log on Windows 7" 4 "$archive"
expect_exit 0
[ ! -s "$calls" ] || fail "commands were run: $(cat "$calls")"
[ "$(7zz e -so "$archive" 系统更新日志/WindowsUpdate.log | md5sum)" = "$(md5sum < "$drive_c/windows/WindowsUpdate.log")" ] ||
  fail "the update log in the archive is not the Windows folder's"

# A missing update log is recorded and the run goes on.
bash "$source_dir/tests/fixtures/make-fixtures.sh" "$prefix" --no-update-log >/dev/null
run_case "no update log" 4 "$root/noupdate/信息收集.7z"
expect_exit 6
expect_log "系统更新日志不存在" 1
expect_log "导出系统更新日志失败" 1
expect_report "$root/noupdate/信息收集.7z" not-found=1  # as on Windows 7: no PowerShell step

# Programs named like the tools, in the host's current folder and on PATH, are never started:
# every tool runs by its full path in the system folder.
decoys_here="$root/decoys here" decoys_on_path="$root/decoys on path"
mkdir -p "$decoys_here" "$decoys_on_path"
for name in WMIC.exe wmic.exe powershell.exe systeminfo.exe wevtutil.exe cmd.exe 7zx86.exe 7zx64.exe; do
  cp "$decoy_tool" "$decoys_here/$name"
  cp "$decoy_tool" "$decoys_on_path/$name"
done
pushd "$decoys_here" >/dev/null
# The control: a search by name, as cmd makes one, finds the decoy in the current folder.
skelda_wine 'C:\windows\system32\cmd.exe' /c "wevtutil el" >/dev/null 2>&1; wineserver -w
case_name="tools named alike nearby"
[ -e "$decoys_here/wevtutil.exe.started" ] || fail "the decoys would not be seen"
rm -f "$decoys_here"/*.started
WINEPATH="$(winpath "$decoys_on_path")" run_case "tools named alike nearby" 3,5 "$root/decoys/信息收集.7z"
popd >/dev/null
expect_exit 0
expect_archive_listing "$root/decoys/信息收集.7z" 3,5
started=$(ls "$decoys_here" "$decoys_on_path" | grep '\.started$')
[ -z "$started" ] || fail "programs beside the host or on PATH were started: $started"

# A tool that never ends, and one whose child never ends, are ended with everything they
# started at the command limit, and a PowerShell that fails is recorded; the run goes on, packs
# and says that not every step was ok.
processes_in_prefix() {  # pids of Wine processes of this prefix whose command line matches $1
  for p in $(pgrep -f -i -- "$1"); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$prefix" && echo "$p"
  done
}
doubles_knobs EVENT_LOGS=short HANG=CPU HANG_CHILD=BIOS FAIL_CLASS=Win32_Fan
host_options=(--command-limit 3)
archive="$root/stuck/信息收集.7z"
run_case "stuck tools" 7 "$archive"
expect_exit 6
expect_report "$archive" timed-out=2 max-timed-out-ms=10000 failed=1 skipped=0 ok=+
expect_log "收集步骤未成功: failed: powershell -NoProfile -NonInteractive -command \"Get-WmiObject -Class Win32_Fan\" (exit code 1)" 1
expect_log "收集步骤未成功: timed-out: WMIC" 2
grep -qx 'WMIC --hang' "$calls" || fail "the stuck child was never started"

# The whole run's limit passes while a tool hangs: that step is ended, every later step is
# skipped, the run packs what it has and reports once.
doubles_knobs EVENT_LOGS=short HANG=BIOS
# A pool of two keeps most steps queued when the time is up: they are recorded skipped.
host_options=(--run-limit 5 --pool 2)
archive="$root/runlimit/信息收集.7z"
run_case "run limit passes" 7 "$archive"
host_options=()
expect_exit 6
# A step of another worker still running when the time is up is ended too.
expect_report "$archive" timed-out=+ skipped=+ failed=0
[ "$(grep -c '^result message' <<<"$out")" = 2 ] || fail "not exactly one result pair"

# The host ended from outside in the middle of a run: the tool it had started ends with it.
rm -f "$calls"
skelda_wine "$product/SkeldaCollect.exe" --quiet --categories 7 "$(winpath "$root/killed/信息收集.7z")" \
  >/dev/null 2>&1 &
for _ in $(seq 1 300); do grep -q '^WMIC BIOS' "$calls" 2>/dev/null && break; sleep 0.1; done
case_name="host killed mid-run"
[ -n "$(processes_in_prefix '^WMIC ')" ] || fail "the stuck tool was not running"
kill -KILL $(processes_in_prefix 'SkeldaCollect') 2>/dev/null
for _ in $(seq 1 100); do [ -z "$(processes_in_prefix '^WMIC ')" ] && break; sleep 0.1; done
left=$(processes_in_prefix '^WMIC ')
[ -z "$left" ] || fail "a tool of the killed run still runs: $(for p in $left; do tr '\0' ' ' <"/proc/$p/cmdline"; \
  grep -m1 State "/proc/$p/status"; done 2>/dev/null)"
echo "== $case_name: tool ended with its host"
wineserver -k 2>/dev/null; wineserver -w
doubles_knobs EVENT_LOGS=short

# Limits in logCfg.ini that are no limits are named in the log; the defaults hold.
printf '[Limits]\r\nCommandSeconds=-5\r\nLongCommandSeconds=99999999\r\nRunSeconds=ten\r\nPoolSize=0\r\n' \
  >"$drive_c/ProgramData/logCfg.ini"
run_case "bad limits in logCfg.ini" 3 "$root/badlimits/信息收集.7z"
rm -f "$drive_c/ProgramData/logCfg.ini"
expect_exit 0
expect_log "时间限制设置无效，使用默认值" 3
expect_log "同时运行的工具数设置无效，使用默认值: PoolSize=\"0\"" 1

# Settings and a log folder a user put in the common application-data folder: logCfg.ini
# whose run limit of one second would skip every step, and ToolLog as a link to a folder of
# the user's. Nothing is written through the link, the limits keep their defaults, and the
# host and the run's report say why. (Wine makes every file the user's own: with that owner
# no longer named trusted, the settings are refused for their owner here; Wine shows the Unix
# link only in its directory entry.)
untrust_wine_user
printf '[Limits]\r\nCommandSeconds=1\r\nRunSeconds=1\r\n' >"$drive_c/ProgramData/logCfg.ini"
mkdir -p "$root/link target"
rm -rf "$drive_c/ProgramData/ToolLog"
ln -s "$root/link target" "$drive_c/ProgramData/ToolLog"
archive="$root/planted/信息收集.7z"
run_case "planted log folder and settings" 7 "$archive"
rm -f "$drive_c/ProgramData/logCfg.ini" "$drive_c/ProgramData/ToolLog"
trust_wine_user
expect_exit 0
grep -qF 'tool log off: C:\ProgramData\ToolLog is a link' <<<"$out" || fail "the host did not say the log is off"
grep -qF 'logCfg.ini ignored: C:\ProgramData\logCfg.ini is owned by' <<<"$out" ||
  fail "the host did not say the settings are ignored"
[ -z "$(ls -A "$root/link target")" ] || fail "the log was written through the link: $(ls -A "$root/link target")"
expect_report "$archive" ok=+ skipped=0 timed-out=0
7zz e -so "$archive" collection-report.json | grep -qF '"tool_log": "tool log off: C:\\ProgramData\\ToolLog is a link' ||
  fail "the run's report does not say why the log was off"

# Without WMIC (Windows 11 24H2 and later by default) the alias reports come from WMI through
# PowerShell: one process per catalogue folder, every report under its own name in WMIC's
# layout, and WMIC itself is never started.
find "$drive_c/windows" -ipath '*/wbem/wmic.exe' -delete
archive="$root/nowmic/信息收集.7z"
run_case "no WMIC" 2,3,7 "$archive"
expect_exit 0
expect_archive_listing "$archive" 2,3,7
grep -q '^WMIC' "$calls" && fail "WMIC was started: $(grep '^WMIC' "$calls" | head -1)"
expect_commands 2,3,7 nowmic
batches=$(grep -c -- '-EncodedCommand ' "$calls")
[ "$batches" = 20 ] || fail "$batches PowerShell processes for the aliases, expected one per folder (20)"
[ -s "$toollog" ] && fail "the tool log has entries: $(iconv -f gbk -t utf-8 "$toollog")"
check_alias_reports() {  # check_alias_reports <archive> <categories> [failing alias]
  local unpacked="$root/unpacked"
  rm -rf "$unpacked" && mkdir -p "$unpacked"
  7zz x -o"$unpacked" "$1" >/dev/null || fail "cannot unpack $1"
  skelda_wine "$expected_tool" aliases "$2" | tr -d '\r' >"$root/aliases.txt"
  python3 "$source_dir/tests/e2e/check-alias-reports.py" "$unpacked" "$root/aliases.txt" ${3:+"$3"} ||
    fail "alias reports are not in WMIC's layout"
}
check_alias_reports "$archive" 2,3,7

# A class that fails leaves its own report of one line and one tool-log line; the other
# aliases of the same PowerShell process are complete.
archive="$root/nowmic-failing/信息收集.7z"
doubles_knobs EVENT_LOGS=short FAIL_CLASS=Win32_PortResource
run_case "no WMIC, one class fails" 7 "$archive"
doubles_knobs EVENT_LOGS=short
expect_exit 6
expect_report "$archive" failed=1
expect_archive_listing "$archive" 7
expect_log "WMI查询失败: PORT (Win32_PortResource)" 1
expect_log "WMI查询失败" 1
check_alias_reports "$archive" 7 PORT

# A packer that is not the one that shipped is never started: the run fails and says why, and
# neither an archive nor a temporary one appears.
case "$kind" in
  win64) packer="$product/7z/x64/7zx64.exe" ;;
  win32) packer="$product/7z/x86/7zx86.exe" ;;
esac
cp "$packer" "$root/shipped-packer.exe"
cp "$decoy_tool" "$packer"
run_case "packer not the shipped one" 3 "$root/swapped/信息收集.7z"
expect_exit 1
expect_log "压缩程序与发布的不一致: " 1
expect_log "生成压缩包失败" 1
[ ! -e "$packer.started" ] || fail "the swapped packer was started"
[ -z "$(ls -A "$root/swapped" 2>/dev/null)" ] || fail "files appeared at the target: $(ls "$root/swapped")"
expect_working_folder_gone
cp "$root/shipped-packer.exe" "$packer"

# A class that hangs inside a batch (an unfiltered Win32_Group on a domain member that cannot
# reach its domain controller) costs only its own report: the script leaves it behind at its
# limit and goes on, and its four neighbours of the same PowerShell process are complete.
archive="$root/nowmic-hang/信息收集.7z"
doubles_knobs EVENT_LOGS=short HANG_CLASS=Win32_Group
host_options=(--command-limit 5)
run_case "no WMIC, one class hangs" 3 "$archive"
host_options=()
doubles_knobs EVENT_LOGS=short
expect_exit 6
expect_report "$archive" timed-out=1 failed=0 skipped=0 partial=0 ok=+
python3 - "$root/report/collection-report.json" <<'PY' || fail "not only GROUP timed out, or a neighbour is not ok"
import json, sys
steps = {s["what"]: s["outcome"] for s in json.load(open(sys.argv[1], encoding="utf-8"))["steps"]}
def outcome(alias):
    return [o for w, o in steps.items() if w.endswith(" for WMIC " + alias + " (answered without WMIC)")]
assert outcome("GROUP") == ["timed-out"], outcome("GROUP")
for alias in ("LOGON", "STARTUP", "SYSACCOUNT", "USERACCOUNT"):
    assert outcome(alias) == ["ok"], (alias, outcome(alias))
PY
expect_log "WMI查询失败: GROUP (Win32_Group): no answer within its limit of 5 s" 1
check_alias_reports "$archive" 3 GROUP

# A value of 20 MiB (any user can put one in the environment, which Win32_Environment returns)
# arrives cut at 1 MiB with a marker that says so, and the run succeeds.
archive="$root/nowmic-big/信息收集.7z"
doubles_knobs EVENT_LOGS=short BIG_CLASS=Win32_Environment
run_case "no WMIC, a 20 MiB value" 3 "$archive"
doubles_knobs EVENT_LOGS=short
expect_exit 0
expect_report "$archive" ok=+ failed=0 timed-out=0 skipped=0 partial=0
marks=$(7zz e -so "$archive" "操作系统/桌面/系统环境设置管理.txt" | iconv -f utf-16 -t utf-8 |
        grep -c '…\[cut at 1048576 of 20971520 characters\]')
[ "$marks" = 1 ] || fail "the environment report holds the cut marker $marks times, expected once"

# Without a packer there is no archive, the run says so, and an archive already at the
# target stays exactly as it was.
archive="$root/nopacker/信息收集.7z"
run_case "archive before the packer goes" 3 "$archive"
expect_exit 0
before=$(md5sum <"$archive")
rm -rf "$product/7z"
run_case "no packer" 7 "$archive"
expect_exit 1
expect_log "生成压缩包失败" 1
[ "$(md5sum <"$archive")" = "$before" ] || fail "the earlier archive was changed by a failed run"
[ "$(ls "$root/nopacker")" = "信息收集.7z" ] || fail "the failed run left files: $(ls "$root/nopacker")"

wineserver -k 2>/dev/null
if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all end-to-end checks passed ($kind)"
