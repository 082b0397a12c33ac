#!/usr/bin/env bash
# Runs many complete updates of the virtual logger through the command-line
# tool, each with random faults of every kind the virtual logger knows at
# random exchanges, and checks after each one that
#   - exit 0 came exactly when the logger's flash equals the image and its
#     application runs (a failure is allowed with a good flash only when the
#     logger went wrong after the start command, where the tool cannot see
#     the new firmware answer);
#   - the tool ended by itself, without a crash, within its time;
#   - the closing message (the last line of stdout) belongs to the exit status;
#   - the port was released: no exclusive claim left, line settings as before.
#
#   bash scripts/soak.sh            # 30 updates (what CI runs)
#   bash scripts/soak.sh 1000       # a long soak
#   SOAK_SEED=1234 bash scripts/soak.sh 30   # the same faults again
#   SOAK_REPEATS=3 bash scripts/soak.sh 100  # repeats allowed per update (default 1)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-30}
seed=${SOAK_SEED:-$(( $(date +%s) % 32768 ))}
RANDOM=$seed
cli=build/cli/kelvry-update-cli
sim=build/tools/kelvry-logger-sim
if [[ ! -x $cli || ! -x $sim ]]; then
  bash scripts/install-deps.sh
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j"$(nproc)" --target kelvry-update-cli kelvry-logger-sim
fi

work=$(mktemp -d)
sim_pid=
cleanup() {
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The virtual logger's default identity takes the fourth built-in image.
grep -v '=' firmware/images/Kelvry_V2_92_PF15_PR56_BL3_0.upd | tr -d '\r' >"$work/image.hex"
data_lines=$(($(wc -l <"$work/image.hex") - 1))
# About the number of exchanges of a whole update: wake-ups, identification,
# erase, the data lines, the start and the identity query after it.
exchanges=$((data_lines + 20))

# The helpers below set variables instead of printing: a $(...) subshell
# would not advance this shell's random numbers, and SOAK_SEED would not
# repeat a run.

# An exchange into $exchange: mostly during identification and near the
# start command, where the tool's decisions are, else anywhere in the
# programming.
random_exchange() {
  case $((RANDOM % 4)) in
    0) exchange=$((1 + RANDOM % 20)) ;;
    1) exchange=$((exchanges - 25 + RANDOM % 30)) ;;
    *) exchange=$((1 + (RANDOM * 32768 + RANDOM) % exchanges)) ;;
  esac
}

reply_kinds=(drop truncate bad-checksum exception-bit exception-bit-bad-checksum corrupt-char)

# One random fault of the virtual logger, as its options, appended to $faults.
add_random_fault() {
  random_exchange
  local k=$exchange kind=${reply_kinds[RANDOM % ${#reply_kinds[@]}]} i
  case $((RANDOM % 10)) in
    0) faults+=" --drop-reply $k" ;;
    1) faults+=" --fault $k:$kind" ;;
    2) # A burst as long as the link's attempts: the exchange fails.
       for i in 0 1 2 3 4; do faults+=" --fault $((k + i)):$kind"; done ;;
    3) faults+=" --corrupt-echo $((RANDOM % data_lines))"
       if ((RANDOM % 3 == 0)); then faults+=" --corrupt-always"; fi ;;
    4) faults+=" --silent-from $k" ;;
    5) faults+=" --hang-up-at $k" ;;
    6) if ((RANDOM % 4 == 0)); then faults+=" --exception-bit"; else faults+=" --fault $k:exception-bit"; fi ;;
    7) if ((RANDOM % 4 == 0)); then faults+=" --wrong-class 0x6618"; else faults+=" --drop-reply $k"; fi ;;
    8) if ((RANDOM % 4 == 0)); then faults+=" --stay-in-application"; else faults+=" --fault $k:truncate"; fi ;;
    9) faults+=" --fault $k:corrupt-char" ;;
  esac
}

# The closing message each exit status must end with.
closing_pattern() {
  case $1 in
    0) echo '^Update Kelvry V2\.92 succesfully completed\.$' ;;
    10) echo '^Aborted because serial port ".*" is not ready!$' ;;
    11) echo '^Aborted because error when reading/writing to serial port!$' ;;
    20) echo '^Process cancelled!$' ;;
    30) echo '^Gave up after [0-9]+ repeats?: communication error!$' ;;
    40) echo '^Aborted because no update is available for this logger!$' ;;
    41) echo '^Aborted because the logger is not ready!$' ;;
    44) echo '^Gave up after [0-9]+ repeats?: programming error!$' ;;
    45) echo '^Update was not successfull!$' ;;
    46) echo '^Aborted because the logger transmitted an invalid answer!$' ;;
    47) echo '^There is no update available or the logger has another update ID!$' ;;
    *) echo '^$.' ;;  # no other status may end an update
  esac
}

