#!/usr/bin/env bash
# The 73 database tables over an emulated long-distance link (bench/link_relay.py:
# DELAY_MS each way, 100 Mbit/s), fetched by four clients in turn:
#   window    the real installer window under Wine and Xvfb: "Pliki bazy danych
#             (FORMAT)" clicked with the pristine folder gone; timed from the
#             first partial file (made just before its request leaves) to the
#             moment the last table is stored under its own name (a watcher
#             polls the folder); a fresh installer each round, so that its
#             connections start cold, as curl's do
#   headless  the installer's download code without a window
#             (kanvel_link_bench.exe; its own time for the tables)
#   curl      one curl run, one file after another on one connection
#   curl-par  curl --parallel --parallel-max N (N: the installer's most
#             requests at once), the strongest peer
# over plain HTTP (the build's installer) and HTTPS (the installer of
# BUILD_DIR/installers/tls), each client through the same relay, which counts the
# TCP connections and TLS handshakes. Prints each round, then medians with
# their spread (least to most) and the ratios to both curls.
# Targets, on HTTPS over a delayed link: the window at most 0.35 x curl and
# 1.3 x curl-par; at most N connections and N handshakes a run. Exits 1 when one is missed,
# 2 when the benchmark could not run.
# Usage: run-tables-bench.sh BUILD_DIR [ROUNDS] [DELAY_MS]
#   BUILD_DIR: the Windows build (http://127.0.0.1:PORT/); its installer in
#   installers/tls (https://localhost:PORT/) serves the HTTPS part.
set -uo pipefail
build_dir=$(cd "${1:?build folder}" && pwd)
rounds=${2:-5}
delay_ms=${3:-25}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
source "$source_dir/bench/bench-lib.sh"
work_dir="$build_dir/bench/tables"
export KANVEL_MIRROR_DIR="$work_dir/mirror"
headless_exe="$build_dir/bench/kanvel_link_bench.exe"
database_box="Baza danych 3.0 - 7.0"
database_button="Pliki bazy danych (FORMAT)"
table_count=73
most_at_once=$(sed -nE 's/.*kMostRequestsAtOnce = ([0-9]+);.*/\1/p' "$source_dir/src/services/http/HttpClient.h")
window_ratio_curl=0.35
window_ratio_parallel=1.3

cached() { sed -n "s/^$2:[A-Z]*=//p" "$1/CMakeCache.txt"; }
port_of() { sed -nE 's#^https?://(127\.0\.0\.1|localhost):([0-9]+)/$#\2#p' <<<"$1"; }
declare -A base_url installer relay_log
base_url[http]=$(cached "$build_dir" KANVEL_DOWNLOAD_BASE_URL)
installer[http]="$build_dir/Instalator.exe"
tls_build="$build_dir/installers/tls"
schemes=(http)
if [ -f "$tls_build/Instalator.exe" ]; then
  base_url[https]=$(head -n 1 "$tls_build/download-base-url.txt")
  installer[https]="$tls_build/Instalator.exe"
  schemes+=(https)
else
  echo "HTTPS: skipped, no installer built for the TLS mirror ($tls_build)"
fi
for scheme in "${schemes[@]}"; do
  [ -n "$(port_of "${base_url[$scheme]}")" ] ||
    { echo "bench: the $scheme installer must fetch from a loopback port (${base_url[$scheme]})" >&2; exit 2; }
done
[ -f "$headless_exe" ] || { echo "bench: $headless_exe is missing: build kanvel_link_bench first" >&2; exit 2; }
[ -n "$most_at_once" ] || { echo "bench: the most requests at once not found" >&2; exit 2; }

tables=()
while IFS= read -r name; do
  case "$name" in '' | '#'*) continue ;; esac
  tables+=("$name")
done <"$source_dir/tools/mirror/tables.txt"

source "$source_dir/tools/wine/env.sh" "$build_dir"
JOURNEY_NAME=tables-bench
source "$source_dir/tests/wine/journey-lib.sh"
journey_start() {
  wine "$window_exe" >/dev/null 2>&1 &
  INSTALLER_PID=$!
}
bench_before_wine_stop() { [ -f "$WINEPREFIX/system.reg" ] && clean_installation_traces; }
bench_prepare_mirror "$build_dir" "$work_dir" || exit 2
http_port=$(free_port)
tls_port=$(free_port)
"$source_dir/tools/mirror/start.sh" "$build_dir" "$http_port" "$tls_port" >/dev/null || exit 2
ca="$KANVEL_MIRROR_DIR/tls/ca.crt"
wine_prepare
clean_installation_traces
bash "$source_dir/tools/wine/trust-test-ca.sh" "$build_dir" "$ca" >/dev/null || exit 2
declare -A upstream=([http]=$http_port [https]=$tls_port)
for scheme in "${schemes[@]}"; do
  relay_log[$scheme]="$work_dir/relay-$scheme.log"
  start_relay "${upstream[$scheme]}" "${relay_log[$scheme]}" --port "$(port_of "${base_url[$scheme]}")" \
    --delay-ms "$delay_ms" --max-seconds $((600 + rounds * 300)) || exit 2
done
pristine="$(wine_c_drive)/OR-Vel/Format/Bkp6"
headless_dir="$(wine_c_drive)/kanvel-tables-bench"
curl_dir="$work_dir/curl"

# Prints the seconds from the first file appearing in FOLDER to the moment it
# holds every table under its own name and no partial file; fails after two
# minutes.
stored_at() {
  python3 - "$1" "$table_count" <<'PY'
import os, sys, time
folder, count = sys.argv[1], int(sys.argv[2])
deadline = time.monotonic() + 120
first = None
while time.monotonic() < deadline:
    try:
        names = os.listdir(folder)
    except FileNotFoundError:
        names = []
    if names and first is None:
        first = time.monotonic()
    if len(names) == count and not any(n.endswith(".part") for n in names):
        print(f"{time.monotonic() - first:.6f}")
        sys.exit(0)
    time.sleep(0.002)
sys.exit(1)
PY
}

