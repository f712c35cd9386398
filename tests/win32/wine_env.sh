# shellcheck shell=bash
# SPDX-License-Identifier: MIT
# Sourced by the Windows tests: sets up wine inside the build folder and exports
# what every wine call needs. Usage:
#
#   . tests/win32/wine_env.sh          # in $VORLANE_WINE_ROOT, or build/windows/wine
#   wine_env_start_display [--wm]      # own Xvfb on a free display (and openbox)
#   ...wine calls...
#   wine_env_stop                      # ends this prefix's wine processes and the display
#
# Everything stays in that folder: the prefix (never ~/.wine), a zh_CN.UTF-8 locale
# built with localedef (used through LOCPATH), and the XDG folders, so nothing
# is written to the user's home. Wine makes no menu entries or file
# associations on the host, asks for no Mono or Gecko, and prints no debug
# channels. Tests that use it share the prefix: in CMake they take
# RESOURCE_LOCK wine_prefix, so that ctest runs them one at a time.

vorlane_wine_root=${VORLANE_WINE_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/windows/wine}
mkdir -p "$vorlane_wine_root"
vorlane_wine_root=$(cd "$vorlane_wine_root" && pwd)

export WINEPREFIX=$vorlane_wine_root/prefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
export XDG_CONFIG_HOME=$vorlane_wine_root/xdg/config
export XDG_DATA_HOME=$vorlane_wine_root/xdg/data
export XDG_CACHE_HOME=$vorlane_wine_root/xdg/cache
export LOCPATH=$vorlane_wine_root/locale

# The locale and the prefix are made once; a lock keeps tests that start
# together from making them twice.
(
  flock 9
  if [[ ! -d $LOCPATH/zh_CN.UTF-8 ]]; then
    mkdir -p "$LOCPATH"
    LC_ALL=C localedef -i zh_CN -f UTF-8 "$LOCPATH/zh_CN.UTF-8"
  fi
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    wineboot --init >/dev/null 2>&1
    wineserver -w
    # Wine links the user's Desktop, Documents and the like to the home
    # folder; plain folders keep what programs save there in the prefix.
    for link in "$WINEPREFIX/drive_c/users/$(id -un)"/*; do
      [[ -L $link ]] && rm "$link" && mkdir "$link"
    done
  fi
) 9>"$vorlane_wine_root/.lock"
# Programs started from here find the locale through LOCPATH; this shell read
# its environment at start and warns that it cannot switch, which is harmless.
{ export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8; } 2>/dev/null

vorlane_xvfb_pid=
vorlane_wm_pid=

# Starts Xvfb on the first free display from :90 up and exports DISPLAY; with
# --wm also openbox, which the window tests need to focus and move windows.
wine_env_start_display() {
  local n=90
  while [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  vorlane_xvfb_pid=$!
  local tries=0
  until [[ -e /tmp/.X11-unix/X$n ]]; do
    ((++tries < 100)) || { echo "Xvfb did not start on :$n" >&2; return 1; }
    sleep 0.05
  done
  export DISPLAY=:$n
  if [[ ${1:-} == --wm ]]; then
    openbox >/dev/null 2>&1 &
    vorlane_wm_pid=$!
  fi
}

# Ends the wine processes of this prefix, then the window manager and Xvfb
# this shell started.
wine_env_stop() {
  wineserver -k 2>/dev/null || true
  local pid
  for pid in $vorlane_wm_pid $vorlane_xvfb_pid; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  vorlane_wm_pid=''
  vorlane_xvfb_pid=''
  return 0
}
