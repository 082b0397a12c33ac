#!/usr/bin/env bash
# The window for Windows under Wine: cross-builds it against the cached Qt for
# Windows (scripts/build-windows-qt.sh), runs its window tests once, then
# updates the Linux virtual logger from kelvry-update.exe on a virtual X
# display, driven from the keyboard as a technician would, through a COM port
# that Wine maps onto the logger's pseudo-terminal; the logger's flash must
# equal the image. Then the same from an update file chosen in the window
# under "C:\Prüfung\Größe ä.upd", by the program and by its build without
# the UTF-8 code page. Ends with `windows window: N passed, N failed`.
set -uo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
start=$SECONDS

set -e
source scripts/build-windows-qt.sh --env
bash scripts/build-windows-qt.sh
set +e
sim=build/tools/kelvry-logger-sim
[[ -x $sim ]] || bash scripts/build.sh --target kelvry-logger-sim
sim=$repo/$sim
image=$repo/firmware/images/Kelvry_V2_92_PF15_PR56_BL3_0.upd  # what the logger's default identity gets
caption="Kelvry Firmware Update"

work=$(mktemp -d)
source tests/desktop/x_session.sh
logger_pid=""
# The internal mode, whose File button opens an update file: set in the
# Windows installation for the last step only.
internal_key='HKCU\Software\Dralmor\Tarvo'
internal_mode_off() { wine reg delete "$internal_key" /v intern /f >/dev/null 2>&1 || true; }
letters_folder=$WINEPREFIX/drive_c/Prüfung
cleanup() {
  [[ -n $logger_pid ]] && kill "$logger_pid" 2>/dev/null
  internal_mode_off
  rm -rf "$letters_folder"
  wineserver -k >/dev/null 2>&1 || true  # this prefix's server only
  end_x_session
  rm -f "$WINEPREFIX/dosdevices/com7" "$WINEPREFIX/dosdevices/com8"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

source scripts/checks.sh

# Every Wine program of this script shows on one X display: Wine's desktop
# process takes the display of the first program its server starts.
start_x_session 1280x1024 "$work" || exit 1
wineserver -p >/dev/null 2>&1
internal_mode_off  # left over from a run that was stopped

# On Qt's own Windows platform, not offscreen: Qt's offscreen platform has
# no font database on Windows and draws every glyph as a box one em wide
# (at 9 pt "Update" is 72 pixels wide and a line 12 pixels high), which no
# window laid out for real fonts can hold. The windows show on the X display.
echo "== the window's tests under Wine, on Qt's Windows platform"
tests_status=0
timeout --kill-after=10 300 \
  wine "$qt_build/tests/ui/kelvry_ui_tests.exe" -platform windows >"$work/ui-tests.log" 2>&1 || tests_status=$?
sed -i 's/\r$//' "$work/ui-tests.log"
grep -E '^\[  FAILED  \]' "$work/ui-tests.log" | sort -u
grep -E '^\[==========\] .* ran|^\[  PASSED  \]' "$work/ui-tests.log"
check "the window's tests pass under Wine (exit $tests_status)" test "$tests_status" -eq 0

echo "== kelvry-update.exe updates the virtual logger from the keyboard"
"$sim" --quiet --flash-out "$work/flash.hex" >"$work/sim.out" &
logger_pid=$!
wait_for 10 grep -q . "$work/sim.out" || { echo "the virtual logger did not start" >&2; exit 1; }
ln -sfn "$(head -n1 "$work/sim.out")" "$WINEPREFIX/dosdevices/com7"

window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 | grep .; }
flash_is_the_image() { diff -q <(tail -n +9 "$image" | tr -d '\r' | sort) <(tr -d '\r' <"$work/flash.hex" | sort); }

wine "$qt_build/ui/kelvry-update.exe" >"$work/window.log" 2>&1 &
check "the window opens" wait_for 60 window_named "^$caption\$"
if ((check_ok)); then
  main=$(window_named "^$caption\$")
  xdotool windowactivate --sync "$main" >/dev/null 2>&1
  sleep 1
  # The port box has the focus from the start; what it shows is replaced.
  xdotool key ctrl+a
  xdotool type --delay 20 COM7
  xdotool key Tab Return
  check "Update asks its question" wait_for 20 window_named '^Confirm$'
  if ((check_ok)); then
    xdotool key Return  # Yes is the default of the update question
    check "the closing message shows" wait_for 240 window_named '^Information$'
    check "the logger holds the firmware image" flash_is_the_image
  fi
fi

echo "== the bench window takes a COM port that appears during the run"
# No USB port at the start; then a logger mapped as COM8 and entered in the
# registry's serial-port map, as Windows does on plug-in.
wineserver -k >/dev/null 2>&1
kill "$logger_pid" 2>/dev/null
rm -f "$WINEPREFIX/dosdevices/com7" "$WINEPREFIX/dosdevices/com8"
for device in VCP0 VCP1; do
  wine reg delete 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v "\\Device\\$device" /f >/dev/null 2>&1 || true
