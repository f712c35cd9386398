#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows program as a file, read without running it: it needs no DLL
# beyond Windows' own, and it carries the icon in every size, the version
# resource with the project's version and the manifest for common controls 6
# and per-monitor DPI awareness.
#
# Usage: program_file_test.sh VORLANE.exe VERSION OBJDUMP WINDRES
set -euo pipefail
# shellcheck source=tests/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
exe=$1
version=$2
objdump=$3
windres=$4


# DLLs every Windows 10 and 11 has; MinGW's own runtimes (libstdc++-6.dll,
# libgcc_s_seh-1.dll, libwinpthread-1.dll) are not among them.
windows_dlls=" kernel32.dll user32.dll gdi32.dll msvcrt.dll comctl32.dll advapi32.dll
  shell32.dll ole32.dll oleaut32.dll uxtheme.dll comdlg32.dll shlwapi.dll imm32.dll
  version.dll ws2_32.dll "
imports=$("$objdump" -p "$exe" | awk '/DLL Name:/ { print tolower($3) }')
only_windows_dlls() {
  local dll
  for dll in $imports; do
    [[ $windows_dlls == *" $dll"[[:space:]]* ]] || { echo "  imports $dll"; return 1; }
  done
}
check "it imports only Windows' own DLLs ($(tr '\n' ' ' <<<"$imports"))" only_windows_dlls

resources=$("$windres" -i "$exe" -J coff -O rc) || resources=""
has() { grep -qF -- "$1" <<<"$resources"; }

# The icon group lists its images as "width height colors pad" in octal
# escapes, a width of 0 standing for 256.
icon_sizes=""
# shellcheck disable=SC2013  # one octal number a line, no spaces
for width in $(sed -n '/RT_GROUP_ICON/,/^END/ s/^ *"\\\([0-7]*\)\\.*Element no.*/\1/p' <<<"$resources"); do
  width=$((8#$width))
  icon_sizes+="$((width ? width : 256)) "
done
check "icon 1 holds 16 to 256 pixels (${icon_sizes:-none})" \
  test "$icon_sizes" = "16 24 32 48 64 128 256 "
IFS=. read -r major minor patch <<<"$version"
check "the version resource gives $version as numbers" has "FILEVERSION $major, $minor, $patch, 0"
check "the version resource gives $version as text" has "VALUE \"ProductVersion\", \"$version\""
check "the version resource names the file" has 'VALUE "OriginalFilename", "vorlane.exe"'
check "the manifest asks for common controls 6" \
  has 'name=""Microsoft.Windows.Common-Controls"" version=""6.0.0.0""'
check "the manifest declares per-monitor v2 DPI awareness" has '>PerMonitorV2, PerMonitor</dpiAwareness>'

finish_checks
