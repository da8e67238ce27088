#!/usr/bin/env bash
# Builds the Windows installer (cross, mingw-w64) into build/win and the
# native tests (sanitizers) into build/native. Usage: tools/build.sh [win|native|all]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-all}
jobs=$(nproc)
if [ "$what" = win ] || [ "$what" = all ]; then
  cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$root/build/win" -j"$jobs" >/dev/null
fi
if [ "$what" = native ] || [ "$what" = all ]; then
  cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$root/build/native" -j"$jobs" >/dev/null
fi
