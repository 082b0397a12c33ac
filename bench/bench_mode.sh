#!/bin/bash
# Bench mode's wall time: a virtual bench of four loggers plugged in one
# after another (3 s apart, as --bench --simulate 4 does) against one
# virtual logger updated alone (--simulate), and the CPU time of the whole
# process for each. The virtual loggers answer at once, so an update takes
# its fixed pauses (about 5 s) instead of the 11 minutes of a real line: what
# shows is what the bench adds (plug-in spacing, settle time, the poll of the
# port list), not the line.
#
# Run: bash bench/bench_mode.sh [BUILD]   (default build/; about half a minute)
set -euo pipefail

build=${1:-build}
cli=$build/cli/kelvry-update-cli

# Wall seconds, then user + system CPU seconds, of one run of the tool.
measure() {
  local start=$EPOCHREALTIME
  local file times
  file=$(mktemp)
  /usr/bin/time -o "$file" -f '%U %S' "$cli" "$@" >/dev/null 2>&1
  local end=$EPOCHREALTIME
  times=$(tail -1 "$file")
  rm -f "$file"
  awk -v s="$start" -v e="$end" -v t="$times" 'BEGIN { split(t, c, " "); printf "%.1f %.2f\n", e - s, c[1] + c[2] }'
}

read -r one oneCpu < <(measure --simulate --yes)
read -r four fourCpu < <(measure --bench --simulate 4 --expect 4 --yes)
echo "one logger alone (--simulate):          wall ${one} s, CPU ${oneCpu} s"
echo "bench of 4, plugged 3 s apart (--bench): wall ${four} s, CPU ${fourCpu} s"
awk -v a="$one" -v b="$four" 'BEGIN { printf "bench of 4 against one alone: %.2f times the wall time (plugging alone spreads the starts over 9 s)\n", b / a }'
