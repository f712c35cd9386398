#!/bin/sh
# SPDX-License-Identifier: MIT
# Renders the icon's SVG source into the PNG sizes of the hicolor theme:
# OUT_DIR/NxN/apps/vorlane.png for each size given.
#
# Usage: render-icons.sh SOURCE.svg OUT_DIR SIZE...
# (RSVG_CONVERT names the rsvg-convert program, if not the one on the PATH.)
set -eu
source=$1
out=$2
shift 2
for size in "$@"; do
  mkdir -p "$out/${size}x$size/apps"
  "${RSVG_CONVERT:-rsvg-convert}" --width "$size" --height "$size" --output "$out/${size}x$size/apps/vorlane.png" "$source"
done
