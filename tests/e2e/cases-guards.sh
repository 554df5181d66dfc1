# The cases of collect-e2e.sh about runs that are refused or meet trouble: two hosts at once, a
# host without rights, a planted guard, missing and held logs, the update log, tools named like
# ours, tools that hang, limits, planted settings, runs without WMIC and a packer that is not the
# shipped one. The event-log listing is the short one throughout.
doubles_knobs EVENT_LOGS=short
bash "$source_dir/tests/fixtures/make-fixtures.sh" "$prefix" >/dev/null

# Two hosts at once: the second is refused in words while the first runs, and the first is
# not disturbed.
archive="$root/first host/信息收集.7z"
rm -f "$calls"  # the wait below watches for the first host's first tool
(skelda_wine "$product/SkeldaCollect.exe" --categories all "$(winpath "$archive")" >"$root/first-host.out" 2>&1
 echo "exit $?" >>"$root/first-host.out") &
first=$!
for _ in $(seq 1 600); do [ -s "$calls" ] && break; sleep 0.1; done
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
for _ in $(seq 1 600); do [ -e "$root/guard.ready" ] && break; sleep 0.1; done
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
  "INF日志 collection-report.json 收集报告.txt 概要.html 概要.txt " ] ||
  fail "the archive should hold the empty INF folder, the report and the summary only"
expect_report "$root/noinf/信息收集.7z" failed=1

# A CBS.log held open without sharing (as the servicing stack holds it) is skipped and named
# in the step's reason, which is partial; everything else arrives.
bash "$source_dir/tests/fixtures/make-fixtures.sh" "$prefix" >/dev/null
rm -f "$root/held.ready" "$root/held.release"
skelda_wine "$hold_tool" 'C:\Windows\Logs\CBS\CBS.log' "$(winpath "$root/held.ready")" "$(winpath "$root/held.release")" &
holder=$!
for _ in $(seq 1 600); do [ -e "$root/held.ready" ] && break; sleep 0.1; done
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

# Get-WindowsUpdateLog is told to write into the working folder: nothing goes to the desktop,
# whose place the user's own settings name, and a log lying there (an earlier run's, or a link
# a user put there) is never read, changed or packed. When the export fails, or ends well
# without writing, the tool log has the system's own line and, after it, why.
case_name="update log written into the working folder"
left=$(find -L "$drive_c/users" -maxdepth 3 -name WindowsUpdate.log 2>/dev/null)
[ -z "$left" ] || fail "the runs above wrote onto a desktop: $left"
desktop=$(find -L "$drive_c/users" -mindepth 2 -maxdepth 2 -iname Desktop -type d 2>/dev/null | head -1)
[ -n "$desktop" ] || fail "no desktop folder in the prefix"
desktop_log="$desktop/WindowsUpdate.log"
for mode in fail unwritten; do
  [ -n "$desktop" ] || break
  printf 'an earlier run\r\n' >"$desktop_log" && touch -d '+10 minutes' "$desktop_log"
  before=$(md5sum <"$desktop_log"; stat -c %Y "$desktop_log")
  doubles_knobs EVENT_LOGS=short UPDATE_LOG=$mode
  archive="$root/update log $mode/信息收集.7z"
  run_case "update log export $mode, a log on the desktop" 4 "$archive"
  doubles_knobs EVENT_LOGS=short
  expect_exit 6
  grep -qE "^powershell -NoProfile -NonInteractive -command \"Get-WindowsUpdateLog -LogPath '[^']*\\\\SystemInfoLog\\\\系统更新日志\\\\WindowsUpdate\.log'\"$" "$calls" ||
    fail "the export was not told to write into the working folder: $(grep -F Get-WindowsUpdateLog "$calls")"
  if [ $mode = fail ]; then counts=(failed=2 ok=0); else counts=(failed=1 ok=1); fi
  expect_report "$archive" "${counts[@]}" "reason-has=the tool that writes it wrote nothing"
  expect_log "导出系统更新日志失败" 1
  after=$(iconv -f gbk -t utf-8 "$toollog" | grep -A1 -F 导出系统更新日志失败 | tail -1)
  grep -qF 系统更新日志不存在 <<<"$after" ||
    { fail "the line after the system's own line does not say why"; show_toollog; }
  7zz l -slt "$archive" | grep -qx 'Path = 系统更新日志/WindowsUpdate.log' &&
    fail "the desktop's log was packed as this run's"
  [ "$(md5sum <"$desktop_log"; stat -c %Y "$desktop_log")" = "$before" ] || fail "the log on the desktop was changed"
done
rm -f "$desktop_log"

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
host_options=(--command-limit 15)
archive="$root/stuck/信息收集.7z"
run_case "stuck tools" 7 "$archive"
expect_exit 6
expect_report "$archive" timed-out=2 max-timed-out-ms=60000 failed=1 skipped=0 ok=+
expect_log "收集步骤未成功: failed: powershell -NoProfile -NonInteractive -command \"Get-WmiObject -Class Win32_Fan\" (exit code 1)" 1
expect_log "收集步骤未成功: timed-out: WMIC" 2
grep -qx 'WMIC --hang' "$calls" || fail "the stuck child was never started"

