#!/usr/bin/env bash
# Builds and runs the transfer channel's and the request queue's tests under
# ThreadSanitizer, in a small native build of their own (build/tsan).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
echo "== transfer channel and request queue under ThreadSanitizer"
cmake -S "$root/tests/threads" -B "$root/build/tsan" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build/tsan" -j"$(nproc)" >/dev/null
# A data race is a failure, with the whole report on the output; a clean run
# prints its summary line only.
log="$root/build/tsan/tests.log"
if TSAN_OPTIONS="halt_on_error=1 abort_on_error=1 second_deadlock_stack=1" \
     "$root/build/tsan/kanvel_thread_tests" --gtest_brief=1 >"$log" 2>&1; then
  grep -E '^\[  PASSED  \]' "$log"
else
  cat "$log"
  exit 1
fi
