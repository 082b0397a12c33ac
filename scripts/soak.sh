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
#
# With --ports N, each run updates 2 to N virtual loggers at once through
# one tool, as a service bench does, with --json and --log-dir: each logger
# gets random faults, stays silent or vanishes mid-update (its process is
# killed), and now and then the tool gets SIGINT, SIGTERM, SIGHUP or SIGQUIT.
# Checked after each run, besides the promises above for every logger:
#   - exit 0 only when every logger's flash equals the image and runs, else
#     80 (several loggers, not all updated);
#   - each port's status agrees in its JSON result, the summary table and
#     its report file, and its closing message belongs to it; every JSON line
#     is valid and each port has exactly one result;
#   - each report file is complete: its port first, its result and duration
#     last;
#   - every port that still exists was released.
#
#   bash scripts/soak.sh            # 30 updates (what CI runs)
#   bash scripts/soak.sh 1000       # a long soak
#   bash scripts/soak.sh --ports 3 24   # 24 runs of 2 or 3 loggers at once (what CI runs)
#   SOAK_SEED=1234 bash scripts/soak.sh 30   # the same faults again
#   SOAK_REPEATS=3 bash scripts/soak.sh 100  # repeats allowed per update (default 1)
set -euo pipefail
cd "$(dirname "$0")/.."

max_ports=1
if [[ ${1:-} == --ports ]]; then
  max_ports=${2:?--ports needs the most loggers a run updates at once}
  ((max_ports >= 2)) || { echo "soak: --ports takes 2 or more" >&2; exit 2; }
  shift 2
fi
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
sim_pids=()
cleanup() {
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null || true
  for pid in "${sim_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
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
echo_parts=(first-data middle-data last-data address type length)

# One random fault of the virtual logger, as its options, appended to $faults.
add_random_fault() {
  random_exchange
  local k=$exchange kind=${reply_kinds[RANDOM % ${#reply_kinds[@]}]} i
  case $((RANDOM % 10)) in
    0) faults+=" --drop-reply $k" ;;
    1) faults+=" --fault $k:$kind" ;;
    2) # A burst as long as the link's attempts: the exchange fails.
       for i in 0 1 2 3 4; do faults+=" --fault $((k + i)):$kind"; done ;;
    3) faults+=" --corrupt-echo $((RANDOM % data_lines)) --corrupt-part ${echo_parts[RANDOM % ${#echo_parts[@]}]}"
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
    21) echo '^The logger was restarted with the new firmware; the final check was skipped because the process was cancelled\.$' ;;
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

# One update of one logger through --port.
single_run() {
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
    return
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
}

# Starts virtual logger $1 with the faults in $faults; its port into
# ports[$1], nothing when it did not start.
start_fleet_logger() {
  local i=$1
  rm -f "$work/sim$i.out" "$work/flash$i.hex"
  # shellcheck disable=SC2086
  "$sim" $faults --flash-out "$work/flash$i.hex" >"$work/sim$i.out" 2>"$work/sim$i.log" &
  sim_pids[i]=$!
  for _ in $(seq 50); do [[ -s $work/sim$i.out ]] && break; sleep 0.1; done
  ports[i]=$(head -n 1 "$work/sim$i.out" 2>/dev/null || true)
}

# Each port's notifications and result from the JSON lines, checked by
# perl's own JSON reader: "BAD n" for a line that is no JSON object,
# "RESULT port status text" and "MESSAGE port text" (the closing messages).
json_facts() {
  perl -MJSON::PP -ne '
    BEGIN { $j = JSON::PP->new }
    chomp; my $o = eval { $j->decode($_) };
    if (ref $o ne "HASH" || !defined $o->{port}) { print "BAD $.\n"; next }
    if ($o->{result}) { print "RESULT $o->{port} $o->{result}{status} $o->{result}{text}\n" }
    elsif (defined $o->{message}) { print "MESSAGE $o->{port} $o->{message}\n" }' "$1"
}

