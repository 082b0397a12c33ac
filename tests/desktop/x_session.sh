# A private X server with a window manager, for the desktop suite and the
# README's pictures: Xvfb picks a free display itself, openbox runs on it,
# and both end with the calling script. Source this file, then call
# start_x_session WIDTHxHEIGHT.

x_session_pids=()

end_x_session() {
  local pid
  for pid in "${x_session_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${x_session_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  x_session_pids=()
}

# Runs a command until it succeeds, for at most $1 seconds.
wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

start_x_session() {
  local screen=$1 work=$2
  local display_file=$work/display
  : >"$display_file"
  Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$display_file" 2>"$work/xvfb.log" &
  x_session_pids+=($!)
  wait_for 10 grep -q . "$display_file" || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; return 1; }
  export DISPLAY=":$(head -1 "$display_file")"
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  x_session_pids+=($!)
  wait_for 10 wmctrl -m || { echo "openbox did not start" >&2; cat "$work/openbox.log" >&2; return 1; }
}
