#!/usr/bin/env bash
# The desktop window on a real X server with a window manager: kelvry-update
# runs under Xvfb and openbox against the virtual logger and is driven as a
# technician drives it, by keyboard (xdotool) and through the window manager
# (wmctrl). These cases need what the offscreen window tests cannot have:
# window frames, the keyboard focus between windows, close requests.
# Usage: tests/desktop/run.sh [BUILD_DIR]   (default: build)
set -uo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
app=$build/ui/kelvry-update
logger=$build/tools/kelvry-logger-sim
image=firmware/images/Kelvry_V2_92_PF15_PR56_BL3_0.upd  # what the logger's default identity gets
caption="Kelvry Firmware Update"
# Room for the window at three times its size (a scale factor of 2 and a
# font resolution of 144 dots per inch).
screen=1920x1080

for program in "$app" "$logger"; do
  [[ -x $program ]] || { echo "missing $program: build it first" >&2; exit 2; }
done

work=$(mktemp -d)
# The bench window keeps records in the user's data folder by default: the
# tests' records stay in the work folder, not in the user's.
export XDG_DATA_HOME=$work/data
source tests/desktop/x_session.sh
source tests/desktop/window_driver.sh
trap 'stop_programs; end_x_session; rm -rf "$work"' EXIT
# A time-out or Ctrl-C ends the script through its exit, so the X server and
# the programs end too.
trap 'exit 143' TERM INT
start_x_session "$screen" "$work" || exit 1

# --- checks ------------------------------------------------------------------

case_failed=0
check() {
  local what=$1
  shift
  if ! "$@"; then
    echo "    not so: $what"
    case_failed=1
  fi
}
within() { local seconds=$1 what=$2; shift 2; wait_for "$seconds" "$@" || { echo "    not within ${seconds}s: $what"; case_failed=1; return 1; }; }

flash_is_the_image() { diff -q <(tail -n +9 "$image" | tr -d '\r' | sort) <(tr -d '\r' <"$work/flash.hex" | sort); }

# --- the cases -----------------------------------------------------------------

keyboard_only_update() {
  start_logger --flash-out "$work/flash.hex" || return 1
  start_window normal || return 1
  within 5 "the main window has the focus" is_active "$main"
  type_port_and_update
  within 10 "Update asks its question" window_named '^Confirm$' || return 1
  xdotool key Return  # Yes is the default of the update question
  within 90 "the closing message shows" window_named '^Information$' || return 1
  check "the title has no percentage left" test "$(title_of "$main")" == "$caption"
  check "the logger holds the firmware image" flash_is_the_image
  xdotool key Return  # OK
  within 5 "Return closes the message" no_window_named '^Information$'
}

report_window_on_a_desktop() {
  start_window internal || return 1
  within 10 "the report shows" window_named '^Report$' || return 1
  local report
  report=$(window_named '^Report$')
  within 5 "the report is framed" framed "$report" || return 1
  check "the main window keeps the focus" is_active "$main"
  read -r ml mt mr mb < <(frame_of "$main")
  read -r rl rt rr rb < <(frame_of "$report")
  check "report frame ($rl,$rt) just below the main frame ($ml,$mb)" test "$rl,$rt" == "$ml,$mb"
  check "report as wide as the main window" test $((rr - rl)) -eq $((mr - ml))

  wmctrl -i -c "$report"
  sleep 1
  check "the report survives the window manager's close request" is_viewable "$report"
  xdotool windowactivate --sync "$report" >/dev/null 2>&1
  xdotool key alt+F4
  sleep 1
  check "the report survives Alt+F4" is_viewable "$report"
  check "the main window stays" is_viewable "$main"
}

