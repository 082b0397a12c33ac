#!/bin/bash
# Start to mapped window: the time from starting kelvry-update to the X
# server's MapNotify for its main window, on a private Xvfb with openbox,
# measured by bench/map_time.cpp (exact to the event, no polling).
#
# Run: bash bench/window_start.sh [BUILD] [RUNS]   (default build/, 7 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-7}
work=$(mktemp -d)
source tests/desktop/x_session.sh
trap 'end_x_session; rm -rf "$work"' EXIT
start_x_session 1280x1024 "$work"
export XDG_CONFIG_HOME=$work/config  # no settings of the developer's own

times=()
for ((i = 0; i < runs; i++)); do
  times+=("$("$build/bench/kelvry_map_time" "$build/ui/kelvry-update")")
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start to mapped window, $runs runs (µs): ${times[*]}"
echo "median $((sorted[runs / 2] / 1000)) ms, best $((sorted[0] / 1000)) ms, worst $((sorted[runs - 1] / 1000)) ms"