done
mkdir -p "$work/records"
records=$(winepath -w "$work/records" 2>/dev/null)
wine "$qt_build/ui/kelvry-update.exe" --bench --expect 1 --yes --log-dir "$records" >"$work/bench.log" 2>&1 &
bench_pid=$!
check "the bench window opens" wait_for 60 window_named '^Kelvry Bench$'
sleep 2  # the bench runs and sees no logger yet
"$sim" --quiet --flash-out "$work/bench-flash.hex" >"$work/sim2.out" &
logger_pid=$!
wait_for 10 grep -q . "$work/sim2.out" || { echo "the virtual logger did not start" >&2; exit 1; }
ln -sfn "$(head -n1 "$work/sim2.out")" "$WINEPREFIX/dosdevices/com8"
wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\VCP1' /t REG_SZ /d COM8 /f >/dev/null 2>&1
# A case report is begun when the bench starts and whole once it is ended.
case_report() { grep -l '^Ended: ' "$work"/records/case_*.txt 2>/dev/null | head -n1 | grep .; }
check "the case report is written once the logger is done" wait_for 240 case_report
if ((check_ok)); then
  report=$(case_report)
  sed -i 's/\r$//' "$report"
  check "the case report names COM8 and its result" \
    grep -q 'Result: 0 Update Kelvry V2.92 succesfully completed.' "$report"
  check "the case report names COM8" grep -q 'COM8' "$report"
  check "the logger's report file is there" bash -c "ls '$work/records' | grep -q 'COM8.log\$'"
  check "the logger updated by the bench holds the image" \
    diff -q <(tail -n +9 "$image" | tr -d '\r' | sort) <(tr -d '\r' <"$work/bench-flash.hex" | sort)
  check "the bench window stays open showing the result" window_named '^Kelvry Bench$'
fi
kill "$bench_pid" 2>/dev/null
rm -f "$WINEPREFIX/dosdevices/com8"

echo "== an update file named with letters outside the ANSI code page, chosen in the window"
# Windows before 10 version 1903 (8.1, LTSC 2019) ignores the manifest's
# UTF-8 code page and runs the program in the ANSI one, where "Größe" is
# other bytes than in UTF-8: kelvry-update-ansi.exe is the same program
# without that entry. The window hands the path to the reader in UTF-8 and
# the reader opens it through the wide calls; both programs must update the
# logger from the file. Each runs from C:\Prüfung, where its file dialog
# opens, so that only the file's name is typed; on a German keyboard, whose
# keys hold those letters: a letter that xdotool has to map onto a spare key
# first can be lost while Wine reads the new map.
wineserver -k >/dev/null 2>&1
kill "$logger_pid" 2>/dev/null
mkdir -p "$letters_folder"
cp "$image" "$letters_folder/Größe ä.upd"
wine reg add "$internal_key" /v intern /t REG_DWORD /d 7319 /f >/dev/null 2>&1
setxkbmap -layout de
active_window_is_not() { [[ $(xdotool getactivewindow 2>/dev/null) != "$1" ]]; }
job_ended() { window_named '^Information$' || window_named '^Error'; }
closing_message_shows() { window_named '^Information$' >/dev/null; }
update_from_file_with_letters() {
  local program=$1 flash=$work/letters-$1.hex
  cp "$qt_build/ui/$program.exe" "$letters_folder/"
  "$sim" --quiet --flash-out "$flash" >"$work/sim-$program.out" &
  logger_pid=$!
  wait_for 10 grep -q . "$work/sim-$program.out" || { echo "the virtual logger did not start" >&2; exit 1; }
  ln -sfn "$(head -n1 "$work/sim-$program.out")" "$WINEPREFIX/dosdevices/com7"
  wine "$letters_folder/$program.exe" f:+ >"$work/$program.log" 2>&1 &
  check "$program: the window opens" wait_for 60 window_named "^$caption\$"
  if ((check_ok)); then
    main=$(window_named "^$caption\$")
    xdotool windowactivate --sync "$main" >/dev/null 2>&1
    sleep 1
    xdotool key ctrl+a
    xdotool type --delay 20 COM7
    xdotool key alt+f  # the File button of the internal mode
    check "$program: File opens the file dialog" wait_for 20 active_window_is_not "$main"
    sleep 2
    xdotool type --delay 50 'Größe ä.upd'
    xdotool key Return
    check "$program: the job ends" wait_for 240 job_ended
    check "$program: it ends with the closing message, not an error" closing_message_shows
    check "$program: the logger holds the image of C:\Prüfung\Größe ä.upd" \
      diff -q <(tail -n +9 "$image" | tr -d '\r' | sort) <(tr -d '\r' <"$flash" | sort)
  fi
  wineserver -k >/dev/null 2>&1
  kill "$logger_pid" 2>/dev/null
  rm -f "$WINEPREFIX/dosdevices/com7"
}
update_from_file_with_letters kelvry-update
update_from_file_with_letters kelvry-update-ansi
setxkbmap -layout us
internal_mode_off
rm -rf "$letters_folder"

echo "Wine window step: $((SECONDS - start)) s"
checks_summary "windows window"
