#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows packages under wine, in the build folder's prefix on a private X
# display: the installer installs silently with a Start-menu shortcut and an
# entry in the list of installed programs; the shortcut starts the installed
# program; the uninstaller removes all of it silently; the portable archive
# holds the same program, which runs from where it is unpacked.
#
# Usage: installer_test.sh SETUP.exe ARCHIVE.zip VORLANE.exe VERSION
set -euo pipefail
# shellcheck source=tests/checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
setup=$(realpath "$1")
archive=$(realpath "$2")
built_exe=$(realpath "$3")
version=$4

# shellcheck source=tests/win32/wine_env.sh
. "$(dirname "$0")/wine_env.sh"
scratch=$(mktemp -d)
trap 'wine_env_stop; rm -rf "$scratch"' EXIT
wine_env_start_display --wm

drive_c=$WINEPREFIX/drive_c
install_dir=$drive_c/Program\ Files/Vorlane
shortcut=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Vorlane.lnk
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorlane'


# The value NAME of the uninstall entry, as "TYPE DATA"; empty when missing.
entry_value() {
  wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v name="$1" '$1 == name { $1 = ""; sub(/^ +/, ""); print }'
}
entry_present() { wine reg query "$uninstall_key" >/dev/null 2>&1; }
entry_is() { [[ $(entry_value "$1") == "$2" ]]; }
entry_matches() { [[ $(entry_value "$1") =~ $2 ]]; }

# Waits up to $1 seconds for the window titled "Vorlane"; sets window to it
# and command to the Windows command line of the process that shows it.
find_program_window() {
  window='' command=''
  window=$(timeout "$1" xdotool search --sync --onlyvisible --name '^Vorlane$' | head -1) ||
    return 0
  local pid
  pid=$(xdotool getwindowpid "$window")
  command=$(tr '\0' ' ' <"/proc/$pid/cmdline" | sed 's/ *$//')
}

# The window hands the X server the program's icon at both sizes Windows
# draws a window's icon at.
window_has_icon() {
  local sizes
  sizes=$(xprop -id "$window" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | sort | tr '\n' ' ')
  [[ $sizes == *"Icon (16 x 16)"*"Icon (32 x 32)"* ]]
}

# Closes the program's windows as the user would, and waits for it to end.
close_program() {
  wine taskkill /im vorlane.exe >/dev/null 2>&1 || true
  local tries=0
  while xdotool search --name '^Vorlane$' >/dev/null 2>&1; do
    ((++tries < 100)) || return 1
    sleep 0.1
  done
}

# What is left on drive C:, without the user's Temp folder, where the
# uninstaller runs from a copy that Windows removes at the next start.
drive_c_files() {
  find "$drive_c" -path "$drive_c/users/*/Temp" -prune -o -print | sort
}

# A run that stopped half-way may have left an installation behind.
rm -rf "$install_dir" "$shortcut"
wine reg delete "$uninstall_key" /f >/dev/null 2>&1 || true
drive_c_files >"$scratch/before"

# --- Install, silently. ---
check "the installer exits with status 0" wine "$setup" /S
check "the program is installed, the same as the one built" cmp -s "$built_exe" "$install_dir/vorlane.exe"
check "LICENSE.txt, README.txt and uninstall.exe are installed" \
  test -f "$install_dir/LICENSE.txt" -a -f "$install_dir/README.txt" -a -f "$install_dir/uninstall.exe"
check "the Start menu has the shortcut" test -f "$shortcut"
no_menu_entries() { [[ -z $(find "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" -name '*.desktop' -o -name '*.menu') ]]; }
check "wine made no desktop menu entry for it" no_menu_entries
check "the installed programs list Vorlane" entry_is DisplayName "REG_SZ Vorlane"
check "its entry gives the version $version" entry_is DisplayVersion "REG_SZ $version"
check "its entry gives the publisher" entry_matches Publisher '^REG_SZ .+'
check "its entry gives the uninstaller" \
  entry_is UninstallString 'REG_SZ "C:\Program Files\Vorlane\uninstall.exe"'
check "its entry gives the program's icon" entry_is DisplayIcon 'REG_SZ C:\Program Files\Vorlane\vorlane.exe,0'
size_kib=$(($(stat -c %s "$install_dir/vorlane.exe") / 1024))
entry_size_fits() {
  local size
  size=$(entry_value EstimatedSize)
  [[ $size =~ ^REG_DWORD\ (0x[0-9a-fA-F]+)$ ]] && ((BASH_REMATCH[1] >= size_kib))
}
check "its entry estimates a size in KiB at least the program's ($size_kib)" entry_size_fits

# --- Start the program from the shortcut. ---
check "the shortcut is started" wine start "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Vorlane.lnk"
find_program_window 60
check "the shortcut starts the installed program (${command:-no window})" \
  test "$command" = 'C:\Program Files\Vorlane\vorlane.exe'
check "its window shows the program's icon" window_has_icon
check "the program closes" close_program

# --- Uninstall, silently. The uninstaller runs on from a copy of itself. ---
check "the uninstaller exits with status 0" wine "$install_dir/uninstall.exe" /S
uninstalled() {
  local tries=0
  while [[ -e $install_dir ]] || entry_present; do
    ((++tries < 120)) || return 1
    sleep 0.5
  done
}
check "the uninstaller finishes within a minute" uninstalled
wineserver -w
check "the installation folder is gone" test ! -e "$install_dir"
check "the shortcut is gone" test ! -e "$shortcut"
entry_absent() { ! entry_present; }
check "the installed programs no longer list Vorlane" entry_absent
drive_c_files >"$scratch/after"
check "no file is left behind" diff "$scratch/before" "$scratch/after"

# --- The portable archive. ---
(cd "$scratch" && cmake -E tar xf "$archive")
portable=$scratch/vorlane-$version-windows-x64
check "the archive holds vorlane.exe, LICENSE.txt and README.txt in one folder" \
  test "$(cd "$scratch" && find "vorlane-$version-windows-x64" -type f | sort | tr '\n' ' ')" = \
  "vorlane-$version-windows-x64/LICENSE.txt vorlane-$version-windows-x64/README.txt vorlane-$version-windows-x64/vorlane.exe "
check "the archive's program is the one built" cmp -s "$built_exe" "$portable/vorlane.exe"
crlf_only() { ! grep -qv $'\r$' "$@"; }
check "the archive's texts have Windows line ends" crlf_only "$portable/LICENSE.txt" "$portable/README.txt"
wine start /unix "$portable/vorlane.exe"
find_program_window 60
unpacked_started() { [[ $command == *"\\vorlane-$version-windows-x64\\vorlane.exe" ]]; }
check "the unpacked program starts (${command:-no window})" unpacked_started
check "the unpacked program closes" close_program

finish_checks
