# Starts and drives kelvry-update and the virtual logger on the X session
# of x_session.sh. Source it after setting $app, $logger, $caption and $work;
# stop_programs ends what was started.

programs=()
stop_programs() {
  local pid
  for pid in "${programs[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${programs[@]}"; do wait "$pid" 2>/dev/null || true; done
  programs=()
}

# Starts the virtual logger with the given options; sets $port.
start_logger() {
  : >"$work/logger.out"
  "$logger" --quiet "$@" >"$work/logger.out" 2>"$work/logger.err" &
  programs+=($!)
  wait_for 10 grep -q . "$work/logger.out" || { echo "the virtual logger did not start" >&2; return 1; }
  port=$(head -1 "$work/logger.out")
}

# Starts the window, in internal mode with "internal", with a settings folder
# of its own; after the mode, VAR=value words set its environment and other
# words are its command line. Sets $main (its X window) and $app_pid.
start_window() {
  local mode=$1 word
  shift
  local environment=() arguments=()
  for word in "$@"; do
    if [[ $word == *=* ]]; then environment+=("$word"); else arguments+=("$word"); fi
  done
  local config
  config=$(mktemp -d "$work/config.XXXX")
  mkdir -p "$config/Dralmor"
  [[ $mode == internal ]] && printf '[General]\nintern=7319\n' >"$config/Dralmor/Tarvo.conf"
  env XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$work" "${environment[@]}" "$app" "${arguments[@]}" \
    >"$work/window.log" 2>&1 &
  app_pid=$!
  programs+=($app_pid)
  wait_for 15 window_named "^$caption\$" || { echo "the window did not open" >&2; cat "$work/window.log" >&2; return 1; }
  main=$(window_named "^$caption\$")
  wait_for 5 framed "$main"
}

# The program's visible X window with a title matching the pattern.
window_named() { xdotool search --all --onlyvisible --pid "$app_pid" --name "$1" 2>/dev/null | head -1 | grep .; }
no_window_named() { ! window_named "$1"; }
framed() { xprop -id "$1" _NET_FRAME_EXTENTS | grep -q =; }
title_of() { xdotool getwindowname "$1"; }
is_active() { [[ $(xdotool getactivewindow) == "$1" ]]; }
is_viewable() { xwininfo -id "$1" | grep -q IsViewable; }
percent_in_title() { title_of "$main" | grep -Eq '^[0-9]+%$'; }
percent_above() { local p; p=$(title_of "$main" | tr -dc 0-9); [[ -n $p && $p -gt $1 ]]; }

# The outer frame of a window, as the user sees it: left top right bottom
# (right and bottom just outside).
frame_of() {
  local x y w h l r t b
  read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
  read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  echo $((x - l)) $((y - t)) $((x + w + r)) $((y + h + b))
}

# Types the logger's port into the box, which has the focus from the start,
# and presses Update with Tab and Return.
type_port_and_update() {
  xdotool type --delay 5 "$port"
  xdotool key Tab Return
}

