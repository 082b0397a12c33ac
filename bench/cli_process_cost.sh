#!/bin/bash
# What the whole kelvry-update-cli process costs while it waits on a line,
# and how soon it ends after a signal:
#  - CPU seconds (user + system) of one complete update of a virtual logger
#    (kelvry-logger-sim, a separate process) at each emulated baud rate given,
#    and the process's voluntary context switches (each one a sleep in poll
#    or a wait that a wake-up ended) and involuntary ones (the core taken
#    away by the scheduler), and with perf its system calls: where an
#    untraced update's CPU goes,
#  - the time from SIGINT to the process's end, sent during the 4 s pause in
#    which the logger restarts (median and worst of RUNS runs).
#
# Run: bash bench/cli_process_cost.sh [BUILD] [BAUD ...]
#      (default build/, 115200 9600; at 9600 baud an update takes about 11 min)
#      RUNS=20 sets the number of signal runs (default 10; 0: none).
set -euo pipefail

build=${1:-build}
shift || true
bauds=("$@")
[ ${#bauds[@]} -eq 0 ] && bauds=(115200 9600)
cli=$build/cli/kelvry-update-cli
sim=$build/tools/kelvry-logger-sim
runs=${RUNS:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work  # no developer's internal mode

# Starts a virtual logger; sets sim_pid and sim_port.
start_sim() {
  coproc SIM { exec "$sim" --quiet "$@"; }
  sim_pid=$SIM_PID
  read -r sim_port <&"${SIM[0]}"
}

stop_sim() {
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
}

# System calls are counted by the kernel's tracepoint through perf, which
# does not stop the process as a tracer (strace) does; without perf, or
# without the right to use it, they are left out.
count_calls=()
if perf stat -x, -e raw_syscalls:sys_enter -o /dev/null true >/dev/null 2>&1; then
  count_calls=(perf stat -x, -e raw_syscalls:sys_enter -o "$work/calls")
fi

echo "CPU of kelvry-update-cli for one complete update (user + system) and its context switches:"
for baud in "${bauds[@]}"; do
  start_sim --baud "$baud"
  "${count_calls[@]}" /usr/bin/time -o "$work/time" -f '%U %S %e %w %c' \
    "$cli" --port "$sim_port" --yes >/dev/null 2>&1 || true
  stop_sim
  read -r user system wall voluntary involuntary <"$work/time"
  printf '  %6s baud: %.2f s CPU (%.2f user + %.2f system) in %.1f s, %d voluntary + %d involuntary switches' \
    "$baud" "$(echo "$user + $system" | bc)" "$user" "$system" "$wall" "$voluntary" "$involuntary"
  if [ ${#count_calls[@]} -gt 0 ]; then
    printf ', %d system calls' "$(grep -v '^#' "$work/calls" | grep sys_enter | cut -d, -f1)"
  fi
  printf '\n'
done

[ "$runs" -gt 0 ] || exit 0
echo "SIGINT during the restart pause to the process's end ($runs runs):"
: >"$work/exits"
for ((i = 0; i < runs; i++)); do
  start_sim
  "$cli" --port "$sim_port" --yes >"$work/out" 2>/dev/null &
  pid=$!
  until grep -q "Vector table is programmed." "$work/out" 2>/dev/null; do sleep 0.01; done
  sleep 1.5  # past the 0.5 s before the start command, inside the 4 s restart pause
  start=$(date +%s%N)
  kill -INT "$pid"
  wait "$pid" || true
  end=$(date +%s%N)
  stop_sim
  tail -n 1 "$work/out" | grep -q "cancelled" || echo "  run $i: not cancelled: $(tail -n 1 "$work/out")"
  echo $(((end - start) / 1000)) >>"$work/exits"
done
sort -n "$work/exits" | awk '{ v[NR] = $1 } END {
  printf "  median %.1f ms, worst %.1f ms\n", v[int((NR + 1) / 2)] / 1000, v[NR] / 1000 }'
