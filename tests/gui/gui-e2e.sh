#!/usr/bin/env bash
# End-to-end run of the shipped program under Xvfb: a copy of dist/ in a Wine prefix of its
# own with the tool doubles and fixture logs; the usage terms are accepted, every category is
# collected into an archive, the success prompt (shown only once the progress prompt is gone)
# confirmed and the main window closed through the feedback dialog. The archive is read back
# with 7zz and the program folder must be gone afterwards. A screenshot of every screen goes to <build>/gui-e2e/screenshots; set
# SKELDA_SHOTS=<source>/docs/screenshots to refresh the committed ones.
#   needs: DISPLAY (xvfb-run), xdotool, ImageMagick's import, 7zz; xcompmgr if present
set -uo pipefail
build=${SKELDA_BUILD:?}
source_dir=${SKELDA_SOURCE:?}
dist=${SKELDA_DIST:-$build/dist}
scripts=$source_dir/scripts
shots=${SKELDA_SHOTS:-$build/gui-e2e/screenshots}
driver=$build/tests/gui/GuiDriver.exe

[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: run under xvfb-run"; exit 1; }
for tool in xdotool import 7zz; do
  command -v $tool >/dev/null || { echo "missing $tool"; exit 1; }
done
for file in TavlinSkelda.exe OrvaneSkelda.dll OrvaneMouseHook.dll OrvaneFeedbackInformation.dll SkeldaCollect.exe 7z; do
  [ -e "$dist/$file" ] || { echo "missing $dist/$file"; exit 1; }
done
[ -f "$driver" ] || { echo "missing $driver"; exit 1; }

prefix=$build/wine/gui-e2e
"$scripts/copy-prefix.sh" "${SKELDA_WINE_ROOT:?}/desktop" "$prefix" || { echo "cannot copy the test prefix"; exit 1; }
. "$scripts/wine-env.sh" "$prefix"
# Real clicks and screenshots want the stacking a window manager keeps: the test prefixes make
# Wine's windows unmanaged (no waits for a manager that is not there), under which Wine stacks
# an owned panel below its layered frame. This run has the time to wait.
skelda_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f >/dev/null 2>&1
# Wine makes every file its one user's: that user is named a trusted owner, as an administrator
# may, so that the program takes its clean room for one an administrator made.
skelda_wine reg add 'HKLM\SOFTWARE\OrvaneSkelda' /v TrustedOwners /t REG_MULTI_SZ /d S-1-5-21-0-0-0-1000 /f \
  >/dev/null 2>&1 || echo "cannot name the trusted owner"
# The short event-log listing: a knob the doubles read from their folder (the engine gives its
# tools the system's environment, not the program's).
mkdir -p "$prefix/drive_c/skelda-doubles"
printf '[Doubles]\r\nSKELDA_DOUBLES_EVENT_LOGS=short\r\n' >"$prefix/drive_c/skelda-doubles/settings.ini"
bash "$source_dir/tests/fixtures/make-fixtures.sh" "$prefix" --no-empty-cbs-folder >/dev/null

# The shipped folder, with a blank and Chinese characters in its name.
product="$prefix/drive_c/Skelda 工具"
mkdir -p "$product"
cp -r "$dist"/TavlinSkelda.exe "$dist"/OrvaneSkelda.dll "$dist"/OrvaneMouseHook.dll \
      "$dist"/OrvaneFeedbackInformation.dll "$dist"/SkeldaCollect.exe "$dist"/7z "$product/"
archive_win='C:\收集 输出\信息收集.7z'
archive="$prefix/drive_c/收集 输出/信息收集.7z"
mkdir -p "$shots"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
drv() { skelda_wine "$driver" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
shot() { sleep "${2:-1}"; import -window root "$shots/$1.png" && echo "screenshot $1.png"; }
# click <ids of the dialog> <control id>: a real mouse click at the control's centre.
click() {
  local at
  at=$(drv centre "$1" "$2") || { fail "no control $2 in a window with $1"; return 1; }
  xdotool mousemove $at click 1
}
finish() {
  [ -n "${compositor:-}" ] && kill "$compositor" 2>/dev/null
  wineserver -k 2>/dev/null
  if [ "$failures" -gt 0 ]; then echo "$failures check(s) failed"; exit 1; fi
  echo "GUI end-to-end run passed"
  exit 0
}

# Soft shadows of the layered frames need a compositor.
if command -v xcompmgr >/dev/null; then
  xcompmgr >/dev/null 2>&1 &
  compositor=$!
fi

# A shipped library replaced (the feedback library, by one whose DllMain leaves a marker in a
# folder of its own) refuses the start: the program says so and ends, nothing was loaded, and
# no clean room is left.
decoy_product="$prefix/drive_c/Skelda 替换"
decoy_marks="$prefix/drive_c/skelda-decoy"
mkdir -p "$decoy_product" "$decoy_marks"
cp -r "$product"/. "$decoy_product/"
cp "$build/tests/DecoyLibrary.dll" "$decoy_product/OrvaneFeedbackInformation.dll"
skelda_wine "$decoy_product/TavlinSkelda.exe" >/dev/null 2>&1 &
decoy_program=$!
prompt=1006,1003
if drv wait $prompt 60; then
  text=$(drv text $prompt 1006)
  [ "$text" = "工具文件已被更改，为安全起见无法运行。请重新下载本工具。" ] || fail "the refusal says \"$text\""
  shot 00-replaced-library-refused 1
  click $prompt 1003
else
  fail "no refusal for a replaced library"
fi
wait "$decoy_program"
[ -z "$(ls -A "$decoy_marks")" ] || fail "the replaced library was loaded: $(ls "$decoy_marks")"
rooms_left() { find "$prefix/drive_c/windows/temp" -mindepth 1 -maxdepth 1 -name 'OrvaneSkelda-*' 2>/dev/null; }
[ -z "$(rooms_left)" ] || fail "a clean room was left: $(rooms_left)"
rm -rf "$decoy_product"

skelda_wine "$product/TavlinSkelda.exe" >/dev/null 2>&1 &
program=$!

usage=1014,1016,1017
drv wait $usage 60 || { fail "the usage terms did not appear"; finish; }
shot 01-usage-terms 2
click $usage 1017
shot 02-usage-terms-panel 2
click $usage 1017  # hides the panel again
sleep 1
click $usage 1016

main=1011,1009
drv wait $main 60 || { fail "the main window did not appear"; finish; }
shot 03-main-window 2
for id in $(seq 1019 1026); do
  [ "$(drv checked $main $id)" = 1 ] || fail "category box $id is not ticked"
done
drv settext $main 1009 "$archive_win" || fail "cannot set the save path"
shot 04-main-window-path 1
click $main 1011

if drv wait 1000 30; then
  shot 05-progress 1
else
  fail "no progress prompt"
fi
prompt=1006,1003
# The result prompt appears only once the progress prompt (its panel, 1000, and the frame that
# owns the panel) is off the screen.
drv alone $prompt 1000 900
case $? in
  0) ;;
  3) fail "the progress prompt is still on the screen behind the result prompt" ;;
  *) fail "no result prompt"; finish ;;
