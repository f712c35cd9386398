#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs `vorlane dedupe` and `vorlane join` as a careless or hostile user would:
# closed descriptors, other names for standard output, file-size and process
# limits, signals, terminals, links, and an unprivileged user replacing a
# shared file. Everything happens inside one temporary folder.
#
# Usage: hostile_use_test.sh VORLANE NO_UNNAMED_FILES_LIBRARY
set -uo pipefail
# shellcheck source=tests/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
vorlane=$(realpath "$1")
no_unnamed_files=$(realpath "$2")
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1

one_line() {  # file, extended regular expression
  [[ $(wc -l <"$1") -eq 1 ]] && grep -Eq -- "$2" "$1"
}
no_leftovers() { [[ -z $(find . -name '*vorlane-*') ]]; }

printf 'a\nb\na\n' >in

# --- closed standard streams: never mistaken for a file the program opens ---
for command in dedupe join; do
  printf 'x\n' >kept
  "$vorlane" $command -o kept <&- 2>err
  status=$?
  check "$command with standard input closed fails (exit $status)" test $status -eq 1
  check "$command with standard input closed leaves OUT as it was" cmp -s kept <(printf 'x\n')
  check "$command with standard input closed says so: $(cat err)" \
    one_line err "^vorlane：无法读取“标准输入”：没有打开$"
done
"$vorlane" join in >&- 2>err
status=$?
check "join to a closed standard output fails (exit $status)" test $status -eq 1
check "join to a closed standard output says so: $(cat err)" one_line err "无法写入标准输出：没有打开"
"$vorlane" dedupe in -o out 2>&-
status=$?
check "a summary that cannot be written fails (exit $status)" test $status -eq 1
check "... after the output is complete" cmp -s out <(printf 'a\nb\n')
"$vorlane" dedupe in -o out2 2>/dev/full
status=$?
check "a summary on a full disk fails (exit $status)" test $status -eq 1
check "... after the output is complete" cmp -s out2 <(printf 'a\nb\n')
"$vorlane" --version >&- 2>err
check "an answer to a closed standard output fails" test $? -eq 1

# --- other names for standard output and error: written through them ---
for name in ./log /dev//stdout "$dir/log" /proc/self/fd/1; do
  printf 'old\n' >log
  "$vorlane" join in -o "$name" >>log
  check "-o $name with >>log appends" cmp -s log <(printf 'old\na,b,a\n')
done
seq 400000 >grows
timeout 5 "$vorlane" join grows -o /dev/stdout >>grows
check "-o /dev/stdout >>FILE with FILE as the input joins what was there (exit $?)" \
  cmp -s grows <(seq 400000; seq 400000 | paste -sd,)
seq 400000 >grows
timeout 5 "$vorlane" join -o /dev/stdout <grows >>grows
check "join of standard input to -o /dev/stdout >>FILE, FILE the input too (exit $?)" \
  cmp -s grows <(seq 400000; seq 400000 | paste -sd,)
"$vorlane" dedupe in -o /dev/stderr 2>err
status=$?
check "-o /dev/stderr: the lines and then the summary (exit $status)" \
  cmp -s err <(printf 'a\nb\n执行完成，原总数:3，处理后数:2，清出重复数:1\n')
"$vorlane" join in -o /dev/fd/1x >out 2>err
status=$?
check "-o /dev/fd/1x names a file, not descriptor 1 (exit $status)" \
  bash -c '[[ ! -s out ]] && grep -q "/dev/fd" err' && test $status -eq 1
for name in /dev/fd/3 /proc/self/fd/3; do
  printf 'old\n' >log3
  "$vorlane" join in -o $name 3>>log3
  check "-o $name with 3>>log3 appends" cmp -s log3 <(printf 'old\na,b,a\n')
done
printf 'old\n' >log
"$vorlane" join in -o log 2>>log
check "-o log with 2>>log appends" cmp -s log <(printf 'old\na,b,a\n')
mkfifo pipe
cat pipe >from_pipe &
"$vorlane" join in -o pipe
wait
check "a named pipe is written directly" cmp -s from_pipe <(printf 'a,b,a\n')
check "... and stays a pipe" test -p pipe

