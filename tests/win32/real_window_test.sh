#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Drives the Windows program under wine on a private X server (Xvfb, with
# openbox) the way a person does: the mouse, the keyboard and the clipboard.
# Text goes in by paste, never by typed Chinese keys (wine drops some). The
# text box is read back through the clipboard (Ctrl+A, Ctrl+C); the boxes, and
# texts that must be read unit for unit, by window_texts.exe, a test-side
# program that reads any window's text through the Win32 API. Screenshots of
# the window, the summary box, the input box and the text box's context menu
# go into OUTPUT_FOLDER, with the click-to-summary times in timings.txt.
#
# Usage: real_window_test.sh VORLANE.exe WINDOW_TEXTS.exe CLIPBOARD_TEXT.exe OUTPUT_FOLDER
set -uo pipefail
# shellcheck source=tests/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

vorlane=$1
window_texts=$2
clipboard_text=$3
output=$4
mkdir -p "$output"
. "$(dirname "$0")/wine_env.sh"
wine_env_start_display --wm || exit 1
trap wine_env_stop EXIT


visible_windows() {  # title pattern
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | sort
}

# Waits until a visible window with the title appears that is not among the
# ones listed in $2, and prints its id (or nothing after 60 s).
wait_for_new_window() {  # title pattern, known ids
  local id
  for _ in $(seq 1200); do
    id=$(comm -13 <(echo "$2" | sort) <(visible_windows "$1") | head -1)
    if [[ -n "$id" ]]; then echo "$id"; return; fi
    sleep 0.05
  done
}

# The controls of the visible dialog titled $1, one "class<TAB>id<TAB>text" a
# line, as window_texts.exe reads them. Waits for the program to be idle.
dialog_controls() {  # title
  wine "$window_texts" | awk -F'\t' -v title="$1" '
    $1 == "window" { inside = ($2 == "#32770" && $3 == title) }
    $1 == "control" && inside { print $2 "\t" $3 "\t" $5 }'
}

# The main window's controls, one "class<TAB>id<TAB>left,top,width,height" a line.
control_places() {
  wine "$window_texts" | awk -F'\t' '
    $1 == "window" { inside = ($2 == "VorlaneForm1") }
    $1 == "control" && inside { print $2 "\t" $3 "\t" $4 }'
}

# The text of Text1, unit for unit (CR and LF written \r and \n).
text1_exactly() {
  wine "$window_texts" | awk -F'\t' '
    $1 == "window" { inside = ($2 == "VorlaneForm1") }
    $1 == "control" && inside && $3 == 101 { print $5 }'
}

# Presses keys and prints the clipboard once the program has replaced it.
copy_with() {  # keys...
  echo -n "clipboard-sentinel" | xclip -selection clipboard -i
  xdotool key --delay 50 "$@"
  for _ in $(seq 100); do
    local text
    text=$(xclip -selection clipboard -o 2>/dev/null; echo x)
    text=${text%x}
    if [[ "$text" != "clipboard-sentinel" ]]; then printf '%s' "$text"; return; fi
    sleep 0.1
  done
}

main_window=""
vorlane_pid=""
start_vorlane() {
  wine "$vorlane" >/dev/null 2>&1 &
  vorlane_pid=$!
  main_window=$(wait_for_new_window Vorlane "")
  [[ -n "$main_window" ]] || { echo "FAILED: the window did not appear"; exit 1; }
  xdotool windowactivate --sync "$main_window" 2>/dev/null
  sleep 0.3
}

# Pixels at 96 DPI, scaled by the DPI the program runs at.
dpi=96
scaled() { echo $((($1 * dpi + 48) / 96)); }

click_at() {  # x, y in the window's client area at 96 DPI
  xdotool mousemove --window "$main_window" "$(scaled "$1")" "$(scaled "$2")" click 1
  sleep 0.2
}
click_command1() { click_at 180 228; }
click_command2() { click_at 496 228; }

client_size() {
  xwininfo -id "$main_window" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}'
}

