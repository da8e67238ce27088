#!/usr/bin/env bash
# Runs the replacing-file tests under Wine in an empty folder of the build's
# prefix, removes the folder again and exits with the program's exit code.
# Usage: run-replacing-file-tests.sh BUILD_DIR TEST_EXE
set -uo pipefail
build_dir=$(cd "${1:?build folder}" && pwd)
test_exe=${2:?test program}
source "$(dirname "$0")/../../../tools/wine/env.sh" "$build_dir"
cleanup() {
  rm -rf "$folder"
  wine_stop
  kanvel_xvfb_stop
}
trap cleanup EXIT
trap 'exit 130' INT TERM
wine_prepare
folder="$(wine_c_drive)/kanvel-replacing-file-tests"
rm -rf "$folder"
mkdir -p "$folder/planted"
# A link planted where a download's partial file goes, leading to a file of
# someone else's.
printf 'someone else'"'"'s library' >"$folder/victim.dll"
ln -s "$folder/victim.dll" "$folder/planted/Edytor3.exe.part"
timeout 120 wine "$test_exe" 'C:\kanvel-replacing-file-tests' | tr -d '\r'
exit "${PIPESTATUS[0]}"