# --- limits and signals: no new file is ever left behind ---
(ulimit -f 1 && seq 100000 | "$vorlane" join -o big 2>err)
status=$?
check "a file too large for the limit fails (exit $status)" test $status -eq 1
check "... with a message: $(cat err)" one_line err "^vorlane：无法写入“big”：文件过大$"
check "... and leaves nothing" bash -c '[[ ! -e big ]] && [[ -z $(ls -A | grep vorlane) ]]'
seq 3000000 >many
ulimit -c 0  # no core files from the signals below
# Runs dedupe of `many` into `target` (first "old"), after the words given
# before it, and sends it SIGNAL while it works; returns its status.
interrupted_dedupe() {  # signal, words before the program...
  local signal=$1
  shift
  printf 'old\n' >target
  "$@" "$vorlane" dedupe many -o target 2>/dev/null &
  local pid=$!
  sleep 0.3
  kill -s "$signal" $pid
  wait $pid 2>/dev/null
}
for signal in KILL SEGV ABRT XCPU; do
  interrupted_dedupe $signal
  check "SIG$signal leaves no new file behind" no_leftovers
  check "SIG$signal leaves OUT as it was" cmp -s target <(printf 'old\n')
done

# --- where no unnamed file can be made (no /proc, as in some containers): a
# named temporary file, which no catchable signal and no error leaves behind ---
# Runs the command that follows as the same process, with /proc hidden from it
# alone and every signal at its default (a background job ignores SIGINT).
without_proc=(env --default-signal unshare --mount
  bash -c 'mount -t tmpfs none /proc && exec "$@"' without_proc)
# (AddressSanitizer and LeakSanitizer need /proc: the sanitized build leaves these out.)
if [[ -z ${VORLANE_SANITIZED:-} ]] && "${without_proc[@]}" true 2>/dev/null; then
  printf 'old\n' >target
  "${without_proc[@]}" "$vorlane" dedupe in -o target
  check "without /proc, OUT is replaced (exit $?)" cmp -s target <(printf 'a\nb\n')
  check "... and no temporary file is left" no_leftovers
  "${without_proc[@]}" "$vorlane" join in -o new_without_proc
  check "without /proc, a new OUT is made" cmp -s new_without_proc <(printf 'a,b,a\n')
  # While it is written, the new file is .OUT.vorlane-XXXXXX beside OUT.
  printf 'old\n' >target
  mkfifo slow_in
  "${without_proc[@]}" "$vorlane" dedupe slow_in -o target 2>/dev/null &
  pid=$!
  exec 7>slow_in
  for _ in {1..50}; do
    names=$(ls -A | grep vorlane) && break
    sleep 0.1
  done
  exec 7>&-
  wait $pid
  check "without /proc, the file being written is named '$names'" \
    grep -Eqx '\.target\.vorlane-[A-Za-z0-9]{6}' <<<"$names"
  check "... and is OUT, empty, once complete" test -f target -a ! -s target
  rm slow_in
  # The named temporary file is open for reading too: on a closed standard
  # input it would be read as the input.
  for command in dedupe join; do
    printf 'x\n' >kept
    "${without_proc[@]}" "$vorlane" $command -o kept <&- 2>/dev/null
    status=$?
    check "without /proc, $command with standard input closed fails (exit $status)" \
      test $status -eq 1
    check "... and leaves OUT as it was" cmp -s kept <(printf 'x\n')
  done
  # A signal ignored from the start (nohup) stays ignored.
  interrupted_dedupe HUP "${without_proc[@]}" bash -c 'trap "" HUP && exec "$@"' -
  status=$?
  check "without /proc, an ignored SIGHUP stays ignored (exit $status)" cmp -s target many
  for signal in INT TERM HUP QUIT ALRM USR1 USR2 VTALRM PROF XCPU; do
    interrupted_dedupe $signal "${without_proc[@]}"
    check "without /proc, SIG$signal leaves no temporary file" no_leftovers
    check "... and OUT as it was" cmp -s target <(printf 'old\n')
  done
  printf 'old\n' >target
  (ulimit -f 1 && "${without_proc[@]}" "$vorlane" dedupe many -o target 2>err)
  status=$?
  check "without /proc, a file too large for the limit fails (exit $status): $(cat err)" \
    one_line err "^vorlane：无法写入“target”：文件过大$"
  check "... leaves no temporary file and OUT as it was" \
    bash -c "[[ -z \$(find . -name '*vorlane-*') ]] && [[ \$(cat target) == old ]]"
else
  echo "sanitized, or no mount namespace: the cases without /proc are left out"
fi

# --- where the filesystem has no unnamed files: the named temporary file ---
# (AddressSanitizer's runtime must be the first library: not in the sanitized build.)
if [[ -z ${VORLANE_SANITIZED:-} ]]; then
  printf 'old\n' >target
  LD_PRELOAD=$no_unnamed_files "$vorlane" dedupe in -o target 2>err
  check "without unnamed files, OUT is replaced (exit $?): $(cat err)" cmp -s target <(printf 'a\nb\n')
  check "... and no temporary file is left" no_leftovers
