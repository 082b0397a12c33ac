#!/usr/bin/env bash
# The main job: builds the tool and runs a complete firmware update of the
# virtual logger from the command line.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh --target kelvry-update-cli kelvry-logger-sim
exec build/cli/kelvry-update-cli --simulate --yes "$@"
