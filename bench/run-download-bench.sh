#!/usr/bin/env bash
# Download benchmark: a 256 MiB file from a local nginx mirror, fetched by the
# installer's WinHTTP client under Wine and by curl in the same run.
# Reports the throughput ratio (ours / curl) and our peak memory against the
# file size, and exits non-zero when a target is missed:
#   throughput at least 0.8 of curl's, peak memory at most file size + 32 MiB.
# Usage: run-download-bench.sh BUILD_DIR [ROUNDS]
# BUILD_DIR is the Windows cross build with kanvel_download_bench built. The
# test file is generated into BUILD_DIR/bench/mirror once and kept there.
set -uo pipefail
build_dir=$(cd "${1:?build folder}" && pwd)
rounds=${2:-3}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
bench_exe="$build_dir/bench/kanvel_download_bench.exe"
work_dir="$build_dir/bench"
export KANVEL_MIRROR_DIR="$work_dir/mirror"
file_size=$((256 * 1024 * 1024))
memory_allowance=$((32 * 1024 * 1024))
min_ratio=0.8
served_path=pomiar/plik-256MiB.bin

[ -f "$bench_exe" ] || { echo "bench: $bench_exe is missing: build kanvel_download_bench first" >&2; exit 2; }

cleanup() {
  "$source_dir/tools/mirror/stop.sh" "$build_dir"
  if declare -F wine_stop >/dev/null; then
    wine_stop
    kanvel_xvfb_stop
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY

served_file="$KANVEL_MIRROR_DIR/root/$served_path"
if [ "$(stat -c %s "$served_file" 2>/dev/null)" != "$file_size" ]; then
  mkdir -p "$(dirname "$served_file")"
  head -c "$file_size" /dev/urandom >"$served_file"
fi
cat "$served_file" >/dev/null  # both clients then read it from the page cache

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$source_dir/tools/mirror/start.sh" "$build_dir" "$port" || exit 2
url="http://127.0.0.1:$port/$served_path"

source "$source_dir/tools/wine/env.sh" "$build_dir"
wine_prepare
ours_output="$work_dir/download-ours.bin"
curl_output="$work_dir/download-curl.bin"
ours_output_windows=$(winepath -w "$ours_output")

# Runs our program under Wine; prints its KEY=VALUE lines and vm_hwm_bytes,
# the highest resident size Linux saw for the process.
run_ours() {
  local report="$work_dir/ours.txt" pid hwm=0 now
  wine "$bench_exe" "$url" "$ours_output_windows" >"$report" &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    now=$(awk '/^VmHWM:/ { print $2 * 1024 }' "/proc/$pid/status" 2>/dev/null)
    [ -n "$now" ] && hwm=$now
    sleep 0.05
  done
  wait "$pid" || { echo "bench: our download failed" >&2; return 1; }
  tr -d '\r' <"$report"
  echo "vm_hwm_bytes=$hwm"
}

value() { sed -n "s/^$1=//p"; }

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

ours_speeds=() curl_speeds=() peaks=()
for round in $(seq 1 "$rounds"); do
  rm -f "$ours_output" "$curl_output"
  curl_line=$(curl -s -o "$curl_output" -w '%{size_download} %{time_total}' "$url") || exit 2
  read -r curl_bytes curl_seconds <<<"$curl_line"
  ours=$(run_ours) || exit 2
  ours_bytes=$(value bytes <<<"$ours")
  ours_seconds=$(value seconds <<<"$ours")
  working_set=$(value peak_working_set_bytes <<<"$ours")
  pagefile=$(value peak_pagefile_bytes <<<"$ours")
  hwm=$(value vm_hwm_bytes <<<"$ours")
  peak=$(printf '%s\n' "$working_set" "$pagefile" "$hwm" | sort -n | tail -1)
  if [ "$ours_bytes" != "$file_size" ] || [ "$curl_bytes" != "$file_size" ] || ! cmp -s "$ours_output" "$served_file"; then
    echo "bench: round $round: a download is incomplete or differs (ours $ours_bytes, curl $curl_bytes bytes)" >&2
    exit 2
  fi
  ours_speed=$(awk -v b="$ours_bytes" -v s="$ours_seconds" 'BEGIN { printf "%.1f", b / s / 1048576 }')
  curl_speed=$(awk -v b="$curl_bytes" -v s="$curl_seconds" 'BEGIN { printf "%.1f", b / s / 1048576 }')
  printf 'round %d: ours %s MiB/s (%.3f s), curl %s MiB/s (%.3f s),' \
    "$round" "$ours_speed" "$ours_seconds" "$curl_speed" "$curl_seconds"
  printf ' our peak memory: working set %d MiB, pagefile %d MiB, VmHWM %d MiB\n' \
    $((working_set / 1048576)) $((pagefile / 1048576)) $((hwm / 1048576))
  ours_speeds+=("$ours_speed") curl_speeds+=("$curl_speed") peaks+=("$peak")
done
rm -f "$ours_output" "$curl_output"

ours_median=$(printf '%s\n' "${ours_speeds[@]}" | median)
curl_median=$(printf '%s\n' "${curl_speeds[@]}" | median)
peak_max=$(printf '%s\n' "${peaks[@]}" | sort -n | tail -1)
ratio=$(awk -v o="$ours_median" -v c="$curl_median" 'BEGIN { printf "%.2f", o / c }')
memory_limit=$((file_size + memory_allowance))

echo "median throughput: ours $ours_median MiB/s, curl $curl_median MiB/s, ratio $ratio (target >= $min_ratio)"
echo "peak memory: $((peak_max / 1048576)) MiB for a $((file_size / 1048576)) MiB file (limit $((memory_limit / 1048576)) MiB)"
status=0
if awk -v r="$ratio" -v m="$min_ratio" 'BEGIN { exit !(r < m) }'; then
  echo "bench: throughput target missed"
  status=1
fi
if [ "$peak_max" -gt "$memory_limit" ]; then
  echo "bench: memory target missed"
  status=1
fi
exit "$status"