fi

# --- links ---
for target in made m; do
  ln -s $target dangling
  "$vorlane" dedupe in -o dangling 2>/dev/null
  check "a dangling link to '$target' stays a link" test -L dangling
  check "... and the file it names is made" cmp -s $target <(printf 'a\nb\n')
  rm dangling
done
# As many links as Linux follows (40), and one more.
for i in {1..40}; do ln -s chain$((i + 1)) chain$i; done
"$vorlane" dedupe in -o chain1 2>err
check "a chain of 40 dangling links is followed (exit $?): $(cat err)" \
  cmp -s chain41 <(printf 'a\nb\n')
check "... and stays links" test -L chain40
rm chain41
ln -s chain42 chain41
"$vorlane" dedupe in -o chain1 2>err
check "a chain of 41 fails (exit $?): $(cat err)" \
  one_line err "^vorlane：无法打开“chain1”：符号链接层数过多$"
rm chain*
ln -s loop2 loop1
ln -s loop1 loop2
"$vorlane" dedupe in -o loop1 2>err
status=$?
check "a loop of links fails (exit $status)" test $status -eq 1
check "... with a message: $(cat err)" one_line err "^vorlane：无法打开“loop1”：符号链接层数过多$"

# --- names and system errors in messages: one line, Chinese ---
"$vorlane" dedupe "$(printf 'a\nb\033[31m')" 2>err
check "a name with control characters is one escaped line: $(cat err)" \
  one_line err '^vorlane：无法打开“a\\nb\\x1B\[31m”：没有那个文件或目录$'
python3 -c 'import socket; socket.socket(socket.AF_UNIX).bind("socket")'
"$vorlane" dedupe socket 2>err
check "ENXIO in Chinese: $(cat err)" one_line err "^vorlane：无法打开“socket”：没有那个设备或地址$"

# --- memory bounded whatever the separator ---
if [[ -z ${VORLANE_SANITIZED:-} ]]; then
  separator=$(printf '%20000s' | tr ' ' x)
  (ulimit -v 300000 && printf '\n%.0s' {1..20000} | "$vorlane" join -s "$separator" >/dev/null 2>err)
  status=$?
  check "a long separator over many empty lines needs little memory: $(cat err)" test $status -eq 0
  # UTF-8 to a device is joined as it is read, not held.
  seq 9000000 >long
  (ulimit -v 250000 && "$vorlane" join long >/dev/null 2>err)
  status=$?
  check "a long UTF-8 input joined to standard output is not held: $(cat err)" test $status -eq 0
  (ulimit -v 250000 && "$vorlane" join long -o joined_long 2>err)
  status=$?
  check "a long UTF-8 input joined to a new file is not held: $(cat err)" test $status -eq 0
  # So is UTF-16 to a file, which is written whole only once complete.
  python3 -c 'import sys; sys.stdout.buffer.write(b"\xff\xfe" + "x\n".encode("utf-16-le") * 15000000)' >long
  (ulimit -v 150000 && "$vorlane" join long -o joined_long 2>err)
  status=$?
  check "a long UTF-16 input joined to a new file is not held: $(cat err)" test $status -eq 0
  rm -f long joined_long
fi

# --- terminals ---
# Standard output is the terminal: no progress line, nothing erased.
script -qec "bash -c '(sleep 1.5; printf \"alpha\\nbeta\") | \"$vorlane\" join'" /dev/null \
  </dev/null >typescript
check "join on a terminal shows its output" grep -q "alpha,beta" typescript
check "... and no progress line over it" bash -c '! grep -q $'"'"'\e'"'"' typescript'
# Standard output is a file: the progress line shows on the terminal.
script -qec "bash -c '(sleep 1.5; printf \"alpha\\nbeta\") | \"$vorlane\" join >joined'" \
  /dev/null </dev/null >typescript
check "progress shows when the output is not the terminal" grep -q "正在连接" typescript
check "... and is erased at the end" grep -q $'\r\e\\[K$' typescript
check "... and the output is whole" cmp -s joined <(printf 'alpha,beta')
# Each stage of dedupe is named; a share done only where the amount is known.
script -qec "bash -c '(sleep 1.5; printf \"a\\nb\\n\") | \"$vorlane\" dedupe -o deduped >/dev/null'" \
  /dev/null </dev/null >typescript
