#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The include check passes a tree that follows the layout and names each
# breach in one that does not.
# Usage: include_check_test.sh INCLUDE_CHECK
set -euo pipefail
check=${1:?usage: include_check_test.sh INCLUDE_CHECK}
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

put() {  # put FILE LINE...: writes the lines into FILE under the tree
  mkdir -p "$(dirname "$tree/$1")"
  printf '%s\n' "${@:2}" >"$tree/$1"
}
put removal/internal/hash.h '#pragma once'
put removal/remove.cpp '#include "removal/internal/hash.h"'
put tests/removal/hash_test.cpp '#include "removal/internal/hash.h"'
put testing/reference.h '#include "removal/internal/hash.h"'
put qt/form.cpp '#include <QWidget>' '#include "removal/remove.cpp"'
put text/CMakeLists.txt 'add_library(vorlane_text STATIC split.cpp)'
"$check" "$tree" >/dev/null

put window/flow.cpp '#include "removal/internal/hash.h"'
put text/split.cpp '#include <QString>'
put batch/join.cpp '#include "hash.h"'
put window/CMakeLists.txt 'target_link_libraries(vorlane_window PRIVATE Qt6::Core)'
if "$check" "$tree" 2>"$tree/report"; then
  echo "include_check_test: a tree with four breaches passed" >&2
  exit 1
fi
for expected in 'window/flow.cpp includes removal/internal/hash.h' 'text/split.cpp includes Qt' \
                'batch/join.cpp includes "hash.h"' 'window/CMakeLists.txt uses Qt'; do
  if ! grep -qF "$expected" "$tree/report"; then
    echo "include_check_test: no breach \"$expected\" in:" >&2
    cat "$tree/report" >&2
    exit 1
  fi
done
echo "include_check_test: passed"
