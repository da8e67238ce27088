#!/usr/bin/env bash
# Builds everything and runs every test: the native tests (GoogleTest under
# AddressSanitizer and UndefinedBehaviorSanitizer), then the tests of the real
# Windows program under Wine and Xvfb (a display of its own when none is set).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/ensure-packages.sh"
"$root/tools/build.sh" all
status=0
echo "== native tests"
ctest --test-dir "$root/build/native" --progress --output-on-failure --timeout 300 || status=1
echo "== Windows program under Wine"
ctest --test-dir "$root/build/win" --progress --output-on-failure || status=1
exit $status
