# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Checks for the test scripts, sourced by each: a check passes or prints what
# failed, and finish_checks prints the counts and fails if any check did.

passed=0
failed=0

check() {  # what, command...: passes when the command succeeds
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}

check_equal() {  # what, expected, actual
  if [[ "$2" == "$3" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAILED: %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
  fi
}

finish_checks() {
  printf '%d passed, %d failed\n' "$passed" "$failed"
  [[ $failed -eq 0 ]]
}
