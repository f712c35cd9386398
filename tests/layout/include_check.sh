#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the includes of every C++ source under ROOT against the layout:
#  - a quoted include names a file by its path from ROOT;
#  - a header under some X/internal/ is included only from X/ itself, from
#    tests/X/, and from the test support (testing/) and the fuzzer (fuzz/);
#  - Qt is included only by the Qt front end (qt/), its tests and their
#    support (tests/qt/, testing/qt/), the window benchmark and cli/, whose
#    option parser is Qt Core's; and no CMakeLists.txt of a library below the
#    window links Qt.
# Prints each breach and exits 1 if there is one.
# Usage: include_check.sh ROOT
set -euo pipefail
root=${1:?usage: include_check.sh ROOT}
cd "$root"

qt_allowed='^(qt|tests/qt|testing/qt|cli)/|^bench/window_bench\.cpp$'
toolkit_free=(text removal window fileio batch testing)

breaches=0
breach() {
  echo "include_check: $*" >&2
  breaches=$((breaches + 1))
}

sources=$(find . \( -path './build*' -o -path './.git' -o -path './out' \) -prune -o \
  -type f \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||' | sort)

for file in $sources; do
  while IFS= read -r header; do
    if [[ ! -f "$header" ]]; then
      breach "$file includes \"$header\", which is no path from the project root"
    fi
    if [[ "$header" =~ ^(.+)/internal/ ]]; then
      owner=${BASH_REMATCH[1]}
      if [[ ! "$file" =~ ^($owner|tests/$owner|testing|fuzz)/ ]]; then
        breach "$file includes $header, which is internal to $owner/"
      fi
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
  if [[ ! "$file" =~ $qt_allowed ]] &&
     grep -Eq '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
    breach "$file includes Qt, which only qt/ and its tests may"
  fi
done

for folder in "${toolkit_free[@]}"; do
  if [[ -f "$folder/CMakeLists.txt" ]] && grep -q 'Qt6' "$folder/CMakeLists.txt"; then
    breach "$folder/CMakeLists.txt uses Qt, which only qt/ and its tests may"
  fi
done

if ((breaches > 0)); then
  echo "include_check: $breaches breach(es) of the layout" >&2
  exit 1
fi
echo "include_check: $(wc -w <<<"$sources") sources follow the layout"
