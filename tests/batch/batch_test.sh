#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs `vorlane dedupe` and `vorlane join` as a user would, with no display,
# and checks what they write, where, and with which exit status.
#
# Usage: batch_test.sh VORLANE
set -uo pipefail
# shellcheck source=tests/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
vorlane=$(realpath "$1")
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1


# One run on standard input and output. INPUT and OUTPUT are printf formats;
# STDERR is an extended regular expression for its only line, or empty when
# nothing may be written there.
expect() {  # name, input, output, status, stderr, arguments...
  local name=$1 input=$2 output=$3 status=$4 stderr=$5
  shift 5
  printf "$input" >in
  printf "$output" >expected
  "$vorlane" "$@" <in >out 2>err
  local got=$?
  check "$name: exit status $got" test "$got" -eq "$status"
  check "$name: output $(od -An -c out | head -3)" cmp -s out expected
  check "$name: standard error: $(cat err)" \
    bash -c 'if [[ -z $0 ]]; then [[ ! -s err ]]; else [[ $(wc -l <err) -eq 1 ]] && grep -Eq -- "$0" err; fi' \
    "$stderr"
}

summary() { echo "^执行完成，原总数:$1，处理后数:$2，清出重复数:$3\$"; }

# --- dedupe: line breaks, encodings, invalid bytes ---
expect "LF" 'b\na\nb\nabc\n\na\n' 'b\na\nabc\n' 0 "$(summary 6 3 3)" dedupe
expect "CR LF, no final break" 'x\r\ny\r\nx\r\ny' 'x\r\ny' 0 "$(summary 4 2 2)" dedupe -
expect "lone CR" 'x\ry\rx\r' 'x\ry\r' 0 "$(summary 3 2 1)" dedupe
expect "mixed: the first break's kind" 'a\r\nb\nc\rb\n' 'a\r\nb\r\nc\r\n' 0 "$(summary 4 3 1)" dedupe
expect "empty input" '' '' 0 "$(summary 0 0 0)" dedupe
expect "empty lines only" '\n\n' '' 0 "$(summary 2 0 2)" dedupe
expect "UTF-8 BOM" '\xef\xbb\xbfa\r\nb\r\na\r\n' '\xef\xbb\xbfa\r\nb\r\n' 0 "$(summary 3 2 1)" dedupe
expect "UTF-16 LE" '\xff\xfea\0\n\0a\0\n\0' '\xff\xfea\0\n\0' 0 "$(summary 2 1 1)" dedupe
expect "UTF-16 BE" '\xfe\xff\0a\0\r\0\n\0b\0\r\0\n\0a' '\xfe\xff\0a\0\r\0\n\0b' 0 "$(summary 3 2 1)" dedupe
expect "invalid UTF-8 passes through" 'a\xff\n\xc0\xaf\na\xff\nb\n' 'a\xff\n\xc0\xaf\nb\n' 0 \
  "$(summary 4 3 1)" dedupe
# 文中, 闹, 中, U+20000: 闹's bytes occur inside 文中's, but the character does not.
gb18030='\xce\xc4\xd6\xd0\n\xc4\xd6\n\xd6\xd0\n\x95\x32\x82\x36\n'
expect "GB18030" "$gb18030" '\xce\xc4\xd6\xd0\n\xc4\xd6\n\x95\x32\x82\x36\n' 0 "$(summary 4 3 1)" \
  dedupe --encoding GB18030
expect "invalid GB18030" '\xd6\xd0\n\xff\n' '' 1 "字节偏移 3 处不是有效的 GB18030 编码$" dedupe --encoding=GB18030
expect "UTF-16 cut short" '\xff\xfea\0b' '' 1 "字节偏移 4 处不是有效的 UTF-16LE 编码$" dedupe
expect "unpaired surrogate" '\xff\xfea\0\x00\xdc' '' 1 "字节偏移 4 处" dedupe
# An invalid byte matches no part of a valid character, here U+100C1's second half.
expect "an invalid byte after a pair" '\xf0\x90\x83\x81\n\xc1\n' '\xf0\x90\x83\x81\n\xc1\n' 0 \
  "$(summary 2 2 0)" dedupe
expect "a pair after an invalid byte" '\xc1\n\xf0\x90\x83\x81\n' '\xc1\n\xf0\x90\x83\x81\n' 0 \
  "$(summary 2 2 0)" dedupe
# Kept lines keep their bytes where iconv's round trip would change them.
expect "BIG5 keeps its bytes" 'x \xa2\xcc y\r\nx \xa4\x51 y\r\nz\r\n' 'x \xa2\xcc y\r\nz\r\n' 0 \
  "$(summary 3 2 1)" dedupe --encoding BIG5
