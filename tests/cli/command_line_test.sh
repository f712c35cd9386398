#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the program with arguments and checks its exit status and what it
# writes to which stream. There is no display: DISPLAY is unset and Qt is told
# to use X11, so creating the window's application object would abort.
#
# Usage: command_line_test.sh VORLANE VERSION
set -uo pipefail
# shellcheck source=tests/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

vorlane=$1
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# arguments | standard output goes to (- = a file) | exit status |
# first line of standard output | first line of standard error (empty: none)
cases=(
  "--help|-|0|用法：vorlane [选项]|"
  "-h|-|0|用法：vorlane [选项]|"
  "--version|-|0|vorlane $version|"
  "-V|-|0|vorlane $version|"
  "dedupe --help|-|0|用法：|"
  "--frobnicate|-|2||vorlane：未知选项“frobnicate”。"
  "list.txt|-|2||vorlane：无法识别的参数“list.txt”。"
  "--version list.txt|-|2||vorlane：无法识别的参数“list.txt”。"
  "--version dedupe|-|2||vorlane：无法识别的参数“dedupe”。"
  "--|-|2||vorlane：缺少选项或命令。"
  "--version|/dev/full|1||vorlane：无法写入标准输出：磁盘空间不足"
)

for case in "${cases[@]}"; do
  IFS='|' read -r arguments output status first_out first_err <<<"$case"
  [[ $output == - ]] && output=$scratch/out
  : >"$scratch/out"
  # shellcheck disable=SC2086  # the arguments are split at spaces on purpose
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 \
    "$vorlane" $arguments >"$output" 2>"$scratch/err"
  actual=("$?" "$(head -n1 "$scratch/out")" "$(head -n1 "$scratch/err")")
  expected=("$status" "$first_out" "$first_err")
  # A usage error is followed by the usage.
  [[ $status == 2 ]] && actual+=("$(sed -n 2p "$scratch/err")") && expected+=("用法：vorlane [选项]")
  check_equal "vorlane $arguments" "${expected[*]}" "${actual[*]}"
done

# The help lists the commands.
env -u DISPLAY -u WAYLAND_DISPLAY "$vorlane" --help >"$scratch/out"
check "vorlane --help lists dedupe" grep -q '^  dedupe  ' "$scratch/out"
check "vorlane --help lists join" grep -q '^  join  ' "$scratch/out"

# Without arguments and without any display: one line, a hint, exit 1, no abort.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$vorlane" >"$scratch/out" 2>"$scratch/err"
status=$?
check "vorlane with no display: exit $status, $(head -c 300 "$scratch/err")" \
  bash -c '[[ $1 -eq 1 && ! -s $2/out && $(wc -l <"$2/err") -eq 1 ]] &&
    grep -q "^vorlane：找不到显示器.*vorlane --help" "$2/err"' - "$status" "$scratch"

# Standard output closed: the answer cannot be written.
env -u DISPLAY "$vorlane" --version >&- 2>"$scratch/err"
status=$?
check "vorlane --version >&-: exit $status, $(cat "$scratch/err")" \
  bash -c '[[ $1 -eq 1 ]] && grep -q "^vorlane：无法写入标准输出：没有打开$" "$2/err"' - "$status" "$scratch"

finish_checks
