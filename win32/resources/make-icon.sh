#!/bin/sh
# SPDX-License-Identifier: MIT
# Renders the icon's SVG source at each size given and packs the images into
# one Windows .ico; images of 256 pixels are kept as PNG, as Windows expects.
#
# Usage: make-icon.sh SOURCE.svg OUT.ico SIZE...
# (RSVG_CONVERT and ICOTOOL name the programs, if not the ones on the PATH.)
set -eu
source=$1
out=$2
shift 2
work=$out.images
rm -rf "$work"
mkdir -p "$work"
images=""
for size in "$@"; do
  image=$work/$size.png
  "${RSVG_CONVERT:-rsvg-convert}" --width "$size" --height "$size" --output "$image" "$source"
  if [ "$size" -ge 256 ]; then
    images="$images --raw=$image"
  else
    images="$images $image"
  fi
done
# The paths are the build folder's own, without spaces.
# shellcheck disable=SC2086
"${ICOTOOL:-icotool}" --create --output="$out" $images
rm -rf "$work"
