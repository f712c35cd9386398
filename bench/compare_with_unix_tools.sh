#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times `vorlane dedupe FILE -o OUT` against `awk '!seen[$0]++' FILE > OUT` and
# `vorlane join FILE -o OUT` against `paste -sd, FILE > OUT` on the same
# typical list of LINES lines (default 10,000,000: about 262 MB as UTF-8 with
# LF), in one run, ROUNDS times (default 1), and checks the outputs: vorlane
# keeps awk's lines less those that are parts of earlier lines, and its join
# equals paste's. Then times the stages of dedupe (batch_phases_bench).
# Needs a build with -DVORLANE_BENCH=ON in BUILD (default build-bench).
set -euo pipefail
lines=${1:-10000000}
rounds=${ROUNDS:-1}
build=${BUILD:-build-bench}
vorlane=$build/qt/vorlane
dir=$(mktemp -d "${TMPDIR:-/tmp}/vorlane-compare.XXXXXX")
trap 'rm -rf "$dir"' EXIT

"$build/bench/vorlane_sample_file" "$lines" "$dir/list.txt" lf
bytes=$(stat -c %s "$dir/list.txt")
echo "input: $lines lines, $bytes bytes"

# Runs a command with its standard output in OUTPUT; sets seconds and kib.
measure() {  # output, command...
  local output=$1
  shift
  /usr/bin/time -f "%e %M" -o "$dir/time" "$@" >"$output" 2>/dev/null
  read -r seconds kib <"$dir/time"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
per_byte() { awk -v k="$1" -v b="$bytes" 'BEGIN { printf "%.2f", k * 1024 / b }'; }

for round in $(seq "$rounds"); do
  measure "$dir/awk.txt" awk '!seen[$0]++' "$dir/list.txt"
  awk_s=$seconds awk_kib=$kib
  measure /dev/null "$vorlane" dedupe "$dir/list.txt" -o "$dir/dedupe.txt"
  dedupe_s=$seconds dedupe_kib=$kib
  measure "$dir/paste.txt" paste -sd, "$dir/list.txt"
  paste_s=$seconds
  measure /dev/null "$vorlane" join "$dir/list.txt" -o "$dir/join.txt"
  join_s=$seconds join_kib=$kib
  echo "round $round:"
  echo "  awk '!seen[\$0]++' $awk_s s, peak $(per_byte "$awk_kib") B per input byte"
  echo "  vorlane dedupe     $dedupe_s s ($(ratio "$dedupe_s" "$awk_s") x awk)," \
    "peak $(per_byte "$dedupe_kib") B per input byte"
  echo "  paste -sd,         $paste_s s"
  echo "  vorlane join       $join_s s ($(ratio "$join_s" "$paste_s") x paste)," \
    "peak $(per_byte "$join_kib") B per input byte"
done

added=$(diff "$dir/awk.txt" "$dir/dedupe.txt" | grep -c '^>' || true)
dropped=$(diff "$dir/awk.txt" "$dir/dedupe.txt" | grep -c '^<' || true)
if [[ $added -eq 0 ]]; then
  echo "dedupe keeps awk's lines but $dropped that are parts of earlier lines"
else
  echo "dedupe keeps $added lines that awk drops: WRONG"
fi
cmp -s "$dir/join.txt" "$dir/paste.txt" && echo "join equals paste" || echo "join differs from paste: WRONG"

rm -f "$dir"/*.txt
VORLANE_BENCH_LINES=$lines "$build/bench/batch_phases_bench"