expect "CP932 keeps its bytes" '\x87\x90\n' '\x87\x90\n' 0 "$(summary 1 1 0)" dedupe --encoding CP932
expect "join BIG5 keeps its bytes" 'x \xa2\xcc y\nz\n' 'x \xa2\xcc y\xa1\x41z\n' 0 "" \
  join -s ， --encoding BIG5
expect "UTF-32 LE by its BOM" '\xff\xfe\0\0a\0\0\0\n\0\0\0a\0\0\0\n\0\0\0' \
  '\xff\xfe\0\0a\0\0\0\n\0\0\0' 0 "$(summary 2 1 1)" dedupe
expect "join UTF-32 BE by its BOM" '\0\0\xfe\xff\0\0\0a\0\0\0\r\0\0\0b' '\0\0\xfe\xff\0\0\0a\0\0\0,\0\0\0b' 0 "" join

# --- join ---
expect "join with a comma" 'a\nb\nc\n' 'a,b,c\n' 0 "" join
expect "join as typed" 'a\r\nb\r\n\r\nc' 'a; b; ; c' 0 "" join --separator='; '
expect "join a lone CR" 'a\rb' 'a、b' 0 "" join -s 、
expect "join GB18030" 'a\nb\n' 'a\xa1\xa2b\n' 0 "" join -s 、 --encoding GB18030
expect "join nothing" '' '' 0 "" join
expect "join UTF-16, whole" '\xff\xfea\0\n\0b\0\n\0' '\xff\xfea\0,\0b\0\n\0' 0 "" join
seq 300000 >numbers
"$vorlane" join numbers -o joined
check "join in pieces as paste -sd, does" cmp -s joined <(paste -sd, numbers)

# --- usage errors: exit 2, nothing written ---
expect "empty separator" 'a\n' '' 2 "分隔符不能为空" join -s ''
expect "separator the encoding lacks" 'a\nb\n' '' 2 "分隔符" join -s 、 --encoding ASCII
expect "unknown encoding" 'a\n' '' 2 "未知的编码“NOPE”" dedupe --encoding NOPE
expect "unknown option" 'a\n' '' 2 "未知的选项“--bogus”" dedupe --bogus
expect "join's option on dedupe" 'a\n' '' 2 "未知的选项“-s”" dedupe -s ,
expect "two inputs" 'a\n' '' 2 "多余的参数" dedupe a b
expect "a value missing" 'a\n' '' 2 "需要一个值" join -o
expect "an empty output name" 'a\n' '' 2 "输出文件名不能为空" dedupe missing -o ''
expect "an empty input name" 'a\n' '' 2 "输入文件名不能为空" join ''
expect "an empty encoding" 'a\n' '' 2 "未知的编码“”" join --encoding=

# --- input and output files ---
expect "missing input" '' '' 1 "无法打开“missing”：没有那个文件或目录" dedupe missing
mkdir folder
expect "a folder as input" '' '' 1 "“folder”是一个目录" dedupe folder
expect "a folder as output" 'a\n' '' 1 "“folder”是一个目录" dedupe -o folder
expect "no folder for the output" 'a\n' '' 1 "无法在“no/such”中创建临时文件" dedupe -o no/such/out
expect "-o /dev/stdout" 'a\na\n' 'a\n' 0 "$(summary 2 1 1)" dedupe -o /dev/stdout
# The test's own device node: a fault that replaced OUT replaces nothing of the machine's.
if mknod -m 666 full c 1 7 2>/dev/null; then
  expect "a full disk" 'a\n' '' 1 "无法写入“full”：磁盘空间不足" dedupe -o full
  check "a full device stays a device" test -c full
else
  echo "no right to make device nodes: the full disk case is left out"
fi

printf 'b\na\nb\n' >list
chmod 640 list
"$vorlane" dedupe list -o list 2>/dev/null
check "-o onto the input file" cmp -s list <(printf 'b\na\n')
check "the replaced file keeps its permissions" test "$(stat -c %a list)" = 640
printf 'old\n' >kept
printf '\xff\n' >bad
"$vorlane" join --encoding UTF-8 bad -o kept 2>/dev/null
check "a failed run leaves OUT as it was" cmp -s kept <(printf 'old\n')
"$vorlane" dedupe --encoding UTF-8 -o new bad 2>/dev/null
check "a failed run creates no OUT" test ! -e new
check "no temporary file is left" test -z "$(ls -A | grep vorlane)"

seq 300000 | "$vorlane" join 2>err | head -c 1 >/dev/null
check "a closed pipe is an error (exit ${PIPESTATUS[1]})" test "${PIPESTATUS[1]}" -eq 1
check "a closed pipe is one line: $(cat err)" grep -q "^vorlane：无法写入标准输出：管道已关闭$" err

