#!/usr/bin/env bash
# Builds everything and runs every test: the native tests (GoogleTest under
# AddressSanitizer and UndefinedBehaviorSanitizer), then the tests of the real
# Windows program under Wine and Xvfb (a display of its own when none is set).
# Prints each suite's summary; the whole ctest log when something fails.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/ensure-packages.sh"
"$root/tools/build.sh" all

run_suite() {
  local name=$1 dir=$2 log="$2/ctest.log"
  echo "== $name"
  if ctest --test-dir "$dir" --output-on-failure --timeout 300 >"$log" 2>&1; then
    grep -E 'tests passed|Total Test time' "$log"
  else
    cat "$log"
    return 1
  fi
}

status=0
run_suite "native tests" "$root/build/native" || status=1
"$root/tools/tsan-tests.sh" || status=1
run_suite "Windows program under Wine" "$root/build/win" || status=1
exit $status
