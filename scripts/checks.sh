# The tally of a test script's checks. Source it, then
#   check NAME COMMAND...   runs COMMAND, prints "ok   NAME" or "FAIL NAME"
#                           and counts it; it never ends a script run with
#                           set -e, so every check is told. $check_ok is 1
#                           after a passed check, 0 after a failed one.
#   checks_summary LABEL    prints "LABEL: N passed, M failed"; fails when
#                           any check failed.

passed=0
failed=0
check_ok=0

check() {
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    check_ok=1
    echo "ok   $name"
  else
    failed=$((failed + 1))
    check_ok=0
    echo "FAIL $name"
  fi
}

checks_summary() {
  echo "$1: $passed passed, $failed failed"
  ((failed == 0))
}
