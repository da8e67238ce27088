#!/usr/bin/env bash
# Realistic-link benchmark: the local nginx mirror behind an emulated line of
# 25 ms each way and 100 Mbit/s (bench/link_relay.py on loopback), and two
# clients fetching the 73 database tables and then a 20 MiB program file, one
# file after another:
#   ours  the installer's download code under Wine (kanvel_link_bench.exe:
#         ComponentDownload over one WinHTTP session, no window)
#   curl  the same URLs in one curl run (one keep-alive connection)
# over plain HTTP and, when the TLS mirror tools are there, over HTTPS. Prints
# the times, the ratio ours/curl and the TCP connections and TLS handshakes
# each client used (counted by the relay), per round and as medians.
# Targets: ours <= 1.15 x curl on each scheme, and no more connections to the
# server than the requests the installer makes at once (the tables go side by side).
# Exits 1 when a target is missed, 2 when the benchmark could not run.
# Usage: run-link-bench.sh BUILD_DIR [ROUNDS]   (BUILD_DIR: the Windows build)
set -uo pipefail
build_dir=$(cd "${1:?build folder}" && pwd)
rounds=${2:-3}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
source "$source_dir/bench/bench-lib.sh"
bench_exe="$build_dir/bench/kanvel_link_bench.exe"
work_dir="$build_dir/bench/link"
export KANVEL_MIRROR_DIR="$work_dir/mirror"
program_name=Pomiar
program_size=$((20 * 1024 * 1024))
max_ratio=1.15
most_at_once=$(sed -nE 's/.*kMostRequestsAtOnce = ([0-9]+);.*/\1/p' "$(dirname "$0")/../src/services/http/HttpClient.h")
username=kanvel8
password=tormik584

[ -f "$bench_exe" ] || { echo "bench: $bench_exe is missing: build kanvel_link_bench first" >&2; exit 2; }

tls_tools_present() {
  [ -f "$source_dir/tools/tls/make-test-pki.sh" ] && [ -f "$source_dir/tools/wine/trust-test-ca.sh" ] &&
    grep -q 'TLS_PORT' "$source_dir/tools/mirror/start.sh"
}

bench_prepare_mirror "$build_dir" "$work_dir" || exit 2
mirror_root="$KANVEL_MIRROR_DIR/root"
program_file="$work_dir/$program_name.bin"
if [ "$(stat -c %s "$program_file" 2>/dev/null)" != "$program_size" ]; then
  head -c "$program_size" /dev/urandom >"$program_file"
fi
cp "$program_file" "$mirror_root/programy/wersja7/poprawki/$program_name._exe"
tables=()
while IFS= read -r name; do
  case "$name" in '' | '#'*) continue ;; esac
  tables+=("$name")
done <"$source_dir/tools/mirror/tables.txt"

schemes=(http)
http_port=$(free_port)
if tls_tools_present; then
  tls_port=$(free_port)
  ca="$KANVEL_MIRROR_DIR/tls/ca.crt"  # start.sh makes the test certificates there
  "$source_dir/tools/mirror/start.sh" "$build_dir" "$http_port" "$tls_port" >/dev/null || exit 2
  [ -f "$ca" ] || { echo "bench: the TLS mirror made no $ca" >&2; exit 2; }
  schemes+=(https)
else
  "$source_dir/tools/mirror/start.sh" "$build_dir" "$http_port" >/dev/null || exit 2
  echo "HTTPS: skipped, TLS mirror tools not present"
fi

source "$source_dir/tools/wine/env.sh" "$build_dir"
wine_prepare
if [ -n "${tls_port:-}" ]; then
  bash "$source_dir/tools/wine/trust-test-ca.sh" "$build_dir" "$ca" >/dev/null || exit 2
fi
declare -A relay_log base_url
relay_log[http]="$work_dir/relay-http.log"
# A round takes well under a minute; the relays end by themselves after all of them.
relay_limit=(--max-seconds $((300 + rounds * 120)))
start_relay "$http_port" "${relay_log[http]}" "${relay_limit[@]}" || exit 2
base_url[http]="http://127.0.0.1:$relay_port/"
if [ -n "${tls_port:-}" ]; then
  relay_log[https]="$work_dir/relay-https.log"
  start_relay "$tls_port" "${relay_log[https]}" "${relay_limit[@]}" || exit 2
  # Wine checks the certificate's DNS name only: the mirror is "localhost".
  base_url[https]="https://localhost:$relay_port/"
fi

ours_dir="$(wine_c_drive)/kanvel-link-bench"
curl_dir="$work_dir/curl"

# Every fetched file must equal the mirror's.
check_files() {
  local dir=$1 name
  for name in "${tables[@]}"; do
    cmp -s "$dir/tables/$name" "$mirror_root/programy/wersja7/bkp6/$name" || return 1
  done
  cmp -s "$dir/program/$program_name.exe" "$program_file"
}

fresh_folders() {
  rm -rf "$1"
  mkdir -p "$1/tables" "$1/program"
}

