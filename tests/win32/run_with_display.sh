#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a Windows program that makes windows under wine in the build folder's
# prefix, on a private Xvfb, and exits with the program's exit status.
# Usage: run_with_display.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
. "$(dirname "$0")/wine_env.sh"
wine_env_start_display
trap wine_env_stop EXIT
status=0
wine "$@" || status=$?
exit "$status"