# The Exit column of port $2's row in the summary table in file $1.
summary_status() {
  awk -v port="$2" '
    /^Port +Before/ { column = index($0, "Exit") }
    column && substr($0, 1, length(port) + 1) == port " " { print substr($0, column) + 0; exit }' "$1"
}

# Several loggers through one tool: --port for each, --json, --log-dir.
fleet_run() {
  local count=$((2 + RANDOM % (max_ports - 1))) i delay signal= fates=()
  ports=()
  sim_pids=()
  local fleet_faults=()
  rm -rf "$work/records"
  for ((i = 0; i < count; i++)); do
    faults=
    case $((RANDOM % 6)) in
      0 | 1) fates[i]=clean ;;
      2) fates[i]=silent; random_exchange; faults="--silent-from $exchange" ;;
      3) fates[i]=vanishes ;;
      *) fates[i]=faults; add_random_fault ;;
    esac
    faults=${faults# }
    fleet_faults[i]=$faults
    start_fleet_logger "$i"
    if [[ -z ${ports[i]} ]]; then
      echo "soak $run: virtual logger $i did not start (${fleet_faults[i]})" >&2
      violations=$((violations + 1))
      for pid in "${sim_pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
      sim_pids=()
      return
    fi
  done
  local settings_before=()
  for ((i = 0; i < count; i++)); do settings_before[i]=$(stty -g -F "${ports[i]}" 2>/dev/null || true); done

  local arguments=()
  for ((i = 0; i < count; i++)); do arguments+=(--port "${ports[i]}"); done
  timeout -s KILL 300 "$cli" "${arguments[@]}" --yes --json --log-dir "$work/records" \
    --max-repeats "${SOAK_REPEATS:-1}" >"$work/out" 2>"$work/err" &
  local tool_pid=$!
  # A logger vanishes as if its adapter were pulled: its process is killed
  # while the update runs. An update of a clean logger takes about 5 s.
  local vanish_after=()
  for ((i = 0; i < count; i++)); do
    [[ ${fates[i]} == vanishes ]] && vanish_after[i]=$((RANDOM % 50))  # tenths of a second
  done
  if ((RANDOM % 4 == 0)); then
    local signals=(INT TERM HUP QUIT)
    signal=${signals[RANDOM % 4]}
    delay=$((RANDOM % 60))
  fi
  local tenth
  for ((tenth = 0; tenth < 60; tenth++)); do
    kill -0 "$tool_pid" 2>/dev/null || break
    for ((i = 0; i < count; i++)); do
      # Reaped at once, inside the braces, so that bash's word on it stays off the output.
      if [[ ${vanish_after[i]:-} == "$tenth" ]]; then { kill -KILL "${sim_pids[i]}"; wait "${sim_pids[i]}"; } 2>/dev/null || true; fi
    done
    # timeout passes the signal on to the tool.
    if [[ -n $signal && $delay == "$tenth" ]]; then kill -s "$signal" "$tool_pid" 2>/dev/null || true; fi
    sleep 0.1
  done
  local status=0
  wait "$tool_pid" || status=$?

  problems=()
  for ((i = 0; i < count; i++)); do
    [[ ${fates[i]} == vanishes ]] && continue
    grep -q 'hanging up' "$work/sim$i.log" && continue
    exclusive_flag_clear "${ports[i]}" || problems+=("${ports[i]} is still claimed exclusively")
    [[ $(stty -g -F "${ports[i]}" 2>/dev/null) == "${settings_before[i]}" ]] ||
      problems+=("${ports[i]}: the line settings were not put back")
  done
  for ((i = 0; i < count; i++)); do
    kill -INT "${sim_pids[i]}" 2>/dev/null || true
    wait "${sim_pids[i]}" 2>/dev/null || true
  done
  sim_pids=()

  if ((status == 137)); then problems+=("the tool did not end within 300 s"); fi
  json_facts "$work/out" >"$work/facts"
  if grep -q '^BAD' "$work/facts"; then problems+=("JSON lines that are no JSON object: $(grep '^BAD' "$work/facts" | tr '\n' ' ')"); fi

  local all_good=yes summary_line line_count
  for ((i = 0; i < count; i++)); do
    local port=${ports[i]} good=no results port_status text file last_message
    if cmp -s "$work/flash$i.hex" "$work/image.hex" && application_runs "$work/sim$i.log" &&
       [[ ${fleet_faults[i]} != *--wrong-class* ]]; then
      good=yes
    fi
    results=$(grep -c "^RESULT $port " "$work/facts" || true)
    if ((results != 1)); then
      problems+=("$port: $results JSON results")
      all_good=no
      continue
    fi
    read -r _ _ port_status text < <(grep "^RESULT $port " "$work/facts")
    ((port_status == 0)) || all_good=no
    if ((port_status == 0)) && [[ $good == no ]]; then problems+=("$port: success claimed without the image running"); fi
    if ((port_status != 0)) && [[ $good == yes && -z $signal && ${fates[i]} != vanishes ]] &&
       [[ ${fleet_faults[i]} != *--silent-from* ]] && ! fault_after_start "$work/sim$i.log"; then
      problems+=("$port: failure $port_status reported with the image running")
    fi
    grep -Eq "$(closing_pattern "$port_status")" <<<"$text" ||
      problems+=("$port: closing message '$text' does not belong to status $port_status")
    last_message=$(grep "^MESSAGE $port " "$work/facts" | tail -n 1 | cut -d ' ' -f 3-)
    [[ $last_message == "$text" ]] || problems+=("$port: last closing message '$last_message' is not the result's")
    [[ $(summary_status "$work/err" "$port") == "$port_status" ]] ||
      problems+=("$port: the summary says '$(summary_status "$work/err" "$port")', the JSON result $port_status")
    file=$(grep -lxF "Port: $port" "$work/records"/*.log 2>/dev/null || true)
    line_count=$(wc -w <<<"$file")
    if ((line_count != 1)); then
      problems+=("$port: $line_count report files")
    else
      head -n 1 "$file" | grep -qxF "Port: $port" || problems+=("$port: the report file does not start with its port")
      grep -qxF "Result: $port_status $text" "$file" || problems+=("$port: the report file's result is not $port_status")
      tail -n 1 "$file" | grep -Eq '^Duration: [0-9]+:[0-9]{2}$' || problems+=("$port: the report file ends early")
    fi
  done
  if [[ $all_good == yes ]]; then
    ((status == 0)) || problems+=("exit $status although every port says 0")
  else
    ((status == 80)) || problems+=("exit $status although a port failed (80 expected)")
  fi

  summary_line="${count} loggers: ${fates[*]}${signal:+, SIG$signal at ${delay}/10 s}"
  printf 'soak %3d: %-60s exit %2d %s\n' "$run" "$summary_line" "$status" \
    "$( ((${#problems[@]})) && echo FAIL || echo ok)"
  if ((${#problems[@]})); then
    violations=$((violations + 1))
    printf '    %s\n' "${problems[@]}"
    for ((i = 0; i < count; i++)); do echo "    logger $i: ${fleet_faults[i]}"; done
    sed 's/^/    tool: /' "$work/err" | tail -n 12
  fi
}

violations=0
if ((max_ports > 1)); then
  echo "soak: $runs runs of 2 to $max_ports loggers at once, SOAK_SEED=$seed"
  for ((run = 1; run <= runs; run++)); do fleet_run; done
  echo "soak: $runs runs of several loggers, $violations with a broken promise (SOAK_SEED=$seed)"
else
  echo "soak: $runs updates, SOAK_SEED=$seed"
  for ((run = 1; run <= runs; run++)); do single_run; done
  echo "soak: $runs updates, $violations with a broken promise (SOAK_SEED=$seed)"
fi
((violations == 0))
