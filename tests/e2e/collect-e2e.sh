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

failures=0
fail() { echo "FAIL [$case_name]: $*"; failures=$((failures + 1)); }
winpath() { echo "Z:${1//\//\\}"; }

# run_case <name> <categories> <archive unix path> → sets $rc and $out
run_case() {
  case_name=$1
  rm -f "$calls" "$toollog"
  out=$(skelda_wine "$product/SkeldaCollect.exe" --categories "$2" "$(winpath "$3")" 2>&1)
  rc=$?
  wineserver -w
  echo "== $case_name (categories $2): exit $rc"
  echo "$out" | sed 's/^/   /'
}

expect_exit() { [ "$rc" = "$1" ] || fail "exit code $rc, expected $1"; }
expect_log() {  # expect_log <text> <count>
  local n=0
  [ -f "$toollog" ] && n=$(iconv -f gbk -t utf-8 "$toollog" | grep -c -- "$1")
  [ "$n" = "$2" ] || fail "tool log holds \"$1\" $n times, expected $2"
}
expect_working_folder_gone() {
  [ ! -e "$product/SystemInfoLog" ] || fail "the working folder is still there"
}
expect_archive_listing() {  # expect_archive_listing <archive> <categories>
  local actual expected
  actual=$(7zz l -slt "$1" | sed -n 's/^Path = //p' | tail -n +2 | LC_ALL=C sort)
  expected=$(skelda_wine "$expected_tool" files "$2" | tr -d '\r' | LC_ALL=C sort)
  if [ "$actual" != "$expected" ]; then
    fail "archive entries differ (< expected, > archive):"
    diff <(echo "$expected") <(echo "$actual") | head -20
  fi
}
expect_commands() {  # expect_commands <categories>
  local actual expected
  actual=$(LC_ALL=C sort "$calls" 2>/dev/null)
  expected=$(skelda_wine "$expected_tool" commands "$1" "$(winpath "$product")\\" | tr -d '\r' | LC_ALL=C sort)
  if [ "$actual" != "$expected" ]; then
    fail "recorded command lines differ (< expected, > recorded):"
    diff <(echo "$expected") <(echo "$actual") | head -20
  fi
}

out_dir="$root/输出 x&y (z) 中"

# Every category, fixtures with an empty sub-folder in the CBS folder.
bash "$source_dir/tests/fixtures/make-fixtures.sh" "$prefix" >/dev/null
archive="$out_dir/信息收集.7z"
run_case "all categories" all "$archive"
expect_exit 0
[ -f "$archive" ] || fail "no archive"
expect_archive_listing "$archive" all
listing=$(7zz l -slt "$archive")
grep -qx 'Path = CBS日志/Archive/Empty' <<<"$listing" || fail "the empty CBS sub-folder is not in the archive"
expect_commands all
expect_working_folder_gone
[ ! -s "$toollog" ] || fail "the tool log has entries: $(iconv -f gbk -t utf-8 "$toollog")"
echo "$out" | grep -q "archive: " || fail "the host did not say where the archive is"

export SKELDA_DOUBLES_EVENT_LOGS=short

# Subsets create only their folders.
for subset in 3 2,6 7 0,1,4,5; do
  archive="$root/subset $subset/信息收集.7z"
  run_case "subset" "$subset" "$archive"
  expect_exit 0
  expect_archive_listing "$archive" "$subset"
  expect_commands "$subset"
  expect_working_folder_gone
done

# Nothing switched on: the packer still runs and the run succeeds.
archive="$root/none/信息收集.7z"
run_case "no category" none "$archive"
expect_exit 0
expect_working_folder_gone

# The archive's folder cannot be made: each of the four workers reports (100, 3).
mkdir -p "$root/blocked" && echo file > "$root/blocked/afile"
run_case "archive folder blocked" all "$root/blocked/afile/sub/信息收集.7z"
expect_exit 2
[ "$(echo "$out" | grep -c 'result message 3:')" = 4 ] || fail "expected four folder-failure results"
[ "$(echo "$out" | grep -c 'result message 100:')" = 4 ] || fail "expected four end-of-run messages"
expect_log "创建保存日志目录失败" 4

# An INF folder without setupapi logs fails the run and removes the working folder.
bash "$source_dir/tests/fixtures/make-fixtures.sh" "$prefix" --no-setupapi >/dev/null
run_case "no setupapi logs" 1 "$root/noinf/信息收集.7z"
expect_exit 1
expect_log "导出INF日志失败" 1
expect_working_folder_gone
[ ! -e "$root/noinf/信息收集.7z" ] || fail "an archive was made after a failure"

# A missing CBS folder is logged and the run goes on.
bash "$source_dir/tests/fixtures/make-fixtures.sh" "$prefix" --no-cbs >/dev/null
archive="$root/nocbs/信息收集.7z"
run_case "no CBS folder" 0,1 "$archive"
expect_exit 0
expect_log "CBS日志不存在" 1
expect_archive_listing "$archive" 0,1

# Before Windows 10 the update log is copied from the Windows folder; PowerShell is not asked.
skelda_wine winecfg /v win7 >/dev/null 2>&1; wineserver -w
archive="$root/win7/信息收集.7z"
run_case "update log on Windows 7" 4 "$archive"
expect_exit 0
[ ! -s "$calls" ] || fail "commands were run: $(cat "$calls")"
[ "$(7zz e -so "$archive" 系统更新日志/WindowsUpdate.log | md5sum)" = "$(md5sum < "$drive_c/windows/WindowsUpdate.log")" ] ||
  fail "the update log in the archive is not the Windows folder's"

# Without a packer there is no archive, and the run says so.
rm -rf "$product/7z"
run_case "no packer" none "$root/nopacker/信息收集.7z"
expect_exit 1
expect_log "生成压缩包失败" 1
[ ! -e "$root/nopacker/信息收集.7z" ] || fail "an archive appeared without a packer"

wineserver -k 2>/dev/null
if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all end-to-end checks passed ($kind)"
