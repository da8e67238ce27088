#!/usr/bin/env bash
# Builds the Windows installer (cross, mingw-w64) into build/win, the same
# installer for the TLS mirror into build/win-tls, and the native tests
# (sanitizers) into build/native. Usage: tools/build.sh [win|native|all]
# build/win downloads from the plain local mirror (its cached
# KANVEL_DOWNLOAD_BASE_URL); build/win-tls from https://localhost:PORT/, PORT
# being KANVEL_TLS_PORT (default 18443) when that folder is first configured.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
what=${1:-all}
jobs=$(nproc)
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
if [ "$what" = win ] || [ "$what" = all ]; then
  tls_url=()
  if [ ! -f "$root/build/win-tls/CMakeCache.txt" ]; then
    tls_url=(-DKANVEL_DOWNLOAD_BASE_URL="https://localhost:${KANVEL_TLS_PORT:-18443}/")
  fi
  cmake -S "$root" -B "$root/build/win-tls" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        "${tls_url[@]}" >/dev/null
  cmake --build "$root/build/win-tls" -j"$jobs" --target Instalator >/dev/null
  cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DKANVEL_TLS_BUILD_DIR="$root/build/win-tls" >/dev/null
  cmake --build "$root/build/win" -j"$jobs" >/dev/null
fi
if [ "$what" = native ] || [ "$what" = all ]; then
  cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$root/build/native" -j"$jobs" >/dev/null
fi