esac
text=$(drv text $prompt 1006)
[ "$text" = "收集系统信息成功！" ] || fail "result prompt says \"$text\""
shot 06-result-prompt 1
click $prompt 1003
drv gone $prompt 10 || fail "the result prompt stayed"

click $main 1005
feedback=1001,1002,1003
drv wait $feedback 30 || { fail "no feedback dialog"; finish; }
shot 07-feedback 1
click $feedback 1002

wait "$program"
status=$?
[ "$status" = 0 ] || fail "the program ended with status $status"

[ -f "$archive" ] || { fail "no archive at $archive"; finish; }
listing=$(7zz l -slt "$archive" | sed -n 's/^Path = //p' | tail -n +2)
for folder in CBS日志 INF日志 安装应用程序 操作系统 系统更新日志 系统日志 性能计数器 硬件; do
  grep -qx "$folder" <<<"$listing" || fail "the archive has no folder $folder"
done
echo "archive: $(wc -l <<<"$listing") entries"

# The program folder goes a few seconds after the program.
for _ in $(seq 1 30); do
  [ -e "$product" ] || break
  sleep 1
done
[ ! -e "$product" ] || fail "the program folder is still there: $(ls "$product")"
[ -z "$(rooms_left)" ] || fail "the clean room is still there: $(rooms_left)"
finish
