#!/usr/bin/env bash
# Per-file cost of the 73 database tables through the real installer window,
# on plain loopback. The installer under Wine and Xvfb is taken to the install
# panel and "Pliki bazy danych (FORMAT)" is clicked once a round, with the
# pristine folder emptied before each click. A pass-through relay (no delay,
# no rate limit) on the port of the build's download URL logs when each
# request arrives; the per-file cost is the time from the first table request
# to the last, divided by 72. The same is measured for curl fetching the same
# 73 URLs on one connection (into files, as the installer stores them) and for the download code without a window
# (kanvel_link_bench.exe). Prints each round and the medians.
# Usage: run-window-bench.sh BUILD_DIR [ROUNDS] [PROGRAMS_DIR]
#   BUILD_DIR: the Windows build, made for a plain http loopback download URL.
#   PROGRAMS_DIR: another Instalator.exe and kanvel_link_bench.exe of the same
#   build configuration to measure instead (an older version, to compare).
# With KANVEL_BENCH_TRACE=FILE the installer runs with Wine's server trace
# into FILE, for bench/server-requests.sh to count (the times are then slower).
set -uo pipefail
build_dir=$(cd "${1:?build folder}" && pwd)
rounds=${2:-5}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
installer_exe="$build_dir/Instalator.exe"
headless_exe="$build_dir/bench/kanvel_link_bench.exe"
if [ -n "${3:-}" ]; then
  installer_exe="$(cd "$3" && pwd)/Instalator.exe"
  headless_exe="$(cd "$3" && pwd)/kanvel_link_bench.exe"
fi
source "$source_dir/bench/bench-lib.sh"
work_dir="$build_dir/bench/window"
export KANVEL_MIRROR_DIR="$work_dir/mirror"
database_box="Baza danych 3.0 - 7.0"
database_button="Pliki bazy danych (FORMAT)"
fetched_text="Pobranie bazy danych zakończone"
table_count=73

base_url=$(sed -n 's/^KANVEL_DOWNLOAD_BASE_URL:[A-Z]*=//p' "$build_dir/CMakeCache.txt")
installer_port=$(sed -nE 's#^http://(127\.0\.0\.1|localhost):([0-9]+)/$#\2#p' <<<"$base_url")
[ -n "$installer_port" ] || { echo "bench: the build must fetch from http://127.0.0.1:PORT/ (it uses $base_url)" >&2; exit 2; }

source "$source_dir/tools/wine/env.sh" "$build_dir"
JOURNEY_NAME=window-bench
source "$source_dir/tests/wine/journey-lib.sh"
# The journey helpers start the build's installer; this one may be another.
journey_start() {
  if [ -n "${KANVEL_BENCH_TRACE:-}" ]; then
    WINEDEBUG=+server wine "$installer_exe" >/dev/null 2>"$KANVEL_BENCH_TRACE" &
  else
    wine "$installer_exe" >/dev/null 2>&1 &
  fi
  INSTALLER_PID=$!
}
bench_before_wine_stop() { [ -f "$WINEPREFIX/system.reg" ] && clean_installation_traces; }
bench_prepare_mirror "$build_dir" "$work_dir" || exit 2
nginx_port=$(free_port)
"$source_dir/tools/mirror/start.sh" "$build_dir" "$nginx_port" >/dev/null || exit 2
log="$work_dir/relay.log"
start_relay "$nginx_port" "$log" --port "$installer_port" --delay-ms 0 --rate-mbit 0 \
  --max-seconds $((300 + rounds * 60)) || exit 2
tables=()
while IFS= read -r name; do
  case "$name" in '' | '#'*) continue ;; esac
  tables+=("$name")
done <"$source_dir/tools/mirror/tables.txt"

# Seconds per file between the first and the last table request after line FROM.
per_file_since() {
  tail -n +"$(($1 + 1))" "$log" | awk -v n="$table_count" '
    $1 == "request" && $4 ~ /\/bkp6\// { t[++count] = $2 }
    END { if (count != n) exit 1; printf "%.6f\n", (t[count] - t[1]) / (count - 1) }'
}

tables_requested_since() {
  [ "$(tail -n +"$(($1 + 1))" "$log" | grep -c '^request .*/bkp6/')" -ge "$table_count" ]
}

wine_prepare
clean_installation_traces
pristine="$(wine_c_drive)/OR-Vel/Format/Bkp6"

curl_round() {
  local mark arguments=() name folder="$work_dir/curl"
  rm -rf "$folder"
  mkdir -p "$folder"
  for name in "${tables[@]}"; do
    arguments+=("http://127.0.0.1:$installer_port/programy/wersja7/bkp6/$name" -o "$folder/$name")
  done
  mark=$(lines_of "$log")
  curl -s -f "${arguments[@]}" || return 1
  per_file_since "$mark"
}

headless_round() {
  local mark folder
  folder="$(wine_c_drive)/kanvel-window-bench"
  rm -rf "$folder"
  mkdir -p "$folder"
  mark=$(lines_of "$log")
  # It fetches the small Edytor3 program after the tables; only the tables are timed.
  wine "$headless_exe" "$base_url" 'C:\kanvel-window-bench' 'C:\kanvel-window-bench' \
    Edytor3 >/dev/null 2>&1
  [ "$(ls "$folder" | wc -l)" -ge "$table_count" ] || return 1
  per_file_since "$mark"
}

window_round() {
  local mark
  rm -rf "$pristine"
  mark=$(lines_of "$log")
  drive click "$database_button" >/dev/null || return 1
  wait_for 120 tables_requested_since "$mark" || return 1
  wait_for 60 status_is "$fetched_text" || return 1
  [ "$(ls "$pristine" | wc -l)" = "$table_count" ] || return 1
  per_file_since "$mark"
}

accept_and_choose_koordynator
drive click "$database_box" >/dev/null
wait_for 10 control_is "$database_button" "enabled=1 checked=0 visible=1" || fail "the database button stayed disabled"

declare -A results
for round in $(seq 1 "$rounds"); do
  line="round $round, ms a file:"
  for client in curl headless window; do
    seconds=$("${client}_round") || fail "$client round $round did not fetch the $table_count tables"
    results[$client]+="$seconds "
    line+=$(awk -v c="$client" -v s="$seconds" 'BEGIN { printf " %s %.2f", c, s * 1000 }')
  done
  echo "$line"
done
shot last-round
drive click "Zamknij" >/dev/null
journey_finish 30 >/dev/null

median_of() { tr ' ' '\n' <<<"${results[$1]}" | grep . | median; }
curl_median=$(median_of curl)
echo "$installer_exe"
echo "medians of $rounds rounds, per file (plain loopback, $table_count tables of 512 bytes):"
for client in curl headless window; do
  least=$(tr ' ' '\n' <<<"${results[$client]}" | grep . | sort -g | head -n 1)
  awk -v c="$client" -v s="$(median_of "$client")" -v b="$curl_median" -v l="$least" \
    'BEGIN { printf "  %-8s %6.2f ms, %5.1f x curl (least %.2f ms)\n", c, s * 1000, s / b, l * 1000 }'
done
