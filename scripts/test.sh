#!/usr/bin/env bash
# Installs what is missing, builds Vorlane with its tests and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."

# The real-window tests need an X server, a window manager, xdotool, the
# clipboard and screenshots; the package test validates the desktop entry.
scripts/install-deps.sh xvfb xauth openbox xdotool xclip imagemagick desktop-file-utils
jobs=$(nproc)

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$jobs"
(cd build/release && cpack -G DEB >/dev/null)
ctest --test-dir build/release --output-on-failure -j "$jobs"
