#!/usr/bin/env bash
# The Windows build under Wine: cross-builds (scripts/build-windows.sh), runs
# each unit-test program once, then updates the Linux virtual logger from
# kelvry-update-cli.exe through a COM port that Wine maps onto the logger's
# pseudo-terminal. Every Wine run is bounded, so that a hang cannot stall CI.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
start=$SECONDS

bash scripts/build-windows.sh
# The virtual logger is the Linux program (Windows has no pseudo-terminals).
sim=build/tools/kelvry-logger-sim
[[ -x $sim ]] || bash scripts/build.sh --target kelvry-logger-sim
sim=$repo/$sim

export WINEPREFIX=$repo/build-windows/wineprefix
export WINEDEBUG=-all
cli=$repo/build-windows/cli/kelvry-update-cli.exe
work=$(mktemp -d)
sims=()
pg_dir=$work/postgres
cleanup() {
  for pid in "${sims[@]}"; do kill "$pid" 2>/dev/null || true; done
  [[ -f $pg_dir/server.env ]] && bash scripts/postgres-test-server.sh stop "$pg_dir" >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1 || true  # this prefix's server only
  rm -rf "$work"
}
trap cleanup EXIT

echo "== unit tests under Wine"
unit_status=0
ctest --test-dir build-windows --output-on-failure --timeout 300 || unit_status=$?

source scripts/checks.sh

# Starts a virtual logger with the given options and maps its
# pseudo-terminal as COM7.
start_logger() {
  local out=$work/sim-$RANDOM
  "$sim" --quiet "$@" >"$out" &
  sims+=($!)
  local pty=""
  for _ in $(seq 100); do
    pty=$(head -n1 "$out" 2>/dev/null || true)
    [[ -n $pty ]] && break
    sleep 0.05
  done
  [[ -n $pty ]] || { echo "the virtual logger did not start" >&2; exit 1; }
  ln -sfn "$pty" "$WINEPREFIX/dosdevices/com7"
}

stop_logger() {
  kill "${sims[-1]}" 2>/dev/null || true
  wait "${sims[-1]}" 2>/dev/null || true
  rm -f "$WINEPREFIX/dosdevices/com7"
}

# Runs the CLI under Wine with a time-out; stdout, stderr and the exit status
# go to $work/out, $work/err and $status.
run_cli() {
  status=0
  timeout --kill-after=5 180 wine "$cli" "$@" >"$work/out" 2>"$work/err" || status=$?
  # Wine writes the Windows line ends of the console as they are.
  sed -i 's/\r$//' "$work/out" "$work/err"
}

last_line_is() { [[ $(tail -n1 "$work/out") == "$1" ]]; }
output_has() { grep -qF -- "$1" "$work/$2"; }

echo "== end to end under Wine: a COM port mapped onto the virtual logger"
# One Wine server for all runs: it would otherwise end between two runs and
# start anew, and a new one rebuilds the registry's serial-port map.
wineserver -p >/dev/null 2>&1 || true  # one may be running already

start_logger
run_cli --port COM7 --yes
check "full update exits 0" test "$status" -eq 0
check "full update ends with the success text" last_line_is "Update Kelvry V2.92 succesfully completed."
stop_logger

# Windows has no pseudo-terminals: --simulate updates the logger in memory.
run_cli --simulate --yes
check "--simulate exits 0" test "$status" -eq 0
check "--simulate ends with the success text" last_line_is "Update Kelvry V2.92 succesfully completed."
run_cli --simulate 2 --yes
check "--simulate 2 exits 0" test "$status" -eq 0
check "--simulate 2 updates the second logger too" output_has 'virtual logger 2: ' out

# The port list and --port auto find the logger's port in the registry's
# serial-port map; a built-in port there is left out.
wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\VCP0' /t REG_SZ /d COM7 /f >/dev/null 2>&1
wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\Serial0' /t REG_SZ /d COM1 /f >/dev/null 2>&1
run_cli --list-ports
check "port list exits 0" test "$status" -eq 0
check "port list shows the USB virtual port" grep -qE '^COM7( |$)' "$work/out"
check "port list leaves out the built-in port" bash -c "! grep -q '^COM1' '$work/out'"
# Wine's device tree has no USB adapter behind its COM ports: the walk over
# it must run cleanly and leave the map's port in the list, with dashes.
check "port list has the table's columns" grep -qE '^Port +USB ID +Maker +Product +Serial +Latency$' "$work/out"
check "port list says nothing on stderr" test ! -s "$work/err"

