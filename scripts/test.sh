#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Vorlane with its tests and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."

# The real-window tests need an X server, a window manager, xdotool, the
# clipboard and screenshots; cpack's Debian generator needs file; the package
# test checks the .deb with Debian's checkers: lintian, appstreamcli,
# desktop-file-validate and groff; the batch tests drive the program through
# terminals and limits (script, setpriv, prlimit: util-linux, bsdutils) and
# python3. The Windows build needs MinGW-w64, wine, NSIS, icotool for the icon,
# dpkg-source for libdivsufsort's Debian source, GoogleTest's sources and
# localedef's locale sources.
scripts/install-deps.sh xvfb xauth openbox x11-utils xdotool xclip imagemagick \
  file lintian appstream desktop-file-utils groff util-linux bsdutils python3 \
  g++-mingw-w64-x86-64-posix wine wine64 nsis icoutils dpkg-dev googletest locales
jobs=$(nproc)

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$jobs"
(cd build/release && cpack -G DEB >/dev/null)
ctest --test-dir build/release --output-on-failure -j "$jobs"

# --- Fuzzing: duplicate-line removal against the plain algorithm, briefly. ---
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORLANE_FUZZ=ON -DBUILD_TESTING=OFF
cmake --build build/fuzz -j "$jobs" --target remove_duplicate_lines_fuzzer
mkdir -p build/fuzz/corpus
build/fuzz/fuzz/remove_duplicate_lines_fuzzer -max_total_time=60 -max_len=256 \
  -print_final_stats=1 build/fuzz/corpus

# --- Sanitizers: the whole test suite once more under ASan and UBSan. ---
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLANE_SANITIZE=ON
cmake --build build/sanitize -j "$jobs"
# (The package is built and tested from the Release build only.)
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build/sanitize --output-on-failure -j "$jobs" \
  -E installed_package_test

# --- Windows: the program, its packages and the core's tests, cross-built
# with MinGW-w64 and run under wine in build/windows. ---
scripts/build-windows.sh
# A wine test that fails is run once more: once in several runs, the core's
# tests ended at wine's start, in a tenth of a second and with no output.
ctest --test-dir build/windows --output-on-failure -j "$jobs" --repeat until-pass:2