# The whole run's limit passes while tools hang: those steps are ended, every later step is
# skipped, the run packs what it has and reports once. Every tool hangs, so the pool of two is
# full with the first two steps whatever the machine's speed, and the rest wait in the queue
# for the limit: they are recorded skipped.
doubles_knobs EVENT_LOGS=short HANG_ALL=1
host_options=(--run-limit 5 --pool 2)
archive="$root/runlimit/信息收集.7z"
run_case "run limit passes" 7 "$archive"
host_options=()
expect_exit 6
# A step of another worker still running when the time is up is ended too.
expect_report "$archive" timed-out=+ skipped=+ failed=0
[ "$(grep -c '^result message' <<<"$out")" = 2 ] || fail "not exactly one result pair"

# The host ended from outside in the middle of a run: the tool it had started ends with it.
doubles_knobs EVENT_LOGS=short HANG=BIOS
rm -f "$calls"
skelda_wine "$product/SkeldaCollect.exe" --quiet --categories 7 "$(winpath "$root/killed/信息收集.7z")" \
  >/dev/null 2>&1 &
for _ in $(seq 1 600); do grep -q '^WMIC BIOS' "$calls" 2>/dev/null && break; sleep 0.1; done
case_name="host killed mid-run"
[ -n "$(processes_in_prefix '^WMIC ')" ] || fail "the stuck tool was not running"
kill -KILL $(processes_in_prefix 'SkeldaCollect') 2>/dev/null
for _ in $(seq 1 600); do [ -z "$(processes_in_prefix '^WMIC ')" ] && break; sleep 0.1; done
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
# whose run limit of one second would skip every step, as a second name of a file of the
# user's, and ToolLog as a link to a folder of the user's. Nothing is written through the link,
# the limits keep their defaults, and the host and the run's report say why. (Wine shows the
# Unix link only in its directory entry.)
printf '[Limits]\r\nCommandSeconds=1\r\nRunSeconds=1\r\n' >"$root/user limits.ini"
ln "$root/user limits.ini" "$drive_c/ProgramData/logCfg.ini"
mkdir -p "$root/link target"
rm -rf "$drive_c/ProgramData/ToolLog"
ln -s "$root/link target" "$drive_c/ProgramData/ToolLog"
archive="$root/planted/信息收集.7z"
run_case "planted log folder and settings" 7 "$archive"
rm -f "$drive_c/ProgramData/logCfg.ini" "$drive_c/ProgramData/ToolLog"
expect_exit 0
grep -qF 'tool log off: C:\ProgramData\ToolLog is a link' <<<"$out" || fail "the host did not say the log is off"
grep -qF 'logCfg.ini ignored: C:\ProgramData\logCfg.ini has more than one name (hard link)' <<<"$out" ||
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
  expected aliases "$2" >"$root/aliases.txt"
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

# The engine and the packer beside the program go into the clean room only as the files that
# shipped: one replaced (by a library whose DllMain leaves a marker, by a program that leaves
# one when started) refuses the run before anything is loaded or started. The markers go to a
# folder of their own, which stays when the room goes.
case "$kind" in
  win64) packer="7z/x64/7zx64.exe" ;;
  win32) packer="7z/x86/7zx86.exe" ;;
esac
decoy_marks=$drive_c/skelda-decoy
mkdir -p "$decoy_marks"
for replaced in OrvaneSkelda.dll "$packer"; do
  cp "$product/$replaced" "$root/shipped-file"
  case "$replaced" in
    *.dll) cp "$decoy_library" "$product/$replaced" ;;
    *) cp "$decoy_tool" "$product/$replaced" ;;
  esac
  run_case "$replaced not the shipped one" 3 "$root/swapped/信息收集.7z"
  cp "$root/shipped-file" "$product/$replaced"
  expect_exit 9
  grep -qF "refused: a file beside the program is not the one that shipped: $(winpath "$product")\\${replaced//\//\\} is not the file that shipped" <<<"$out" ||
    fail "the host did not say which file: $out"
  [ -z "$(ls -A "$decoy_marks")" ] || fail "the replacement was loaded or started: $(ls "$decoy_marks")"
  [ ! -s "$calls" ] || fail "tools were started: $(head -3 "$calls")"
  [ -z "$(ls -A "$root/swapped" 2>/dev/null)" ] || fail "files appeared at the target: $(ls "$root/swapped")"
  expect_working_folder_gone
done

# A .local beside the program would redirect the libraries it loads (the common controls among
# them): the host refuses before it loads anything.
mkdir "$product/SkeldaCollect.exe.local"
cp "$decoy_library" "$product/SkeldaCollect.exe.local/OrvaneSkelda.dll"
run_case "a .local folder beside the host" 3 "$root/dotlocal/信息收集.7z"
rm -rf "$product/SkeldaCollect.exe.local"
expect_exit 8
grep -qF "refused: a .local file or folder beside the program would redirect the libraries it loads" <<<"$out" ||
  fail "the host did not say why: $out"
