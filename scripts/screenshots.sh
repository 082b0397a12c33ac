#!/usr/bin/env bash
# Draws the pictures of the desktop window for the README: a complete update
# of the virtual logger, in normal mode (docs/screenshot-normal.png) and in
# internal mode with the report below the window
# (docs/screenshot-internal.png). Needs no display: Qt draws offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh --target kelvry_window_screenshots
mkdir -p docs
# A settings folder of its own, so that the user's settings play no part.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$config" \
  build/ui/kelvry_window_screenshots docs
echo "wrote docs/screenshot-normal.png and docs/screenshot-internal.png"