# Closes the window with Alt+F4; sets exit_status to the program's exit
# status, or to "running" if it has not ended after 10 s.
exit_status=""
close_vorlane() {
  xdotool windowactivate --sync "$main_window" 2>/dev/null
  xdotool key alt+F4
  for _ in $(seq 100); do
    if ! kill -0 "$vorlane_pid" 2>/dev/null; then
      wait "$vorlane_pid"
      exit_status=$?
      return
    fi
    sleep 0.1
  done
  exit_status=running
  kill "$vorlane_pid" 2>/dev/null
}

# Text1's content as the clipboard carries it to X: each CR LF becomes LF.
text_box_content() {
  click_at 300 100
  copy_with ctrl+a ctrl+c
}

# Pastes through the X clipboard, over everything in Text1, and waits until
# the program has taken it in.
paste_into_text_box() {  # text
  printf '%s' "$1" | xclip -selection clipboard -i
  click_at 300 100
  xdotool key --delay 50 ctrl+a ctrl+v
  wine "$window_texts" >/dev/null
}

# Like paste_into_text_box, with the text put on the Windows clipboard as it
# is, so that a lone LF stays one.
paste_exactly_into_text_box() {  # text
  printf '%s' "$1" | wine "$clipboard_text"
  click_at 300 100
  xdotool key --delay 50 ctrl+a ctrl+v
  wine "$window_texts" >/dev/null
}

# Runs a command that opens a box; prints the box's window id once it is up.
open_box() {  # command...
  local before
  before=$(visible_windows '.+')
  "$@"
  wait_for_new_window '.+' "$before"
}

# Closes the box `id` with a key, and waits until it is gone.
close_box() {  # id, key
  xdotool windowactivate --sync "$1" 2>/dev/null
  xdotool key "$2"
  for _ in $(seq 100); do
    xdotool getwindowname "$1" >/dev/null 2>&1 || break
    [[ -z $(visible_windows '.+' | grep -x "$1") ]] && break
    sleep 0.05
  done
  sleep 0.2
}

# The message of the summary box; the box is closed with its OK.
summary_of() {  # command that opens the box...
  local box
  box=$(open_box "$@")
  [[ -n "$box" ]] || { echo "no box"; return; }
  dialog_controls Vorlane | awk -F'\t' '$1 == "Static" && $3 != "" { print $3 }'
  close_box "$box" Return
}

# Opens the input box with Command2, answers with `keys...` and waits until it
# is closed; returns nonzero if it did not open.
answer_input_box() {  # keys...
  local box
  box=$(open_box click_command2)
  [[ -n "$box" ]] || return 1
  xdotool windowactivate --sync "$box" 2>/dev/null
  sleep 0.2
  xdotool key --delay 80 "$@"
  for _ in $(seq 100); do
    [[ -z $(visible_windows '.+' | grep -x "$box") ]] && break
    sleep 0.05
  done
  sleep 0.3
}

undo() {
  click_at 300 100
  xdotool key ctrl+z
  sleep 0.3
}

# --- The window as it opens ------------------------------------------------------
echo "[${SECONDS}s] The window as it opens"
start_vorlane
check_equal "client area at 96 DPI" "657x259" "$(client_size)"
check_equal "the controls, their places and captions" \
  $'control\tEdit\t101\t16,8,633,193\t\ncontrol\tButton\t102\t16,208,329,41\tVorlane
control\tButton\t103\t352,208,289,41\t分隔符替换' \
  "$(wine "$window_texts" | awk -F'\t' '$1 == "window" { inside = ($2 == "VorlaneForm1") }
                                       $1 == "control" && inside')"
xdotool type --delay 30 "typed"
check_equal "focus starts in the text box" "typed" "$(copy_with ctrl+a ctrl+c)"

# --- Command1: the summary, the kept lines, undo -----------------------------------
echo "[${SECONDS}s] Command1: the summary, the kept li"
list=$'苹果\r\nbanana\r\n苹果\r\nban\r\n橙子 orange\r\n'
paste_into_text_box "$list"
import -window root "$output/win32-window.png"
box=$(open_box click_command1)
import -window root "$output/win32-summary.png"
check_equal "summary box of Command1" \
  $'Static\t1088\t\nButton\t1\t确定\nStatic\t65535\t执行完成，原总数:6，处理后数:3，清出重复数:3' \
  "$(dialog_controls Vorlane)"
