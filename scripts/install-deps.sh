#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs, with apt-get, whatever Vorlane needs to build and run that is not on
# the machine yet, and the packages named as arguments. Runs as root, or
# through sudo.
set -euo pipefail

packages=(
  build-essential cmake
  qt6-base-dev qt6-translations-l10n fonts-wqy-microhei librsvg2-bin
  libgtest-dev libbenchmark-dev libabsl-dev libdivsufsort-dev pkg-config
  clang libclang-rt-14-dev time
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
