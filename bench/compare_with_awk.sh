#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times awk '!seen[$0]++' and vorlane_dedupe_file on the same typical list
# (LINES lines, default 1000000) and checks that they keep the same lines.
# Needs a build with -DVORLANE_BENCH=ON in BUILD (default build-bench).
set -euo pipefail
lines=${1:-1000000}
build=${BUILD:-build-bench}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

"$build/bench/vorlane_sample_file" "$lines" "$dir/list.txt"
echo "input: $(stat -c %s "$dir/list.txt") bytes, $lines lines"
echo "== awk '!seen[\$0]++'"
/usr/bin/time -f "awk: %e s, peak RSS %M KiB" awk '!seen[$0]++' "$dir/list.txt" >"$dir/awk.txt"
echo "== vorlane_dedupe_file"
/usr/bin/time -f "vorlane_dedupe_file: %e s, peak RSS %M KiB" \
  "$build/bench/vorlane_dedupe_file" "$dir/list.txt" -o "$dir/vorlane.txt"
# awk ends its last line with a line break; the removal result has none.
if { cat "$dir/vorlane.txt"; printf '\r\n'; } | cmp -s - "$dir/awk.txt"; then
  echo "same lines kept"
else
  echo "the kept lines differ"
fi
