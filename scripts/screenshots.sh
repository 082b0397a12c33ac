#!/usr/bin/env bash
# Draws the README's pictures of the desktop window as a user sees it, on an
# X server with a window manager (Xvfb and openbox): a complete update of the
# virtual logger driven by the keyboard, in normal mode
# (docs/screenshot-normal.png) and in internal mode with update files and the
# report docked below (docs/screenshot-internal.png). Needs no display.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh --target kelvry-update kelvry-logger-sim
build=build
app=$build/ui/kelvry-update
logger=$build/tools/kelvry-logger-sim
caption="Kelvry Firmware Update"
mkdir -p docs

work=$(mktemp -d)
source tests/desktop/x_session.sh
source tests/desktop/window_driver.sh
trap 'stop_programs; end_x_session; rm -rf "$work"' EXIT
# A time-out or Ctrl-C ends the script through its exit, so the X server and
# the programs end too.
trap 'exit 143' TERM INT
start_x_session 1024x768 "$work"

# The smallest rectangle around the outer frames of the given windows, as
# WIDTHxHEIGHT+LEFT+TOP.
outline_of() {
  local left=100000 top=100000 right=0 bottom=0 l t r b id
  for id in "$@"; do
    read -r l t r b < <(frame_of "$id")
    ((l < left)) && left=$l
    ((t < top)) && top=$t
    ((r > right)) && right=$r
    ((b > bottom)) && bottom=$b
  done
  echo "$((right - left))x$((bottom - top))+$left+$top"
}

# One update through the window; the picture shows it after the closing
# message was read.
picture() {
  local file=$1 mode=$2
  shift 2
  start_logger
  start_window "$mode" "$@"
  local windows=("$main")
  if [[ $mode == internal ]]; then
    wait_for 10 window_named '^Report$'
    windows+=("$(window_named '^Report$')")
  fi
  type_port_and_update
  if [[ $mode == normal ]]; then
    wait_for 10 window_named '^Confirm$'
    xdotool key Return
  fi
  wait_for 90 window_named '^Information$' || { echo "the update did not finish" >&2; return 1; }
  xdotool key Return
  wait_for 5 no_window_named '^Information$'
  sleep 0.5
  import -window root -crop "$(outline_of "${windows[@]}")" +repage "$file"
  stop_programs
  echo "wrote $file"
}

picture docs/screenshot-normal.png normal
picture docs/screenshot-internal.png internal f:+
