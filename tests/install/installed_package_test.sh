#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the built .deb with Debian's own checkers, unpacks it into a scratch
# root, checks what it installs and names, and starts the installed program:
# on the command line without a display, and its window offscreen.
#
# Usage: installed_package_test.sh BUILD_DIR VERSION
set -uo pipefail
# shellcheck source=tests/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

version=$2
deb=$(ls "$1"/vorlane_"$version"_*.deb 2>/dev/null | head -1)
[[ -n "$deb" ]] || { echo "FAILED: no vorlane_${version}_*.deb in $1 (build it with: cpack -G DEB)"; exit 1; }

# Runs a command and fails if it prints anything on standard error.
silent() {  # command...
  local errors
  errors=$("$@" 2>&1 >/dev/null) && [[ -z "$errors" ]] || { printf '%s\n' "$errors"; return 1; }
}

check "lintian accepts the package" lintian --fail-on error,warning "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
share=$root/usr/share

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 qt6-qpa-plugins qt6-translations-l10n fonts-wqy-microhei; do
  check "the package depends on $package" grep -q "$package" <<<"$depends"
done
check "the package's maintainer is an address at the example domain" \
  test "$(dpkg-deb -f "$deb" Maintainer)" = "Vorlane maintainers <maintainers@vorlane.example>"

check "the program is installed" test -x "$root/usr/bin/vorlane"
check "the copyright file is machine-readable (DEP-5)" \
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  "$share/doc/vorlane/copyright"

metainfo=$(ls "$share"/metainfo/*.metainfo.xml)
app_id=$(basename "$metainfo" .metainfo.xml)
check "the AppStream metadata is valid" silent appstreamcli validate --pedantic --no-net "$metainfo"
check "the AppStream id names the desktop entry" \
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo"
desktop_file="$share/applications/$app_id.desktop"
check "the desktop entry is valid" desktop-file-validate "$desktop_file"
check "the desktop entry names the program" grep -qx 'Name=Vorlane' "$desktop_file"
check "the desktop entry has a Chinese comment" grep -q '^Comment\[zh_CN\]=' "$desktop_file"
check "the desktop entry is a text utility" grep -qx 'Categories=Utility;TextTools;' "$desktop_file"

manual_page=$(mktemp -p "$root")
zcat "$share/man/man1/vorlane.1.gz" >"$manual_page"
check "the manual page renders without warnings" silent groff -man -ww -z "$manual_page"
check "the manual page renders without warnings on a terminal" \
  silent groff -man -ww -z -Tutf8 "$manual_page"

# The version of the package reaches the program, the manual page, the
# AppStream release list and the changelog.
check "the package has the project's version" test "$(dpkg-deb -f "$deb" Version)" = "$version"
answer=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$root/usr/bin/vorlane" --version)
check "the installed program answers --version without a display" test "$answer" = "vorlane $version"
check "the manual page has the version" grep -q "^\.TH VORLANE 1 .* \"Vorlane $version\"" "$manual_page"
check "the AppStream release list has the version" \
  grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "$metainfo"
latest=$(zcat "$share/doc/vorlane/changelog.gz" | grep -m1 '^## \[[0-9]')
check "the changelog's latest release is the version" grep -q "^## \[$version\] - " <<<"$latest"

for size in 16 24 32 48 64 128 256; do
  icon="$share/icons/hicolor/${size}x$size/apps/vorlane.png"
  # PNG header: width and height, 4 bytes each, big-endian.
  check "the $size px icon is $size x $size" \
    test "$(od -An -tx1 -j16 -N8 "$icon" 2>/dev/null | tr -d ' \n')" = "$(printf '%08x%08x' "$size" "$size")"
done
check "the scalable icon is installed" test -s "$share/icons/hicolor/scalable/apps/vorlane.svg"

errors=$(mktemp -p "$root")
QT_QPA_PLATFORM=offscreen timeout 3 "$root/usr/bin/vorlane" 2>"$errors"
status=$?
check "the installed program starts and keeps running (exit $status)" test "$status" -eq 124
check "the installed program finds its translation" \
  bash -c "! grep -q 'translation' '$errors'"

finish_checks
