#!/usr/bin/env bash
# End-to-end collections through the console host in a Wine prefix of its own, with the test
# doubles of wevtutil, WMIC, powershell and systeminfo and fixture log folders.
#   usage: collect-e2e.sh win64|win32 archives|guards
# win64 runs the x64 packer (the 32-bit engine sees WOW64, the 64-bit one is native), win32 the
# x86 one. Every archive is read back with Debian's 7zz. The cases come in two parts, each with
# a prefix and folders of its own, so that they run side by side: cases-archives.sh (what the
# archive holds and where it goes) and cases-guards.sh (refused runs, missing or held logs,
# tools that hang, limits, runs without WMIC, the packer).
set -uo pipefail
usage="usage: collect-e2e.sh win64|win32 archives|guards"
kind=${1:?$usage}
part=${2:?$usage}
build=${SKELDA_BUILD:?}
source_dir=${SKELDA_SOURCE:?}
scripts=$source_dir/scripts
cases=$source_dir/tests/e2e/cases-$part.sh
[ -f "$cases" ] || { echo "$usage"; exit 2; }

root=$build/e2e/$kind-$part
prefix=$build/wine/e2e-$kind-$part
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
scan_tool=$build/tests/ScanLikeHolder.exe
decoy_tool=$build/tests/DecoyTool.exe
decoy_library=$build/tests/DecoyLibrary.dll
unprivileged_tool=$build/tests/Unprivileged.exe

# What the run must produce, from ExpectedArchive in the prefix, CR taken off. A Wine client
# that starts while the wineserver of the case before is still going away can lose its
# connection ("wine client error: recvmsg") and print nothing: that start is tried again, as it
# says nothing of the run.
expected() {
  local text
  for _ in 1 2 3; do
    text=$(skelda_wine "$expected_tool" "$@" 2>/dev/null) && [ -n "$text" ] && break
    sleep 1
  done
  tr -d '\r' <<<"$text"
}

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

# A run in the background while the OS report's tool hangs (to its limit of 15 s, which the
# other tools keep well within even on a loaded machine), for a case that acts on the run's files
# meanwhile: start_hanging_run <output file> <categories> <archive> sets $host;
# end_hanging_run <name> <output file> waits for it (and, through $release_after_run, for a
# helper it held open) and reads the output, "exit <code>" last, into $out.
start_hanging_run() {
  rm -f "$calls" "$toollog"
  doubles_knobs EVENT_LOGS=short HANG=OS
  (skelda_wine "$product/SkeldaCollect.exe" --quiet --command-limit 15 --categories "$2" "$(winpath "$3")" \
     >"$1" 2>&1; echo "exit $?" >>"$1") &
  host=$!
}
end_hanging_run() {
  wait $host
  [ -n "${release_after_run:-}" ] && touch "$release_after_run"
  wineserver -w
  doubles_knobs EVENT_LOGS=short
  case_name=$1
  out=$(cat "$2")
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
# The host copies the engine and the packer into a clean room of its own in the system's Temp
# folder, works there and removes it at its end.
rooms_dir=$drive_c/windows/temp
rooms_left() {
  find "$rooms_dir" -mindepth 1 -maxdepth 1 -regextype posix-extended -regex '.*/OrvaneSkelda-[0-9a-f]{16}' 2>/dev/null
}
room_of_run() { sed -n 's/^clean room: //p' <<<"$out" | tr -d '\r' | head -1; }
expect_working_folder_gone() {
  [ ! -e "$product/SystemInfoLog" ] || fail "a working folder was made beside the program"
  [ -z "$(rooms_left)" ] || fail "a clean room is still there: $(rooms_left)"
}
expect_archive_listing() {  # expect_archive_listing <archive> <categories> [entry left out]
  local actual expected
  actual=$(7zz l -slt "$1" | sed -n 's/^Path = //p' | tail -n +2 | LC_ALL=C sort)
  expected=$(expected files "$2" | grep -vxF -- "${3:-/}" | LC_ALL=C sort)
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
  local room
  room=$(room_of_run)
  [ -n "$room" ] || { fail "the host named no clean room"; return; }
  expected=$(expected "commands${2:+-$2}" "$1" "$room\\" | LC_ALL=C sort)
  if [ "$actual" != "$expected" ]; then
    fail "recorded command lines differ (< expected, > recorded):"
    diff <(echo "$expected") <(echo "$actual") | head -20
    show_toollog
  fi
}

# Wine reports the user as the owner of every file, administrators' files included: the test
# bed names that user as a trusted owner (of the tool log, its settings and the clean room), as
# an administrator may (HKLM), so that they are used here. Wine's user is S-1-5-21-0-0-0-1000.
skelda_wine reg add 'HKLM\SOFTWARE\OrvaneSkelda' /v TrustedOwners /t REG_MULTI_SZ /d S-1-5-21-0-0-0-1000 /f \
  >/dev/null 2>&1 || echo "cannot name the trusted owner"

# shellcheck source=cases-archives.sh
. "$cases"

wineserver -k 2>/dev/null
if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all end-to-end checks passed ($kind, $part)"