"$vorlane" dedupe --help >out 2>err
check "help on standard output" bash -c 'grep -q "vorlane join" out && [[ ! -s err ]]'
# The exit statuses the help states are the ones the program returns.
stated_read=$(sed -n 's/.*；\([0-9]\) 读写错误.*/\1/p' out)
stated_usage=$(sed -n 's/.*；\([0-9]\) 用法错误.*/\1/p' out)
"$vorlane" dedupe no-such-file.txt >/dev/null 2>&1
check "the help's status for a read error is the real one ($stated_read, $?)" test "${stated_read:-x}" = $?
"$vorlane" dedupe --no-such-option >/dev/null 2>&1
check "the help's status for a usage error is the real one ($stated_usage, $?)" test "${stated_usage:-x}" = $?
# Every example of the help runs as written, on files named as in it.
mkdir -p examples/bin
ln -s "$vorlane" examples/bin/vorlane
printf '甲\n乙\n甲\n' >examples/名单.txt
printf '\xbc\xd7\n\xd2\xd2\n\xbc\xd7\n' >examples/旧名单.txt
printf '甲\t1\n乙\t2\n' >examples/表格.tsv
sed -n '/^示例：$/,$p' out | sed -n 's/^  //p' >examples/list
while IFS= read -r example; do
  (cd examples && PATH=$PWD/bin:$PATH bash -c "$example" >example_out 2>example_err)
  status=$?
  check "the help's example '$example' runs (exit $status: $(cat examples/example_err))" \
    test $status -eq 0
done <examples/list
check "the help shows three examples" test "$(wc -l <examples/list)" -eq 3
check "... which do what they show" bash -c '[[ $(cat examples/名单.txt) == 甲$'"'\n'"'乙 &&
  $(cat examples/新名单.txt) == $'"'\xbc\xd7\n\xd2\xd2'"' && $(cat examples/example_out) == 甲、乙 ]]'
# Every form the help says is known by its byte order mark is, and is written
# back with it.
forms=$("$vorlane" dedupe --help | grep 'BOM' | grep -o 'UTF-[0-9]*')
check "the help names three forms known by their BOM: $(echo $forms)" \
  test "$(wc -w <<<"$forms")" -eq 3
for form in $forms; do
  rm -f bom_in bom_expected
  python3 - "$form" <<'PYTHON'
import sys
codec = {"UTF-8": "utf-8-sig", "UTF-16": "utf-16", "UTF-32": "utf-32"}[sys.argv[1]]
open("bom_in", "wb").write("a\nb\na\n".encode(codec))
open("bom_expected", "wb").write("a\nb\n".encode(codec))
PYTHON
  "$vorlane" dedupe bom_in -o bom_out 2>/dev/null
  check "$form with a BOM, as the help says, is read and written back" cmp -s bom_out bom_expected
done
"$vorlane" join --help >/dev/full 2>err
check "help on a full disk fails (exit $?)" test $? -eq 1
check "... with a message: $(cat err)" grep -qx "vorlane：无法写入标准输出：磁盘空间不足" err

# A pair or a CR LF across the reads of 1 MiB, in every encoding that reaches
# the join's pieces, to standard output and to a file.
python3 - <<'PYTHON'
import codecs
cases = {"utf8": ("utf-8", b""), "utf16le": ("utf-16-le", codecs.BOM_UTF16_LE),
         "gb18030": ("gb18030", b"")}
for name, (codec, bom) in cases.items():
    for kind, middle in (("pair", "\U0001F600"), ("crlf", "\r\n")):
        for shift in (-1, 0, 1):
            unit = len("a".encode(codec))
            count = ((1 << 20) - len(bom)) // unit + shift
            text = "a" * count + middle + "b\nc\r\n"
            data = bom + text.encode(codec)
            first = "\r\n" if "\r\n" in text.split("\n")[0] + "\n" else "\n"
            joined = "、".join(text.replace("\r\n", "\n")[:-1].split("\n")) + first
            open(f"piece-{name}-{kind}-{shift}", "wb").write(data)
            open(f"piece-{name}-{kind}-{shift}.joined", "wb").write(bom + joined.encode(codec))
PYTHON
for input in piece-*[0-9]; do
  encoding=()
  [[ $input == piece-gb18030-* ]] && encoding=(--encoding GB18030)
  "$vorlane" join -s 、 "${encoding[@]}" "$input" >out 2>/dev/null
  check "$input joined to standard output" cmp -s out "$input.joined"
  rm -f out  # a new file: replacing one would wait for the disk
  "$vorlane" join -s 、 "${encoding[@]}" "$input" -o out 2>/dev/null
  check "$input joined to a file" cmp -s out "$input.joined"
done

finish_checks