# Runs one client on one scheme; prints "total tables program connections handshakes".
run_ours() {
  local scheme=$1 log=${relay_log[$1]} mark output
  fresh_folders "$ours_dir"
  mark=$(lines_of "$log")
  output=$(wine "$bench_exe" "${base_url[$scheme]}" 'C:\kanvel-link-bench\tables' \
    'C:\kanvel-link-bench\program' "$program_name" | tr -d '\r') || {
    echo "bench: our $scheme run failed" >&2
    return 1
  }
  wine_stop  # the process has ended; its connections are closed by now
  check_files "$ours_dir" || { echo "bench: our $scheme files differ from the mirror's" >&2; return 1; }
  sleep 0.3
  echo "$(value total_seconds <<<"$output") $(value tables_seconds <<<"$output")" \
    "$(value program_seconds <<<"$output") $(count_events "$log" accept "$mark")" \
    "$(count_events "$log" hello "$mark")"
}

run_curl() {
  local scheme=$1 log=${relay_log[$1]} mark config="$work_dir/curl.conf" name started finished report options
  # Options hold for one group of URLs: the program's group repeats them.
  options=$'fail\nwrite-out = "%{time_total}\\n"\n'
  [ "$scheme" = https ] && options+="cacert = \"$ca\""$'\n'
  fresh_folders "$curl_dir"
  {
    printf '%s' "$options"
    for name in "${tables[@]}"; do
      printf 'url = "%sprogramy/wersja7/bkp6/%s"\noutput = "%s/tables/%s"\n' "${base_url[$scheme]}" "$name" \
        "$curl_dir" "$name"
    done
    printf 'next\n%suser = "%s:%s"\n' "$options" "$username" "$password"
    printf 'url = "%sprogramy/wersja7/poprawki/%s._exe"\noutput = "%s/program/%s.exe"\n' "${base_url[$scheme]}" \
      "$program_name" "$curl_dir" "$program_name"
  } >"$config"
  mark=$(lines_of "$log")
  started=$(now_seconds)
  report=$(curl -s -K "$config") || {
    echo "bench: curl $scheme run failed" >&2
    return 1
  }
  finished=$(now_seconds)
  check_files "$curl_dir" || { echo "bench: curl's $scheme files differ from the mirror's" >&2; return 1; }
  sleep 0.3
  awk -v s="$started" -v f="$finished" -v p="$(tail -n 1 <<<"$report")" \
    -v c="$(count_events "$log" accept "$mark")" -v h="$(count_events "$log" hello "$mark")" \
    'BEGIN { printf "%.6f %.6f %.6f %d %d\n", f - s, f - s - p, p, c, h }'
}

declare -A results
for round in $(seq 1 "$rounds"); do
  for scheme in "${schemes[@]}"; do
    for client in curl ours; do
      line=$("run_$client" "$scheme") || exit 2
      read -r total tables_s program_s connections handshakes <<<"$line"
      printf 'round %d %-5s %-4s: total %6.3f s (tables %6.3f s, program %6.3f s), TCP connections %d, TLS handshakes %d\n' \
        "$round" "$scheme" "$client" "$total" "$tables_s" "$program_s" "$connections" "$handshakes"
      results[$scheme.$client.total]+="$total "
      results[$scheme.$client.tables]+="$tables_s "
      results[$scheme.$client.program]+="$program_s "
      results[$scheme.$client.connections]+="$connections "
      results[$scheme.$client.handshakes]+="$handshakes "
    done
  done
done

median_of() { tr ' ' '\n' <<<"${results[$1]}" | grep . | median; }
most_of() { tr ' ' '\n' <<<"${results[$1]}" | grep . | sort -n | tail -n 1; }

status=0
echo "medians of $rounds rounds (link: 25 ms each way, 100 Mbit/s):"
for scheme in "${schemes[@]}"; do
  for part in total tables program; do
    ours=$(median_of "$scheme.ours.$part")
    curl=$(median_of "$scheme.curl.$part")
    ratio=$(awk -v o="$ours" -v c="$curl" 'BEGIN { printf "%.2f", o / c }')
    printf '%-5s %-7s ours %6.3f s, curl %6.3f s, ratio %s\n' "$scheme" "$part" "$ours" "$curl" "$ratio"
    if [ "$part" = total ] && awk -v r="$ratio" -v m="$max_ratio" 'BEGIN { exit !(r > m) }'; then
      echo "bench: $scheme: ours takes more than $max_ratio x curl's time"
      status=1
    fi
  done
  for client in ours curl; do
    connections=$(most_of "$scheme.$client.connections")
    handshakes=$(most_of "$scheme.$client.handshakes")
    printf '%-5s %-4s at most %d TCP connection(s) and %d TLS handshake(s) a run\n' "$scheme" "$client" \
      "$connections" "$handshakes"
    if [ "$client" = ours ] && [ "$connections" -gt "$most_at_once" ]; then
      echo "bench: $scheme: ours opened more than $most_at_once connections to the server"
      status=1
    fi
  done
done
exit "$status"