start_logger --silent-from 1
run_cli --port auto --yes --max-repeats 1
check "--port auto takes the one USB virtual port" output_has 'Start at serial port "COM7"' out
check "silent logger exits 30" test "$status" -eq 30
check "silent logger is repeated after the communication failure" \
  output_has "Repeat update because communication error!" out
check "silent logger gives up after one repeat" last_line_is "Gave up after 1 repeat: communication error!"
stop_logger

run_cli --port COM9 --yes
check "absent port exits 10" test "$status" -eq 10
check "absent port says why" output_has '"COM9" does not exist' err

# However a user writes a COM port, it is the same port: each spelling
# updates the logger, and messages name the port as Device Manager does.
for spelling in 'com7' 'COM7:' '\\.\COM7' 'COM12'; do
  start_logger
  ln -sfn "$(readlink "$WINEPREFIX/dosdevices/com7")" "$WINEPREFIX/dosdevices/com12"
  run_cli --port "$spelling" --yes
  check "--port $spelling updates the logger" last_line_is "Update Kelvry V2.92 succesfully completed."
  stop_logger
  rm -f "$WINEPREFIX/dosdevices/com12"
done
run_cli --port COM9 --port 'com9:'
check "one port given twice in two spellings is refused" test "$status" -eq 2
check "the refusal names the second spelling" output_has "give each port only once ('com9:')" err
run_cli --port 'com9:' --yes
check "an absent port is named in its one spelling" output_has '"COM9" does not exist' err

# A cancel ends a read that waits on a silent line at once, as on Linux;
# the program prints how long that took.
start_logger --silent-from 1
ln -sfn "$(readlink "$WINEPREFIX/dosdevices/com7")" "$WINEPREFIX/dosdevices/com8"
cancel_status=0
KELVRY_SILENT_COM_PORT=COM8 timeout --kill-after=5 60 \
  wine build-windows/tests/serial/kelvry_serial_tests.exe --gtest_filter='SilentComPort.*' >"$work/out" 2>&1 ||
  cancel_status=$?
sed -i 's/\r$//' "$work/out"
grep -h "cancel to the read's end" "$work/out" || true
check "a cancel ends a waiting read at once, a silent line at its time-out" test "$cancel_status" -eq 0
check "the silent-line cases ran, not skipped" bash -c "! grep -q SKIPPED '$work/out'"
rm -f "$WINEPREFIX/dosdevices/com8"
stop_logger

# Ctrl-C: Wine turns SIGINT into the console's Ctrl-C event. The update
# repeats against silent loggers until it comes; then each port ends with
# the closing message, the process with 20 (80 for several ports), and the
# ports are free again.
ctrl_c_run() {  # ctrl_c_run ARGS...: runs the CLI, sends Ctrl-C once it repeats
  status=0
  wine "$cli" "$@" --yes --max-repeats unlimited >"$work/out" 2>"$work/err" &
  local runner=$!
  for _ in $(seq 200); do
    grep -q "Repeat update because communication error!" "$work/out" 2>/dev/null && break
    sleep 0.1
  done
  local started=$SECONDS
  pkill -INT -f "^$cli" || true
  wait "$runner" || status=$?
  sed -i 's/\r$//' "$work/out" "$work/err"
  ctrl_c_seconds=$((SECONDS - started))
}
start_logger --silent-from 1
ctrl_c_run --port COM7
check "Ctrl-C ends one port's update with 20" test "$status" -eq 20
check "Ctrl-C: one port's closing message" last_line_is "Process cancelled!"
check "Ctrl-C: the process ends within 5 s" test "$ctrl_c_seconds" -le 5
run_cli --port COM7 --yes --max-repeats 0
check "Ctrl-C: the port is free again" test "$status" -eq 30
# The first silent logger becomes COM8, a second one COM7.
ln -sfn "$(readlink "$WINEPREFIX/dosdevices/com7")" "$WINEPREFIX/dosdevices/com8"
start_logger --silent-from 1
ctrl_c_run --port COM7 --port COM8
check "Ctrl-C ends a run of two ports with 80" test "$status" -eq 80
check "Ctrl-C: each port says it was cancelled" \
  test "$(grep -c '^COM[78]: Process cancelled!$' "$work/out")" -eq 2
