#!/usr/bin/env bash
# Builds the Windows installer (cross, mingw-w64) into build/win, the same
# installer for the TLS mirror into build/win-tls, and the native tests
# (sanitizers) into build/native. Usage: tools/build.sh [win|native|all]
# build/win downloads from the plain local mirror (its cached
# KANVEL_DOWNLOAD_BASE_URL); build/win-tls from https://localhost:PORT/, PORT
# being KANVEL_TLS_PORT (default 18443) when that folder is first configured;
# build/win-proxy the same installer for https://pliki.kanvel.test:PORT/, a
# name only the test proxy knows (the company-proxy journey).
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
  proxy_url=()
  if [ ! -f "$root/build/win-proxy/CMakeCache.txt" ]; then
    tls_port=$(sed -nE 's#^KANVEL_DOWNLOAD_BASE_URL:[A-Z]*=https://localhost:([0-9]+)/$#\1#p' \
               "$root/build/win-tls/CMakeCache.txt")
    proxy_url=(-DKANVEL_DOWNLOAD_BASE_URL="https://pliki.kanvel.test:${tls_port:?no TLS port in build/win-tls}/")
  fi
  cmake -S "$root" -B "$root/build/win-proxy" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        "${proxy_url[@]}" >/dev/null
  cmake --build "$root/build/win-proxy" -j"$jobs" --target Instalator >/dev/null
  cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DKANVEL_TLS_BUILD_DIR="$root/build/win-tls" -DKANVEL_PROXY_BUILD_DIR="$root/build/win-proxy" >/dev/null
  cmake --build "$root/build/win" -j"$jobs" >/dev/null
fi
if [ "$what" = native ] || [ "$what" = all ]; then
  cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$root/build/native" -j"$jobs" >/dev/null
fi