close_box "$box" Return
check_equal "the box's OK closed it" "" "$(dialog_controls Vorlane)"
check_equal "text after Command1" $'苹果\nbanana\n橙子 orange' "$(text_box_content)"
undo
check_equal "Ctrl+Z after Command1 brings the list back, unit for unit" \
  '苹果\r\nbanana\r\n苹果\r\nban\r\n橙子 orange\r\n' "$(text1_exactly)"

# --- Command2: OK, Cancel, an empty answer, a typed and a pasted separator -------------
echo "[${SECONDS}s] Command2: OK, Cancel, an empty ans"
paste_into_text_box $'苹果\r\nbanana\r\n橙子 orange'
box=$(open_box click_command2)
import -window root "$output/win32-input-box.png"
check_equal "the input box: prompt, the default, OK and Cancel" \
  $'Static\t65535\t请输入要把回车分隔符替换为什么符号?\nEdit\t100\t,\nButton\t1\t确定\nButton\t2\t取消' \
  "$(dialog_controls 输入替换成的符号)"
close_box "$box" Return
check_equal "OK on the default joins with commas" '苹果,banana,橙子 orange' "$(text_box_content)"
undo
check_equal "Ctrl+Z after Command2 brings the lines back" $'苹果\nbanana\n橙子 orange' "$(text_box_content)"

answer_input_box Escape
check_equal "Esc in the input box leaves the text alone" $'苹果\nbanana\n橙子 orange' "$(text_box_content)"
answer_input_box Tab Tab space
check_equal "its Cancel button leaves the text alone" $'苹果\nbanana\n橙子 orange' "$(text_box_content)"
answer_input_box BackSpace Return
check_equal "an empty answer leaves the text alone" $'苹果\nbanana\n橙子 orange' "$(text_box_content)"
check_equal "and shows no box" "" "$(visible_windows '.+' | grep -vx "$main_window")"
answer_input_box space semicolon space Return
check_equal "a typed separator replaces the default" '苹果 ; banana ; 橙子 orange' "$(text_box_content)"
undo
printf '、' | xclip -selection clipboard -i
answer_input_box ctrl+v Return
check_equal "a pasted Chinese separator" '苹果、banana、橙子 orange' "$(text_box_content)"
undo

# --- Keys in the window -------------------------------------------------------------
echo "[${SECONDS}s] Keys in the window"
before=$(visible_windows '.+')
click_at 300 100
xdotool key --delay 80 ctrl+End Escape Return x
sleep 0.3
check_equal "Esc does nothing, Enter breaks the line" $'苹果\nbanana\n橙子 orange\nx' \
  "$(copy_with ctrl+a ctrl+c)"
check_equal "and no box opened" "$before" "$(visible_windows '.+')"
xdotool key ctrl+a y
sleep 0.2
check_equal "Ctrl+A selects all" "y" "$(copy_with ctrl+a ctrl+c)"
check_equal "Tab goes to Command1" "执行完成，原总数:1，处理后数:1，清出重复数:0" \
  "$(summary_of xdotool key Tab space)"
box=$(open_box xdotool key Tab space)
check_equal "Tab goes on to Command2" "Edit	100	," \
  "$(dialog_controls 输入替换成的符号 | grep '^Edit')"
close_box "$box" Escape
before=$(visible_windows '.+')
xdotool key Return
sleep 0.5
check_equal "Enter on a focused button clicks nothing" "$before" "$(visible_windows '.+')"
xdotool key Tab z
sleep 0.2
check_equal "and Tab comes back to the text box, selecting its text" "z" "$(copy_with ctrl+a ctrl+c)"

# --- A lone CR or LF is a character inside its line ------------------------------------
echo "[${SECONDS}s] A lone CR or LF is a character ins"
paste_exactly_into_text_box $'a\nb\r\na\nb\r\nc\rd\r\nc\rd'
check_equal "a pasted lone LF and CR stay in the text" 'a\nb\r\na\nb\r\nc\rd\r\nc\rd' "$(text1_exactly)"
check_equal "Command1 counts lines between CR LF only" "执行完成，原总数:4，处理后数:2，清出重复数:2" \
  "$(summary_of click_command1)"
