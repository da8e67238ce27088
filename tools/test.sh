#!/usr/bin/env bash
# Builds everything and runs every test: the native tests (GoogleTest under
# AddressSanitizer and UndefinedBehaviorSanitizer), then the tests of the real
# Windows program under Wine and Xvfb (a display of its own when none is set).
# Prints how long each step took, each suite's summary and, for the Windows
# program, each test's time (slowest first); the whole ctest log when
# something fails.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
run_started=$SECONDS
phase() {  # phase NAME COMMAND...: runs COMMAND, then says how long it took
  local name=$1 started=$SECONDS status=0; shift
  "$@" || status=$?
  printf '%-40s %4d s\n' "$name" $((SECONDS - started))
  return $status
}
phase "packages" "$root/tools/ensure-packages.sh"
"$root/tools/build.sh" all

# run_suite NAME DIR [each|parallel]: ctest in DIR; "each" lists every test's
# time, "parallel" runs as many tests at once as there are cores (the native
# tests, each in a temporary tree of its own; the Wine tests share a prefix
# and a display, and go one by one).
run_suite() {
  local name=$1 dir=$2 how=${3:-} log="$2/ctest.log" jobs=1
  [ "$how" = parallel ] && jobs=$(nproc)
  echo "== $name"
  if ctest --test-dir "$dir" --output-on-failure --timeout 300 -j"$jobs" >"$log" 2>&1; then
    grep -E 'tests passed|Total Test time' "$log"
    if [ "$how" = each ]; then
      sed -nE 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) [ .*]+Passed +([0-9.]+) sec$/\2 \1/p' "$log" \
        | sort -rn | awk '{ printf "  %7.1f s  %s\n", $1, $2 }'
    fi
  else
    cat "$log"
    return 1
  fi
}

status=0
phase "native tests" run_suite "native tests" "$root/build/native" parallel || status=1
phase "native tests under ThreadSanitizer" "$root/tools/tsan-tests.sh" || status=1
phase "Windows program under Wine" run_suite "Windows program under Wine" "$root/build/win" each || status=1
printf '%-40s %4d s\n' "whole run" $((SECONDS - run_started))
exit $status
