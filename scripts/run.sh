#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Vorlane (Release) and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)" --target vorlane

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "run.sh: no display to open the window on; run it in a desktop session, or under a virtual display with 'xvfb-run scripts/run.sh' (apt-get install xvfb)" >&2
  exit 1
fi
exec build/release/qt/vorlane "$@"
