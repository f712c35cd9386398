#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a Windows program under wine in the build folder's prefix, without a
# display, and exits with the program's exit status.
# Usage: run_under_wine.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
# shellcheck source=tests/win32/wine_env.sh
. "$(dirname "$0")/wine_env.sh"
unset DISPLAY
status=0
wine "$@" || status=$?
wineserver -w
exit "$status"
