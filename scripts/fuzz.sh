#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for a
# while, starting from seeds made of the built-in firmware images.
#
#   bash scripts/fuzz.sh            # 60 s per target (what CI runs)
#   bash scripts/fuzz.sh 600        # 600 s per target
#   FUZZ_RUNS=10000000 bash scripts/fuzz.sh   # a fixed number of executions per target
#
# A finding stops the script with the crashing input saved in
# build-fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

seconds=${1:-60}
runs=${FUZZ_RUNS:--1}
build=build-fuzz
targets=(update_file_fuzz hex_codec_fuzz reply_checks_fuzz)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DKELVRY_FUZZ=ON -DKELVRY_SANITIZE=fuzzer-no-link,address,undefined >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

# Seeds: whole images for the file reader, single record lines (a data
# line, the vector-table line, the end line, command records) for the codec
# and the reply checks.
seeds=$build/seeds
rm -rf "$seeds"
mkdir -p "$seeds/update_file_fuzz" "$seeds/lines"
cp firmware/images/*.upd "$seeds/update_file_fuzz/"
image=firmware/images/Kelvry_V2_92_PF15_PR56_BL3_0.upd
n=0
{ grep -v '=' "$image" | sed -n '1p;2p;$p' | tr -d '\r'; grep -v '=' "$image" | tail -n 2 | head -n 1 | tr -d '\r';
  printf '%s\n' ':0100000520DA' ':0100000530CA' ':00000001FF'; } |
  while IFS= read -r line; do n=$((n + 1)); printf '%s' "$line" >"$seeds/lines/$n"; done

for target in "${targets[@]}"; do
  corpus=$build/corpus/$target
  findings=$build/findings/$target
  log=$build/$target.log
  mkdir -p "$corpus" "$findings"
  # A record line has at most 139 characters; 4 KiB of update file hold the
  # header and some thirty records (the image seeds are cut there). Short
  # inputs keep the executions many.
  seed=$seeds/lines
  max_len=256
  if [[ $target == update_file_fuzz ]]; then
    seed=$seeds/update_file_fuzz
    max_len=4096
  fi
  echo "== $target: ${seconds}s"
  status=0
  "$build/fuzz/$target" "$corpus" "$seed" -max_total_time="$seconds" -runs="$runs" -max_len="$max_len" \
    -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1 || status=$?
  grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
  if ((status != 0)) || compgen -G "$findings/*" >/dev/null; then
    tail -n 40 "$log" >&2
    echo "$target found a fault (exit $status); the input is in $findings, the log in $log" >&2
    exit 1
  fi
done
