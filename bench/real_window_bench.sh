#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The commands on a real X server (Xvfb with the openbox window manager), timed
# against pasting the same list, done the way a person does it: the typical
# list of LINES lines (default 1000000) goes on the clipboard, Ctrl+V pastes
# it into the empty text box, then a click on Command1 removes the duplicate
# lines. Then, in a fresh window, the same paste and Command2 with the comma.
# Prints the seconds of each, the ratios, and the program's memory (peak and
# resident) after the paste and after each command.
#
# A step ends when the program has used no processor time for a second; its
# time runs from the key press or click to the last moment it worked.
# Needs a build with -DVORLANE_BENCH=ON in BUILD (default build-bench). With
# ACCESSIBILITY=1 the program runs with the accessibility bus on, as under a
# screen reader (a D-Bus session of its own, at-spi2-core).
set -uo pipefail

if [[ -n "${ACCESSIBILITY:-}" && -z "${VORLANE_UNDER_DBUS:-}" ]]; then
  VORLANE_UNDER_DBUS=1 exec dbus-run-session -- "$0" "$@"
fi
if [[ -z "${VORLANE_UNDER_XVFB:-}" ]]; then
  VORLANE_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" "$0" "$@"
fi

lines=${1:-1000000}
build=${BUILD:-build-bench}
unset QT_QPA_PLATFORM QT_SCALE_FACTOR
export LC_ALL=C.UTF-8
dir=$(mktemp -d)
openbox --sm-disable >/dev/null 2>&1 &
helpers=$!
if [[ -n "${ACCESSIBILITY:-}" ]]; then
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  helpers="$helpers $!"
fi
trap 'kill $helpers 2>/dev/null; rm -rf "$dir"' EXIT
sleep 1

"$build/bench/vorlane_sample_file" "$lines" "$dir/list.txt" || exit 1
echo "list: $lines lines, $(stat -c %s "$dir/list.txt") bytes of UTF-8"

exec {never}<> <(:)
pause() { read -r -t "$1" -u "$never"; }  # sleeps without starting a process
now_us() { echo "${EPOCHREALTIME/./}"; }
seconds() { awk -v us="$1" 'BEGIN { printf "%.2f", us / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

cpu_ticks() {  # pid: its user and system time in clock ticks
  local fields
  read -r -a fields <"/proc/$1/stat"
  echo $((fields[13] + fields[14]))
}

# Waits until the program has been idle for a second; prints the microseconds
# from `start` to the last poll at which it had used more processor time.
busy_time_since() {  # start (µs)
  local start=$1 last_busy=$1 ticks previous
  previous=$(cpu_ticks "$vorlane_pid")
  while (($(now_us) - last_busy < 1000000)); do
    pause 0.02
    ticks=$(cpu_ticks "$vorlane_pid")
    if ((ticks != previous)); then
      last_busy=$(now_us)
      previous=$ticks
    fi
  done
  echo $((last_busy - start))
}

memory() {  # "peak X MB, resident Y MB"
  awk '/^VmHWM/ {p = $2} /^VmRSS/ {r = $2} END {printf "peak %d MB, resident %d MB", p / 1024, r / 1024}' \
    "/proc/$vorlane_pid/status"
}

vorlane_pid=""
main_window=""
start_vorlane() {
  env ${ACCESSIBILITY:+QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1} "$build/qt/vorlane" >/dev/null 2>&1 &
  vorlane_pid=$!
  for _ in $(seq 200); do
    main_window=$(xdotool search --onlyvisible --name '^Vorlane$' 2>/dev/null | head -1)
    [[ -n "$main_window" ]] && break
    pause 0.1
  done
  [[ -n "$main_window" ]] || { echo "the window did not appear"; exit 1; }
  xdotool windowactivate --sync "$main_window" 2>/dev/null
  pause 0.5
}
stop_vorlane() {
  kill "$vorlane_pid" 2>/dev/null
  wait "$vorlane_pid" 2>/dev/null
}

paste_list() {  # prints the paste's microseconds
  xclip -selection clipboard -i "$dir/list.txt" >/dev/null 2>&1
  xdotool mousemove --window "$main_window" 300 100 click 1
  pause 0.5
  local start
  start=$(now_us)
  xdotool key ctrl+v
  busy_time_since "$start"
}

# Prints the text of the box in front (the summary of Command1), and closes it.
front_box_text() {
  echo -n "sentinel" | xclip -selection clipboard -i >/dev/null 2>&1
  xdotool key ctrl+c
  pause 0.5
  xclip -selection clipboard -o 2>/dev/null
  xdotool key Return
  pause 0.5
}

start_vorlane
paste1=$(paste_list)
after_paste=$(memory)
start=$(now_us)
xdotool mousemove --window "$main_window" 180 228 click 1
click1=$(busy_time_since "$start")
after_click=$(memory)
summary=$(front_box_text)
stop_vorlane

start_vorlane
paste2=$(paste_list)
xdotool key --delay 80 Tab Tab space
pause 1
start=$(now_us)
xdotool key Return
click2=$(busy_time_since "$start")
after_command2=$(memory)
stop_vorlane

echo "paste:            $(seconds "$paste1") s; then $after_paste"
echo "Command1 click:   $(seconds "$click1") s, $(ratio "$click1" "$paste1") of the paste (target <= 0.5); then $after_click"
echo "  its summary:    $summary"
echo "paste again:      $(seconds "$paste2") s"
echo "Command2 (comma): $(seconds "$click2") s, $(ratio "$click2" "$paste2") of that paste; then $after_command2"