[ -z "$(ls -A "$decoy_marks")" ] || fail "a library was loaded: $(ls "$decoy_marks")"
[ ! -s "$calls" ] || fail "tools were started: $(head -3 "$calls")"
expect_working_folder_gone

# A class that hangs inside a batch (an unfiltered Win32_Group on a domain member that cannot
# reach its domain controller) costs only its own report: the script leaves it behind at its
# limit and goes on, and its four neighbours of the same PowerShell process are complete.
archive="$root/nowmic-hang/信息收集.7z"
doubles_knobs EVENT_LOGS=short HANG_CLASS=Win32_Group
host_options=(--command-limit 15)
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
expect_log "WMI查询失败: GROUP (Win32_Group): no answer within its limit of 15 s" 1
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

# Without a packer nothing runs: the host says which file is missing, and an archive already
# at the target stays exactly as it was.
archive="$root/nopacker/信息收集.7z"
run_case "archive before the packer goes" 3 "$archive"
expect_exit 0
before=$(md5sum <"$archive")
rm -rf "$product/7z"
run_case "no packer" 7 "$archive"
expect_exit 9
grep -qF "refused: a file that ships with the program is missing: $(winpath "$product")\\7z\\" <<<"$out" ||
  fail "the host did not say the packer is missing: $out"
[ ! -s "$calls" ] || fail "tools were started: $(head -3 "$calls")"
[ "$(md5sum <"$archive")" = "$before" ] || fail "the earlier archive was changed by a failed run"
[ "$(ls "$root/nopacker")" = "信息收集.7z" ] || fail "the failed run left files: $(ls "$root/nopacker")"
# The packer back, for the cases below.
mkdir -p "$product/7z"
case "$kind" in
  win64) cp -r "$SKELDA_DIST/7z/x64" "$product/7z/" ;;
  win32) cp -r "$SKELDA_DIST/7z/x86" "$product/7z/" ;;
esac

# The Event Log service stopped: "wevtutil el" prints a few names, then fails with its message
# on its error output. The listing is failed with that message, and no export starts from what
# it printed, nor from the message.
archive="$root/nolisting/信息收集.7z"
doubles_knobs EVENT_LOGS=short LISTING_FAILS=1
run_case "the event-log listing fails" 5 "$archive"
doubles_knobs EVENT_LOGS=short
expect_exit 6
expect_report "$archive" failed=1 ok=3  # the three text copies of recent events
grep -q " el" "$calls" || fail "the listing was not run: $(cat "$calls")"
! grep -q " epl " "$calls" || fail "exports were started: $(grep " epl " "$calls" | head -3)"
expect_log "获取系统日志命令失败: exit code 1722: Failed to enumerate log channels. The RPC server is unavailable." 1

# Limits come only from the settings file and the console host's options: limits in the
# environment, which any process of the user can set (HKCU\Environment), are ignored, and the
# report names each limit and where it came from.
archive="$root/envlimit/信息收集.7z"
export ORVANE_SKELDA_RUN_SECONDS=1 ORVANE_SKELDA_POOL=1 ORVANE_SKELDA_COMMAND_SECONDS=1
host_options=(--command-limit 40)
run_case "limits in the environment" 5 "$archive"
host_options=()
unset ORVANE_SKELDA_RUN_SECONDS ORVANE_SKELDA_POOL ORVANE_SKELDA_COMMAND_SECONDS
expect_exit 0
expect_report "$archive" ok=+ skipped=0 timed-out=0 failed=0
python3 - "$root/report/collection-report.json" <<'PY' || fail "the report does not name the limits in force"
import json, sys
limits = json.load(open(sys.argv[1], encoding="utf-8"))["limits"]
assert limits == ["CommandSeconds=40 (console host)", "LongCommandSeconds=1800 (default)",
                  "RunSeconds=3600 (default)", "PoolSize=8 (default)"], limits
PY

# wevtutil "al" that ends with 0 and writes nothing (as it can): each log that holds events has
# its texts step partial, naming the missing file; the empty logs get no texts step at all.
archive="$root/notexts/信息收集.7z"
doubles_knobs EVENT_LOGS=short TEXTS=silent
run_case "texts of the logs not written" 5 "$archive"
doubles_knobs EVENT_LOGS=short
expect_exit 6
locales=$(grep -c " al " "$calls")
expect_report "$archive" failed=0 reason-has="wevtutil ended with 0 but wrote no texts"
python3 - "$root/report/collection-report.json" "$locales" <<'PY' || fail "the texts steps are not as expected"
import json, sys
steps = json.load(open(sys.argv[1], encoding="utf-8"))["steps"]
texts = [s for s in steps if s["what"].startswith("wevtutil al ")]
assert len(texts) == int(sys.argv[2]) and texts, (len(texts), sys.argv[2])
assert all(s["outcome"] == "partial" and "LocaleMetaData" in s["reason"] for s in texts), texts[:2]
with_texts = {s["output"].split("/")[-1].rsplit("_", 1)[0] for s in texts}
assert with_texts == {"Application", "Security", "Setup", "System", "Windows PowerShell"}, with_texts
PY
