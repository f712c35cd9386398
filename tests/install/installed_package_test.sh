#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Unpacks the built .deb into a scratch root, checks what it installs and
# names, and starts the installed program on the offscreen platform.
#
# Usage: installed_package_test.sh BUILD_DIR
set -uo pipefail

deb=$(ls "$1"/vorlane_*.deb 2>/dev/null | head -1)
[[ -n "$deb" ]] || { echo "FAILED: no vorlane_*.deb in $1 (build it with: cpack -G DEB)"; exit 1; }

passed=0
failed=0
check() {  # what, command...
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 qt6-qpa-plugins qt6-translations-l10n fonts-wqy-microhei; do
  check "the package depends on $package" grep -q "$package" <<<"$depends"
done

check "the program is installed" test -x "$root/usr/bin/vorlane"
desktop_file="$root/usr/share/applications/vorlane.desktop"
check "the desktop entry is valid" desktop-file-validate "$desktop_file"
check "the desktop entry names the program" grep -qx 'Name=Vorlane' "$desktop_file"
check "the desktop entry has a Chinese comment" grep -q '^Comment\[zh_CN\]=' "$desktop_file"
check "the desktop entry is a text utility" grep -qx 'Categories=Utility;TextTools;' "$desktop_file"

for size in 16 24 32 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x$size/apps/vorlane.png"
  # PNG header: width and height, 4 bytes each, big-endian.
  check "the $size px icon is $size x $size" \
    test "$(od -An -tx1 -j16 -N8 "$icon" 2>/dev/null | tr -d ' \n')" = "$(printf '%08x%08x' "$size" "$size")"
done
check "the scalable icon is installed" test -s "$root/usr/share/icons/hicolor/scalable/apps/vorlane.svg"

errors=$(mktemp)
QT_QPA_PLATFORM=offscreen timeout 3 "$root/usr/bin/vorlane" 2>"$errors"
status=$?
check "the installed program starts and keeps running (exit $status)" test "$status" -eq 124
check "the installed program finds its translation" \
  bash -c "! grep -q 'translation' '$errors'"

printf '%d passed, %d failed\n' "$passed" "$failed"
[[ $failed -eq 0 ]]