check_equal "the kept lines keep their lone LF and CR" 'a\nb\r\nc\rd' "$(text1_exactly)"
answer_input_box Return
check_equal "Command2 replaces CR LF only" 'a\nb,c\rd' "$(text1_exactly)"
paste_into_text_box $'a\nb\r\nc'
check_equal "(text from the X clipboard arrives with each lone LF made CR LF by wine)" \
  'a\r\nb\r\nc' "$(text1_exactly)"

# --- The text box's context menu --------------------------------------------------------
echo "[${SECONDS}s] The text box's context menu"
paste_into_text_box "$list"
xdotool mousemove --window "$main_window" 200 60 click 3
sleep 1
import -window root "$output/win32-context-menu.png"
xdotool key Escape
sleep 0.3

# Clicks Command1, then while it works presses Enter and clicks Command2.
click_command1_and_go_on() {
  click_command1
  sleep 0.3
  xdotool key Return
  click_command2
}

# --- Long lists: the counts, and the time from the click to the summary -----------------
echo "[${SECONDS}s] Long lists: the counts, and the ti"
: >"$output/timings.txt"
for lines in 10000 100000; do
  half=$((lines / 2))
  awk -v n="$lines" 'BEGIN { for (i = 1; i <= n; i++) printf "line %06d%s", i % (n / 2), (i < n ? "\r\n" : "") }' \
    >"$output/long-list.txt"
  paste_into_text_box "$(cat "$output/long-list.txt")"
  start=$(date +%s%N)
  if ((lines <= 10000)); then
    box=$(open_box click_command1)
  else  # seconds of work: Enter and a click on Command2 meanwhile
    box=$(open_box click_command1_and_go_on)
  fi
  elapsed_ms=$((($(date +%s%N) - start) / 1000000))
  check_equal "$lines lines: the summary" \
    "执行完成，原总数:$lines，处理后数:$half，清出重复数:$half" \
    "$(dialog_controls Vorlane | awk -F'\t' '$1 == "Static" && $3 != "" { print $3 }')"
  if ((lines > 10000)); then
    sleep 0.5
    check_equal "Enter pressed while the command worked did not close the summary" \
      "$box" "$(visible_windows '.+' | grep -x "$box")"
  fi
  close_box "$box" Return
  if ((lines > 10000)); then
    sleep 1
    check_equal "the click on Command2 while it worked opened nothing" \
      "$main_window" "$(visible_windows '.+')"
  fi
  if ((lines <= 10000)); then  # (the clipboard takes seconds for longer texts)
    check_equal "$lines lines: the text keeps half of them" "$half" \
      "$(text_box_content | grep -c '^line ')"
  fi
  echo "$lines lines: click to summary ${elapsed_ms} ms" | tee -a "$output/timings.txt"
done
rm -f "$output/long-list.txt"

places=$(control_places)
xdotool windowsize --sync "$main_window" 900 420 2>/dev/null
sleep 0.5
check_equal "the window grew" "900x420" "$(client_size)"
check_equal "and its controls stayed where they were" "$places" "$(control_places)"
close_vorlane
check_equal "Alt+F4 ends the program" "0" "$exit_status"

# --- 144 DPI: the layout and the font scaled by the screen's DPI -----------------------
echo "[${SECONDS}s] 144 DPI"
# (The program is DPI-aware through its manifest; wine takes the DPI from the
# prefix's registry, set here for one start of the program.)
set_dpi() {  # dots per inch, or "" for the default
  if [[ -n "$1" ]]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f
  else
    wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f
  fi >/dev/null 2>&1
}
trap 'set_dpi ""; wine_env_stop' EXIT
set_dpi 144
dpi=144
start_vorlane
set_dpi ""
check_equal "client area at 144 DPI" "986x389" "$(client_size)"
check_equal "the controls at one and a half times their places" \
  $'Edit\t101\t24,12,950,290\nButton\t102\t24,312,494,62\nButton\t103\t528,312,434,62' \
  "$(control_places)"
paste_into_text_box $'苹果\r\n苹果'
import -window root "$output/win32-window-144dpi.png"
check_equal "Command1 sits at one and a half times its place" "执行完成，原总数:2，处理后数:1，清出重复数:1" \
  "$(summary_of click_command1)"
close_vorlane
check_equal "Alt+F4 ends the program at 144 DPI too" "0" "$exit_status"

finish_checks
