#!/usr/bin/env bash
# Runs the radio focus tests under Wine and Xvfb in the build's prefix and
# exits with the program's exit code. Usage: run-radio-focus-tests.sh BUILD_DIR TEST_EXE
set -uo pipefail
build_dir=$(cd "${1:?build folder}" && pwd)
test_exe=${2:?test program}
source "$(dirname "$0")/../../../tools/wine/env.sh" "$build_dir"
trap 'wine_stop; kanvel_xvfb_stop' EXIT
trap 'exit 130' INT TERM
wine_prepare
timeout 200 wine "$test_exe" | tr -d '\r'
exit "${PIPESTATUS[0]}"
