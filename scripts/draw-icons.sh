#!/usr/bin/env bash
# Redraws the PNG sizes of the program icon from its SVG
# (packaging/icons/com.kelvry.FirmwareUpdate.svg). The PNGs are kept in the
# repository, so that building the package needs no SVG renderer; run this
# after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
command -v rsvg-convert >/dev/null || {
  echo "rsvg-convert is missing: apt-get install librsvg2-bin" >&2
  exit 1
}
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" com.kelvry.FirmwareUpdate.svg -o "com.kelvry.FirmwareUpdate-$size.png"
done
# The Windows programs' icon holds the same sizes in one .ico file.
convert com.kelvry.FirmwareUpdate-{16,32,48,64,128,256}.png ../windows/kelvry-update.ico
echo "drew $(ls com.kelvry.FirmwareUpdate-*.png | wc -l) icon sizes and the Windows icon"