check "reading a pipe shows no share done: $(tr '\r\033' '|^' <typescript)" \
  grep -qF "vorlane：正在读取…（已用 1 秒）"$'\e[K' typescript
# Output to a pipe read late: the writing stage waits for the reader.
seq -f 'line %08g' 300000 >distinct
mkfifo slow
(exec 3<slow && sleep 2 && cat <&3 >/dev/null) &
script -qec "bash -c '\"$vorlane\" dedupe distinct -o slow >/dev/null'" /dev/null </dev/null \
  >typescript
wait
check "writing shows the share done: $(tr '\r\033' '|^' <typescript)" \
  grep -qE "vorlane：正在写出… [0-9]+%（已用 [0-9]+ 秒）" typescript
# Reading from a terminal: how to end the input is said first.
python3 - "$vorlane" <<'PYTHON' >pty_result 2>&1
import os, pty, select, sys, time
pid, fd = pty.fork()
if pid == 0:
    os.execv(sys.argv[1], [sys.argv[1], "dedupe"])
seen = b""
deadline = time.time() + 10
while b"Ctrl+D" not in seen and time.time() < deadline:
    if select.select([fd], [], [], 0.2)[0]:
        seen += os.read(fd, 4096)
os.write(fd, b"b\na\nb\n\x04")
while True:
    try:
        chunk = os.read(fd, 4096)
    except OSError:
        break
    if not chunk:
        break
    seen += chunk
_, status = os.waitpid(pid, 0)
print("hint" if b"Ctrl+D" in seen else "no hint", os.waitstatus_to_exitcode(status))
PYTHON
check "reading a terminal says how to end the input: $(cat pty_result)" grep -qx "hint 0" pty_result

# --- no thread for the progress line: the work goes on ---
if [[ $(id -u) -eq 0 ]]; then
  chmod 755 "$dir"
  # (LeakSanitizer, where built in, needs a thread of its own at exit.)
  script -qec "bash -c 'ASAN_OPTIONS=detect_leaks=0 setpriv --reuid=65534 --regid=65534 \
    --clear-groups prlimit --nproc=1 \"$vorlane\" join in >nproc_out'" /dev/null \
    </dev/null >typescript
  status=$?
  check "no thread for progress: exit $status" test $status -eq 0
  check "... and the output is whole" cmp -s nproc_out <(printf 'a,b,a\n')

  # --- a shared file replaced by a member of its group ---
  mkdir shared
  chmod 777 shared
  printf 'b\na\nb\n' >shared/list
  chown root:users shared/list
  chmod 664 shared/list
  python3 -c 'import os; os.setxattr("shared/list", "user.note", b"kept")'
  setpriv --reuid=65534 --regid=65534 --groups=100 "$vorlane" dedupe shared/list -o shared/list \
    2>err
  status=$?
  check "a member of the group replaces a shared file (exit $status)" test $status -eq 0
  check "... with the new lines" cmp -s shared/list <(printf 'b\na\n')
  check "... keeping its group and mode: $(stat -c %G:%a shared/list)" \
    test "$(stat -c %G:%a shared/list)" = users:664
  check "... and its extended attributes" \
    python3 -c 'import os, sys; sys.exit(os.getxattr("shared/list", "user.note") != b"kept")'
  check "... naming what it could not keep: $(head -1 err)" \
    grep -q "^vorlane：注意：新的“shared/list”未能保留原文件的所有者$" err
  chown root:users shared/list
  setpriv --reuid=65534 --regid=65534 --groups=100 "$vorlane" join shared/list -o shared/list \
    2>err
  check "join replaces it too: $(stat -c %G:%a shared/list) $(cat shared/list)" \
    test "$(stat -c %G:%a shared/list)/$(cat shared/list)" = users:664/b,a
  check "... naming what it could not keep: $(cat err)" \
    one_line err "^vorlane：注意：新的“shared/list”未能保留原文件的所有者$"
  printf 'x\n' >shared/open
  chmod 666 shared/open
  setpriv --reuid=65534 --regid=65534 --clear-groups "$vorlane" dedupe shared/open -o shared/open \
    2>err
  check "a stranger keeps neither owner nor group, and says both: $(head -1 err)" \
    grep -q "^vorlane：注意：新的“shared/open”未能保留原文件的所有者、组$" err
else
  echo "not root: the privilege cases are left out"
fi

check "/dev/null, /dev/full and /dev/zero are still devices" \
  test -c /dev/null -a -c /dev/full -a -c /dev/zero
finish_checks