same_as_mirror() {
  local name
  for name in "${tables[@]}"; do
    cmp -s "$1/$name" "$KANVEL_MIRROR_DIR/root/programy/wersja7/bkp6/$name" || return 1
  done
}

# Each round function prints the seconds the tables took.
window_round() {
  local watcher
  window_exe=${installer[$1]}
  accept_and_choose_koordynator >&2
  drive click "$database_box" >/dev/null
  wait_for 10 control_is "$database_button" "enabled=1 checked=0 visible=1" || return 1
  rm -rf "$pristine"
  stored_at "$pristine" >"$work_dir/stored" &
  watcher=$!
  drive click "$database_button" >/dev/null || return 1
  wait "$watcher" || return 1
  wait_for 60 control_is "$database_button" "enabled=1 checked=0 visible=1" || return 1
  same_as_mirror "$pristine" || return 1
  drive click "Zamknij" >/dev/null
  journey_finish 30 >/dev/null || return 1
  cat "$work_dir/stored"
}

headless_round() {
  local output
  rm -rf "$headless_dir"
  mkdir -p "$headless_dir"
  # It fetches the small Edytor3 program after the tables; only the tables count.
  output=$(wine "$headless_exe" "${base_url[$1]}" 'C:\kanvel-tables-bench' 'C:\kanvel-tables-bench' Edytor3 |
    tr -d '\r') || return 1
  same_as_mirror "$headless_dir" || return 1
  sed -n 's/^tables_seconds=//p' <<<"$output"
}

curl_run() {
  local scheme=$1 started finished name
  local options=(-s -f --no-progress-meter)
  shift
  [ "$scheme" = https ] && options+=(--cacert "$ca")
  rm -rf "$curl_dir"
  mkdir -p "$curl_dir"
  local arguments=()
  for name in "${tables[@]}"; do
    arguments+=("${base_url[$scheme]}programy/wersja7/bkp6/$name" -o "$curl_dir/$name")
  done
  started=$(now_seconds)
  curl "${options[@]}" "$@" "${arguments[@]}" || return 1
  finished=$(now_seconds)
  same_as_mirror "$curl_dir" || return 1
  awk -v s="$started" -v f="$finished" 'BEGIN { printf "%.6f\n", f - s }'
}
curl_round() { curl_run "$1"; }
curl-par_round() { curl_run "$1" --parallel --parallel-max "$most_at_once"; }

clients=(window headless curl curl-par)
declare -A results
for scheme in "${schemes[@]}"; do
  for round in $(seq 1 "$rounds"); do
    for client in "${clients[@]}"; do
      log=${relay_log[$scheme]}
      mark=$(lines_of "$log")
      seconds=$("${client}_round" "$scheme") || fail "$scheme $client round $round did not store the $table_count tables"
      sleep 0.3  # the connections of a finished client close
      connections=$(count_events "$log" accept "$mark")
      handshakes=$(count_events "$log" hello "$mark")
      printf 'round %d %-5s %-8s: tables %6.3f s, TCP connections %d, TLS handshakes %d\n' "$round" "$scheme" \
        "$client" "$seconds" "$connections" "$handshakes"
      results[$scheme.$client]+="$seconds "
      results[$scheme.$client.connections]+="$connections "
      results[$scheme.$client.handshakes]+="$handshakes "
    done
  done
done

values_of() { tr ' ' '\n' <<<"${results[$1]}" | grep .; }
median_of() { values_of "$1" | median; }
status=0
echo "medians of $rounds rounds (link: $delay_ms ms each way, 100 Mbit/s; $table_count tables; at most $most_at_once requests at once):"
for scheme in "${schemes[@]}"; do
  curl_median=$(median_of "$scheme.curl")
  parallel_median=$(median_of "$scheme.curl-par")
  for client in "${clients[@]}"; do
    median=$(median_of "$scheme.$client")
    awk -v sc="$scheme" -v c="$client" -v m="$median" -v lo="$(values_of "$scheme.$client" | sort -g | head -n 1)" \
      -v hi="$(values_of "$scheme.$client" | sort -g | tail -n 1)" -v b="$curl_median" -v p="$parallel_median" \
      -v tc="$(values_of "$scheme.$client.connections" | sort -n | tail -n 1)" \
      -v th="$(values_of "$scheme.$client.handshakes" | sort -n | tail -n 1)" \
      'BEGIN { printf "%-5s %-8s %6.3f s (%.3f-%.3f), %.2f x curl, %.2f x curl-par, at most %d connections, %d handshakes\n",
               sc, c, m, lo, hi, m / b, m / p, tc, th }'
  done
  connections=$(values_of "$scheme.window.connections" | sort -n | tail -n 1)
  if [ "$connections" -gt "$most_at_once" ]; then
    echo "bench: $scheme: the window opened $connections connections, more than $most_at_once"
    status=1
  fi
  # The targets are for a real link; on plain loopback curl has no round trips to save.
  [ "$scheme" = https ] && [ "$delay_ms" != 0 ] || continue
  window=$(median_of "$scheme.window")
  if awk -v w="$window" -v b="$curl_median" -v p="$parallel_median" -v rb="$window_ratio_curl" \
    -v rp="$window_ratio_parallel" 'BEGIN { exit !(w > rb * b || w > rp * p) }'; then
    echo "bench: https: the window takes more than $window_ratio_curl x curl or $window_ratio_parallel x curl-par"
    status=1
  fi
done
exit "$status"