large_scale_stays_on_the_screen() {
  start_window internal QT_SCALE_FACTOR=2 QT_FONT_DPI=144 || return 1
  within 10 "the report shows" window_named '^Report$' || return 1
  local report height
  report=$(window_named '^Report$')
  within 5 "the report is framed" framed "$report" || return 1
  sleep 0.5
  height=${screen#*x}
  read -r ml mt mr mb < <(frame_of "$main")
  read -r rl rt rr rb < <(frame_of "$report")
  check "main frame on the screen (top $mt)" test "$mt" -ge 0
  check "report frame (top $rt) not over the main frame (bottom $mb)" test "$rt" -ge "$mb"
  check "report frame (bottom $rb) on the screen (height $height)" test "$rb" -le "$height"
}

report_goes_with_the_minimised_window() {
  start_window internal || return 1
  within 10 "the report shows" window_named '^Report$' || return 1
  local report
  report=$(window_named '^Report$')
  within 5 "the report is framed" framed "$report" || return 1
  xdotool windowminimize "$main"
  within 5 "the report goes with the minimised main window" no_window_named '^Report$'
  wmctrl -i -a "$main"  # restored from the task list
  within 5 "the main window comes back" is_viewable "$main" || return 1
  within 5 "the report comes back" window_named '^Report$' || return 1
  report=$(window_named '^Report$')
  within 5 "the report is framed again" framed "$report" || return 1
  sleep 0.5
  read -r ml mt mr mb < <(frame_of "$main")
  read -r rl rt rr rb < <(frame_of "$report")
  check "report frame ($rl,$rt) just below the main frame ($ml,$mb) again" test "$rl,$rt" == "$ml,$mb"
}

overview_leaves_the_report_title_free() {
  start_window internal || return 1
  within 10 "the report shows" window_named '^Report$' || return 1
  local report overview
  report=$(window_named '^Report$')
  within 5 "the report is framed" framed "$report" || return 1
  within 5 "the main window has the focus" is_active "$main"
  xdotool key alt+i f  # Info > Firmware
  within 10 "the overview opens" window_named '^Overview$' || return 1
  overview=$(window_named '^Overview$')
  within 5 "the overview is framed" framed "$overview" || return 1
  sleep 0.5
  read -r ml mt mr mb < <(frame_of "$main")
  read -r ol ot or ob < <(frame_of "$overview")
  read -r rl rt rr rb < <(frame_of "$report")
  check "overview frame ($ol,$ot) at the main frame's corner ($ml,$mt)" test "$ol,$ot" == "$ml,$mt"
  check "overview frame (bottom $ob) as tall as the main frame (bottom $mb)" test "$ob" -eq "$mb"
  check "overview frame (bottom $ob) not over the report's title bar (top $rt)" test "$ob" -le "$rt"
  xdotool key Return  # OK
  within 5 "Return closes the overview" no_window_named '^Overview$'
}

cancel_from_the_keyboard() {
  start_logger --baud 9600 --flash-out "$work/flash.hex" || return 1
  start_window internal || return 1
  within 5 "the main window has the focus" is_active "$main"
  type_port_and_update
  within 60 "the update makes progress" percent_in_title || return 1
  # The focus went to Cancel, but the keys that press a focused button do
  # not cancel there: only Escape, Alt+C or a click do.
  xdotool key Return space
  sleep 1
  check "Return and Space do not cancel" no_window_named '^Information$'
  xdotool key alt+c
  within 30 "the closing message shows" window_named '^Information$' || return 1
  local message
  message=$(window_named '^Information$')
  within 5 "the message is framed" framed "$message" || return 1
  # The first message of the session: inside the main window's frame, 10
  # pixels in from its sides, its bottom 10 pixels above the main window's.
  read -r ml mt mr mb < <(frame_of "$main")
  read -r sl st sr sb < <(frame_of "$message")
  check "message frame ($sl..$sr, bottom $sb) 10 px inside the main frame ($ml..$mr, bottom $mb)" \
    test "$sl,$sr,$sb" == "$((ml + 10)),$((mr - 10)),$((mb - 10))"
  check "the logger was never started" test ! -e "$work/flash.hex"
  check "the title is the caption again" test "$(title_of "$main")" == "$caption"
}

close_during_update_answered_with_enter() {
  start_logger --baud 38400 || return 1
  start_window internal || return 1
  type_port_and_update
  within 60 "the update makes progress" percent_in_title || return 1
  local before
  before=$(title_of "$main" | tr -dc 0-9)
  wmctrl -i -c "$main"
  within 10 "closing asks its question" window_named '^Confirm$' || return 1
  xdotool key Return  # a reflexive Enter: No is the default
  within 5 "the question goes" no_window_named '^Confirm$'
  check "the window stays" is_viewable "$main"
  within 60 "the update goes on past $before%" percent_above "$before"
  xdotool key Escape  # cancels; Return on the focused Cancel would not
  within 30 "the update ends when cancelled" window_named '^Information$'
}

question_goes_away_when_the_update_ends() {
  # Fast enough to end within the wait below, slow enough to ask first.
  start_logger --baud 230400 --flash-out "$work/flash.hex" || return 1
  start_window internal || return 1
  type_port_and_update
  within 60 "the update makes progress" percent_in_title || return 1
  wmctrl -i -c "$main"
  within 10 "closing asks its question" window_named '^Confirm$' || return 1
  # Nobody answers; the update ends meanwhile.
  within 120 "the closing message shows" window_named '^Information$' || return 1
  check "the question went away" no_window_named '^Confirm$'
  check "the window stays" is_viewable "$main"
  check "the logger holds the firmware image" flash_is_the_image
  xdotool key Return  # OK
  within 5 "Return closes the message" no_window_named '^Information$'
  check "the window still stays" is_viewable "$main"
}

bench_from_the_keyboard() {
  mkdir -p "$work/records"
  caption="Kelvry Bench" start_window normal --bench --simulate 3 --log-dir "$work/records" || return 1
  within 5 "the bench window has the focus" is_active "$main"
  # The focus rests on Start: stray keys start nothing.
  xdotool key Return space KP_Enter
  sleep 1
  check "Return and Space on Start ask nothing" no_window_named '^Confirm$'
  xdotool key alt+s
  within 10 "Start asks its question" window_named '^Confirm$' || return 1
  xdotool key Return  # No is the default: nothing starts
  within 5 "Return answers No" no_window_named '^Confirm$'
  check "no record was begun" bash -c "! ls '$work/records' | grep -q ."
  xdotool key alt+s
  within 10 "Start asks again" window_named '^Confirm$' || return 1
  xdotool key Tab Return  # from No to Yes
  # A case report is begun at Start and whole once it is ended.
  case_report() { grep -l '^Ended: ' "$work"/records/case_*.txt 2>/dev/null | head -n1 | grep .; }
  within 90 "the case report is written once three loggers are done" case_report || return 1
  check "the case report has three updated loggers" \
    test "$(grep -c '^ *Result: 0 Update Kelvry V2.92 succesfully completed.' "$(case_report)")" -eq 3
  check "the bench window stays showing the result" is_viewable "$main"
}

cases=(bench_from_the_keyboard keyboard_only_update report_window_on_a_desktop large_scale_stays_on_the_screen
  report_goes_with_the_minimised_window overview_leaves_the_report_title_free
  cancel_from_the_keyboard close_during_update_answered_with_enter question_goes_away_when_the_update_ends)
failed=()
for name in "${cases[@]}"; do
  echo "== $name"
  rm -f "$work/flash.hex"
  case_failed=0
  started=$SECONDS
  "$name" || case_failed=1
  stop_programs
  if ((case_failed)); then
    failed+=("$name")
    echo "   FAILED ($((SECONDS - started)) s)"
  else
    echo "   ok ($((SECONDS - started)) s)"
  fi
done

if ((${#failed[@]})); then
  echo "desktop cases failed: ${failed[*]}"
  exit 1
fi
echo "all ${#cases[@]} desktop cases passed"