rm -f "$WINEPREFIX/dosdevices/com8"
kill "${sims[-2]}" 2>/dev/null || true
stop_logger

# Bench mode: a COM port that appears during the run (a logger mapped as
# COM8 and entered in the registry's serial-port map, as Windows does on
# plug-in) is taken and updated; --expect 1 then ends the run.
# No USB port at the start: COM7 leaves the map for this check.
rm -f "$WINEPREFIX/dosdevices/com8"
for device in VCP0 VCP1; do
  wine reg delete 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v "\\Device\\$device" /f >/dev/null 2>&1 || true
done
bench_status=0
timeout --kill-after=5 120 wine "$cli" --bench --expect 1 --yes >"$work/out" 2>"$work/err" &
bench_runner=$!
sleep 3  # the bench is running and sees no logger yet
start_logger
ln -sfn "$(readlink "$WINEPREFIX/dosdevices/com7")" "$WINEPREFIX/dosdevices/com8"
rm -f "$WINEPREFIX/dosdevices/com7"
wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\VCP1' /t REG_SZ /d COM8 /f >/dev/null 2>&1
wait "$bench_runner" || bench_status=$?
sed -i 's/\r$//' "$work/out" "$work/err"
((bench_status == 0)) || { echo "bench exit $bench_status:"; tail -n 5 "$work/out" "$work/err"; }
check "bench: a port that appears is updated and --expect 1 ends the run with 0" test "$bench_status" -eq 0
check "bench: the logger is told done" output_has 'COM8: done, unplug it' err
check "bench: the case report names the result" output_has 'Result: 0 Update Kelvry V2.92 succesfully completed.' out
wine reg delete 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\VCP1' /f >/dev/null 2>&1 || true
wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\VCP0' /t REG_SZ /d COM7 /f >/dev/null 2>&1
rm -f "$WINEPREFIX/dosdevices/com8"
stop_logger

# A port held by another program is not tested here: Wine lets a second
# process open a COM port the first holds, where Windows answers "access
# denied". The reason for that code is tested in the unit tests
# (PortOpenAdviceWindows).

# The internal-mode switch in the registry, as the window's settings store
# keeps it: --file-info is refused without it and works with it.
image="Z:$repo/firmware/images/Kelvry_V2_92_PF15_PR56_BL3_0.upd"
tarvo='HKCU\Software\Dralmor\Tarvo'
run_cli --file-info "$image"
check "without the switch --file-info is refused" test "$status" -eq 2
for value in "REG_DWORD 7319" "REG_SZ 7319" "REG_QWORD 7319" "REG_SZ 7318"; do
  wine reg add "$tarvo" /v intern /t "${value% *}" /d "${value#* }" /f >/dev/null 2>&1
  run_cli --file-info "$image"
  if [[ $value == *7319 ]]; then
    check "switch $value: --file-info works" test "$status" -eq 0
  else
    check "switch $value: --file-info is refused" test "$status" -eq 2
  fi
done

# Paths with letters outside ASCII: the command line is taken as UTF-16 and
# files are opened by their UTF-8 names, whatever Wine's code page.
wine reg add "$tarvo" /v intern /t REG_DWORD /d 7319 /f >/dev/null 2>&1
for name in 'Prüfung/Größe ä.upd' 'Ελληνικά/υλικολογισμικό.upd' '中文/固件.upd'; do
  mkdir -p "$work/${name%/*}"
  cp "$repo/firmware/images/Kelvry_V2_92_PF15_PR56_BL3_0.upd" "$work/$name"
  run_cli --file-info "Z:$work/$name"
  check "--file-info reads ${name}" test "$status" -eq 0
  run_cli --list-firmware --file "Z:$work/$name"
  check "--file takes ${name}" output_has 'Kelvry         2.92' out
