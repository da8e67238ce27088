#!/usr/bin/env bash
# Builds the Windows installer (cross, mingw-w64) into build/win and the
# native tests (sanitizers) into build/native. Usage: tools/build.sh [win|native|all]
# build/win/Instalator.exe downloads from the plain local mirror (the cached
# KANVEL_DOWNLOAD_BASE_URL). The same tree links, from the same compiled
# layers, the installers the tests need for other servers and makers, each in
# build/win/installers/NAME/ (see tests/wine/CMakeLists.txt): tls for
# https://localhost:PORT/, proxy for https://pliki.kanvel.test:PORT/ (a name
# only the test proxy knows), PORT being KANVEL_TLS_PORT (default 18443) when
# the tree is first configured, and signed (a throwaway test publisher).
# Prints the time each step took.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-all}
jobs=$(nproc)
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
step() {  # step NAME COMMAND...: runs COMMAND quietly, then says how long it took
  local name=$1 started=$SECONDS; shift
  "$@" >/dev/null
  printf '%-40s %4d s\n' "$name" $((SECONDS - started))
}
if [ "$what" = win ] || [ "$what" = all ]; then
  tls_port=()
  if [ ! -f "$root/build/win/CMakeCache.txt" ] && [ -n "${KANVEL_TLS_PORT:-}" ]; then
    tls_port=(-DKANVEL_TLS_PORT="$KANVEL_TLS_PORT")
  fi
  step "configure build/win" cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
       -DCMAKE_BUILD_TYPE=Release "${tls_port[@]}"
  step "build build/win" cmake --build "$root/build/win" -j"$jobs"
fi
if [ "$what" = native ] || [ "$what" = all ]; then
  step "configure build/native" cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug
  step "build build/native" cmake --build "$root/build/native" -j"$jobs"
fi
