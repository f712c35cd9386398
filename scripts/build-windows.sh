#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds Vorlane for 64-bit Windows into build/windows with MinGW-w64.
#
# The libraries it links are built first, static, into build/windows-deps:
# libdivsufsort from its Debian source package, fetched through a private apt
# sources list and state so that the machine's apt configuration stays as it
# is, and GoogleTest from the sources Debian installs in /usr/src/googletest.
# Nothing third-party enters the project's own tree.
#
# Environment: VORLANE_JOBS (parallel jobs, default nproc), VORLANE_DEBIAN_MIRROR
# (default: the Debian archive this machine's own apt sources name).
set -euo pipefail
# The steps below keep their output short; a failing one is named here.
trap 'echo "build-windows.sh: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
root=$PWD
jobs=${VORLANE_JOBS:-$(nproc)}
toolchain=$root/cmake/mingw-w64-x86_64.cmake
deps=$root/build/windows-deps
prefix=$deps/prefix
build=$root/build/windows

# The first Debian archive (a URI ending in /debian) that the machine's apt
# sources name, in the one-line or the deb822 format.
machine_mirror() {
  {
    grep -hE '^[[:space:]]*URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null |
      awk '{ for (i = 2; i <= NF; i++) print $i }' || true
    grep -hE '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
      2>/dev/null | awk '{ for (i = 2; i <= NF; i++) if ($i ~ /:\/\//) { print $i; break } }' || true
  } | grep -E '/debian/?$' | head -n 1 || true
}

# The source package of libdivsufsort for this machine's Debian release, into
# $deps/src, through apt with its sources list, lists and cache all in $deps/apt.
fetch_divsufsort() {
  local apt=$deps/apt codename mirror
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  mirror=${VORLANE_DEBIAN_MIRROR:-$(machine_mirror)}
  if [[ -z $mirror ]]; then
    echo "build-windows.sh: no Debian archive in the machine's apt sources; set VORLANE_DEBIAN_MIRROR" >&2
    exit 1
  fi
  rm -rf "$apt" "$deps/src"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/sources.list.d" "$deps/src"
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $codename main" \
    >"$apt/sources.list"
  local options=(
    -o "Dir::Etc::SourceList=$apt/sources.list"
    -o "Dir::Etc::SourceParts=$apt/sources.list.d"
    -o "Dir::State::Lists=$apt/lists"
    -o "Dir::Cache=$apt/cache"
    # The build folder is root's; apt's download user could not write there.
    -o "APT::Sandbox::User=$(id -un)"
  )
  apt-get -qq "${options[@]}" update
  (cd "$deps/src" && apt-get -qq "${options[@]}" source libdivsufsort >/dev/null)
}

# Configures, builds and installs the CMake project in $1 into $prefix, static,
# with the arguments that follow.
cross_build() {
  local source=$1 name
  name=$(basename "$source")
  shift
  cmake -S "$source" -B "$deps/build/$name" -G "Unix Makefiles" -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
  cmake --build "$deps/build/$name" -j "$jobs" >/dev/null
  cmake --install "$deps/build/$name" >/dev/null
}

# Wine's prefix for the tests takes a while to make and needs little of the
# processor, so it is made beside the compilers; the script waits for it.
(export VORLANE_WINE_ROOT=$build/wine && . "$root/tests/win32/wine_env.sh") &
wine_ready=$!

# The removal links both libdivsufsort (32-bit indices) and libdivsufsort64;
# Debian's patched sources build both from one configuration. The two
# libraries build side by side: each is mostly one compiler at a time.
builds=()
if [[ ! -f $prefix/lib/pkgconfig/libdivsufsort64.pc ]]; then
  echo "== ${SECONDS}s: libdivsufsort: Debian source, cross-built static"
  (
    fetch_divsufsort
    cross_build "$(echo "$deps"/src/libdivsufsort-*/)" \
      -DBUILD_DIVSUFSORT64=ON -DBUILD_EXAMPLES=OFF -DCMAKE_INSTALL_LIBDIR=lib
  ) &
  builds+=($!)
fi
if [[ ! -f $prefix/lib/libgtest.a ]]; then
  echo "== ${SECONDS}s: GoogleTest: /usr/src/googletest, cross-built static"
  cross_build /usr/src/googletest -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON &
  builds+=($!)
fi
for build_job in "${builds[@]}"; do
  wait "$build_job"
done

echo "== ${SECONDS}s: Vorlane for Windows: $build"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DVORLANE_WINDOWS_DEPS="$prefix"
cmake --build "$build" -j "$jobs"
wait "$wine_ready"
echo "== ${SECONDS}s: built; wine prefix ready"
