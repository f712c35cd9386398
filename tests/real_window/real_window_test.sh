#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Drives the built program on a real X server (Xvfb, with the openbox window
# manager) the way a person does: through the clipboard, the mouse and the
# keyboard, reading the boxes' texts with Ctrl+C.
#
# Usage: real_window_test.sh VORLANE FAIL_ALLOCATIONS_LIBRARY [SCREENSHOT.png]
set -uo pipefail
# shellcheck source=tests/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

if [[ -z "${VORLANE_UNDER_XVFB:-}" ]]; then
  VORLANE_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" "$0" "$@"
fi

vorlane=$1
fail_allocations_library=$2
screenshot=${3:-}
unset QT_QPA_PLATFORM QT_SCALE_FACTOR
export LC_ALL=C.UTF-8


openbox --sm-disable >/dev/null 2>&1 &
window_manager=$!
trap 'kill $window_manager 2>/dev/null' EXIT
sleep 1

visible_windows() {  # title pattern; a window manager's frames have no title
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | sort
}

# Waits until a visible window with the title appears that is not among the
# ones listed in $2, and prints its id (or nothing after 20 s).
wait_for_new_window() {  # title, known ids
  local id
  for _ in $(seq 200); do
    id=$(comm -13 <(echo "$2" | sort) <(visible_windows "$1") | head -1)
    if [[ -n "$id" ]]; then echo "$id"; return; fi
    sleep 0.1
  done
}

# Presses keys and prints the clipboard once the program has replaced it.
copy_with() {  # keys...
  echo -n "clipboard-sentinel" | xclip -selection clipboard -i
  xdotool key --delay 50 "$@"
  for _ in $(seq 30); do
    local text
    text=$(xclip -selection clipboard -o 2>/dev/null; echo x)
    text=${text%x}
    if [[ "$text" != "clipboard-sentinel" ]]; then printf '%s' "$text"; return; fi
    sleep 0.1
  done
}

main_window=""
vorlane_pid=""
start_vorlane() {  # environment assignments...
  env "$@" "$vorlane" >/dev/null 2>&1 &
  vorlane_pid=$!
  main_window=$(wait_for_new_window Vorlane "")
  [[ -n "$main_window" ]] || { echo "FAILED: the window did not appear"; exit 1; }
  xdotool windowactivate --sync "$main_window" 2>/dev/null
  sleep 0.3
}
stop_vorlane() {
  kill "$vorlane_pid" 2>/dev/null
  wait "$vorlane_pid" 2>/dev/null
}

client_size() {  # window
  xwininfo -id "$1" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}'
}

click_at() {  # x, y in the window's client area
  xdotool mousemove --window "$main_window" "$1" "$2" click 1
  sleep 0.2
}

text_box_content() {
  click_at 300 100
  copy_with ctrl+a ctrl+c
}

paste_into_text_box() {  # text
  printf '%s' "$1" | xclip -selection clipboard -i
  click_at 300 100
  xdotool key --delay 50 ctrl+a ctrl+v
  sleep 0.3
}

# Clicks a button and reads the box it opens: prints "title|text" and closes it with Enter.
read_and_close_box() {  # how to open: a command
  local before box
  before=$(visible_windows '.+')
  "$@"
  box=$(wait_for_new_window '.+' "$before")
  [[ -n "$box" ]] || { echo "no box"; return; }
  xdotool windowactivate --sync "$box" 2>/dev/null
  local text
  text=$(copy_with ctrl+c)
  printf '%s|%s' "$(xdotool getwindowname "$box")" "$text"
  xdotool key Return
  sleep 0.3
}

# --- The window as it opens ---------------------------------------------------
start_vorlane
check_equal "client area" "657x259" "$(client_size "$main_window")"
xdotool type --delay 30 "typed"
check_equal "focus starts in the text box" "typed" "$(text_box_content)"

# --- Command1 with the mouse ---------------------------------------------------
paste_into_text_box $'苹果\r\nbanana\r\n苹果\r\nban\r\n橙子 orange\r\n'
[[ -n "$screenshot" ]] && import -window "$main_window" "$screenshot"
check_equal "summary box of Command1" \
  "Vorlane|执行完成，原总数:6，处理后数:3，清出重复数:3" \
  "$(read_and_close_box click_at 180 228)"
check_equal "text after Command1" $'苹果\nbanana\n橙子 orange' "$(text_box_content)"

# --- Command2 with the keyboard --------------------------------------------------
click_at 300 100
input_box=$(read_and_close_box xdotool key --delay 80 Tab Tab space)
check_equal "input box of Command2: its title, and the comma selected" "输入替换成的符号|," "$input_box"
check_equal "Enter on the input box with the default joins with commas" \
  '苹果,banana,橙子 orange' "$(text_box_content)"
xdotool key ctrl+z
sleep 0.3
click_at 300 100
xdotool key --delay 80 Tab Tab space
sleep 0.5
xdotool type --delay 50 " ; "
xdotool key Return
sleep 0.3
check_equal "a typed separator replaces the default" '苹果 ; banana ; 橙子 orange' "$(text_box_content)"
xdotool key ctrl+z
sleep 0.3
check_equal "Ctrl+Z brings the list back" $'苹果\nbanana\n橙子 orange' "$(text_box_content)"

# --- Keys that must do nothing -------------------------------------------------------
before=$(visible_windows '.+')
click_at 300 100
xdotool key --delay 80 ctrl+End Escape Tab Return Tab Return Tab Escape
sleep 0.5
check_equal "Esc and Enter open nothing" "$before" "$(visible_windows '.+')"
check_equal "Tab came back to the text box, Esc and Enter changed nothing" \
  $'苹果\nbanana\n橙子 orange' "$(copy_with ctrl+a ctrl+c)"
stop_vorlane

# --- 200 % scaling ---------------------------------------------------------------------
start_vorlane QT_SCALE_FACTOR=2
check_equal "client area at 200 %" "1314x518" "$(client_size "$main_window")"
paste_into_text_box $'a\r\na'
check_equal "Command1 sits at twice its place" "Vorlane|执行完成，原总数:2，处理后数:1，清出重复数:1" \
  "$(read_and_close_box click_at 360 456)"
stop_vorlane

# --- A command that runs out of memory ------------------------------------------------------
# (A sanitizer build insists on coming first among the libraries; let it.)
start_vorlane LD_PRELOAD="$fail_allocations_library" VORLANE_FAIL_ALLOCATIONS_FROM=1000000 \
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
big_list=$(for i in $(seq 60000); do printf 'line %05d\r\n' $((i % 1000)); done)
paste_into_text_box "$big_list"
failure=$(read_and_close_box click_at 180 228)
check_equal "error box title" "Vorlane" "${failure%%|*}"
[[ "$failure" == *内存不足* && "$failure" == *保持不变* ]]
check_equal "error box says memory ran out and the text was kept" "0" "$?"
check_equal "the program goes on" "0" "$(kill -0 "$vorlane_pid" 2>/dev/null; echo $?)"
check_equal "the text was kept" "60000" "$(text_box_content | grep -c '^line ')"
check_equal "the next click works" "Vorlane|执行完成，原总数:60001，处理后数:1000，清出重复数:59001" \
  "$(read_and_close_box click_at 180 228)"
stop_vorlane

finish_checks