done
for folder in 'Prüfung/Berichte' 'Ελληνικά/αναφορές' '中文/报告'; do
  run_cli --simulate --yes --log-dir "Z:$work/$folder"
  check "--log-dir writes into ${folder}" bash -c "ls '$work/$folder'/*.log >/dev/null 2>&1"
done
wine reg delete "$tarvo" /f >/dev/null 2>&1

echo "== records under Wine: an SQLite file and the PostgreSQL server on the Linux side"
# A record per attempt in an SQLite file under a Windows path, then the
# history that shows it; the same for the bench's default file.
records_file='C:\records\line 2\line-2.sqlite'
rm -rf "$WINEPREFIX/drive_c/records"
run_cli --simulate --yes --records "$records_file" --operator mara
check "--records <file>: --simulate exits 0" test "$status" -eq 0
check "--records <file>: the file is made under its Windows path" \
  test -s "$WINEPREFIX/drive_c/records/line 2/line-2.sqlite"
run_cli --history --latest --records "$records_file"
check "--history --latest exits 0" test "$status" -eq 0
check "--history --latest shows the table's columns" \
  grep -qE '^Started \(UTC\) +Port +Serial +Before +After +Image +Result +Operator +Station$' "$work/out"
check "--history --latest shows the attempt, ok, by mara" \
  grep -qE 'Kelvry Series V2.92 +Kelvry V2.92 A10i BLE UART +ok +mara ' "$work/out"
run_cli --history --json --records "$records_file"
check "--history --json gives the record's station and the run's status" \
  bash -c "grep -q '\"status\":0' '$work/out' && ! grep -q '\"station\":\"\"' '$work/out'"
# Without --operator the record names the user Wine runs as.
run_cli --simulate --yes --records "$records_file"
run_cli --history --json --records "$records_file"
check "a record names the Windows user as operator" grep -qF "\"operator\":\"$(id -un)\"" "$work/out"
rm -rf "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Kelvry"
run_cli --simulate --yes --records default
check "--records default keeps the file in %LOCALAPPDATA%\\Kelvry" \
  test -s "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Kelvry/records.sqlite"
run_cli --history --records default
check "--history reads the default file" grep -qE ' ok +' "$work/out"

# The department's server: the Linux test server, over TCP on 127.0.0.1
# with the test role's password, in a database of its own.
bash scripts/postgres-test-server.sh start "$pg_dir"
pg_value() { sed -n "s/^$1=//p" "$pg_dir/server.env"; }
pg_bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
"$pg_bin/psql" -q -h "$(pg_value socket)" -p "$(pg_value port)" -U postgres -d postgres \
  -c "CREATE DATABASE wine_records OWNER $(pg_value user)" >/dev/null
server="postgresql://$(pg_value user):$(pg_value password)@127.0.0.1:$(pg_value port)/wine_records"
run_cli --simulate 2 --yes --records "$server" --operator mara
check "--records postgresql://: --simulate 2 exits 0" test "$status" -eq 0
check "--records postgresql://: nothing waits for delivery" bash -c "! grep -q 'wait for delivery' '$work/err'"
run_cli --history --latest --records "$server"
check "--history --latest on the server exits 0" test "$status" -eq 0
check "--history --latest on the server shows both loggers' attempts" \
  test "$(grep -cE 'Kelvry V2.92 A10i BLE UART +ok +mara ' "$work/out")" -eq 2
check "the server holds the two rows" test "$("$pg_bin/psql" -tA -h "$(pg_value socket)" -p "$(pg_value port)" \
  -U postgres -d wine_records -c 'SELECT count(*) FROM attempts')" -eq 2
wrong="postgresql://$(pg_value user):Wr0ngSecret@127.0.0.1:$(pg_value port)/wine_records"
# A server that does not take the password is one that cannot be reached
# now: the record waits in the queue, and the message hides the password.
run_cli --simulate --yes --records "$wrong"
check "a wrong password: the record waits for delivery" output_has '1 record waits for delivery to postgresql://' err
check "a wrong password: the message masks it" bash -c "grep -qF '****' '$work/err' && ! grep -q Wr0ng '$work/err'"

echo "Wine step: $((SECONDS - start)) s"
checks_summary windows && ((unit_status == 0))