# 0 when the tty's exclusive flag is clear (TIOCGEXCL; perl is part of every
# Debian system). Root gets past the flag, so it is read, not tried.
exclusive_flag_clear() {
  perl -MFcntl -e 'sysopen(my $f, $ARGV[0], O_RDWR|O_NOCTTY|O_NONBLOCK) or exit 2;
                   my $v = pack("i", 0); ioctl($f, 0x80045440, $v) or exit 3; exit(unpack("i", $v) ? 1 : 0)' "$1"
}

# The application runs when the logger's last change of program was a start.
application_runs() {
  local last
  last=$(grep -E 'start: application|bootloader jump: the bootloader runs|: erase$' "$1" | tail -n 1)
  [[ $last == *"start: application"* ]]
}

# A fault that struck after the last start: the tool cannot confirm the new
# firmware then, and may not claim success.
fault_after_start() {
  awk '/start: application/ {after = 1; hit = 0} after && /(fault injected|hanging up)/ {hit = 1} END {exit !hit}' "$1"
}

violations=0
echo "soak: $runs updates, SOAK_SEED=$seed"
for ((run = 1; run <= runs; run++)); do
  faults=
  add_random_fault
  if ((RANDOM % 3 == 0)); then add_random_fault; fi
  faults=${faults# }
  # Gone before the logger starts, so that the port line read below is
  # never the one of the run before.
  rm -f "$work/sim.out" "$work/flash.hex"
  # shellcheck disable=SC2086
  "$sim" $faults --flash-out "$work/flash.hex" >"$work/sim.out" 2>"$work/sim.log" &
  sim_pid=$!
  for _ in $(seq 50); do [[ -s $work/sim.out ]] && break; sleep 0.1; done
  port=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
  if [[ -z $port ]]; then
    echo "soak $run: the virtual logger did not start ($faults)" >&2
    violations=$((violations + 1))
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=
    continue
  fi
  settings_before=$(stty -g -F "$port" 2>/dev/null || true)

  status=0
  timeout -s KILL 300 "$cli" --port "$port" --yes --max-repeats "${SOAK_REPEATS:-1}" >"$work/out" 2>"$work/err" || status=$?

  problems=()
  if ! grep -q 'hanging up' "$work/sim.log"; then
    exclusive_flag_clear "$port" || problems+=("the port is still claimed exclusively")
    [[ $(stty -g -F "$port" 2>/dev/null) == "$settings_before" ]] || problems+=("the port's line settings were not put back")
  fi
  kill -INT "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" || true
  sim_pid=

  good=no
  if cmp -s "$work/flash.hex" "$work/image.hex" && application_runs "$work/sim.log" &&
     [[ $faults != *--wrong-class* ]]; then
    good=yes
  fi
  last_line=$(tail -n 1 "$work/out")
  if ((status == 0)) && [[ $good == no ]]; then problems+=("success claimed for a logger without the image running"); fi
  if ((status != 0)) && [[ $good == yes ]] && [[ $faults != *--silent-from* ]] && ! fault_after_start "$work/sim.log"; then
    problems+=("failure reported for a logger with the image running")
  fi
  if ((status == 137)); then problems+=("the tool did not end within 300 s"); fi
  grep -Eq "$(closing_pattern "$status")" <<<"$last_line" ||
    problems+=("closing message '$last_line' does not belong to exit status $status")

  printf 'soak %3d: %-60s exit %2d, image running: %-3s %s\n' "$run" "$faults" "$status" "$good" \
    "$( ((${#problems[@]})) && echo FAIL || echo ok)"
  if ((${#problems[@]})); then
    violations=$((violations + 1))
    printf '    %s\n' "${problems[@]}"
    sed 's/^/    tool: /' "$work/out" | tail -n 8
    sed 's/^/    logger: /' "$work/sim.log" | tail -n 8
  fi
done

echo "soak: $runs updates, $violations with a broken promise (SOAK_SEED=$seed)"
((violations == 0))
