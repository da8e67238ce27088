# Helpers shared by the benchmark scripts. Usage: source bench/bench-lib.sh

# A TCP port on 127.0.0.1 that nothing listens on right now.
free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# The median of the numbers on standard input, one a line.
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# The value of KEY in KEY=VALUE lines on standard input.
value() { sed -n "s/^$1=//p"; }

# Seconds since the epoch, with nanoseconds.
now_seconds() { date +%s.%N; }

# Starts the link relay in front of 127.0.0.1:UPSTREAM; sets relay_port to the
# port it listens on and adds it to relay_pids (stop_relays ends them all).
# Usage: start_relay UPSTREAM EVENT_LOG [relay options...]
relay_pids=()
start_relay() {
  local upstream=$1 log=$2 port_file
  shift 2
  port_file="$log.port"
  rm -f "$port_file" "$log"
  python3 "$(dirname "${BASH_SOURCE[0]}")/link_relay.py" --upstream-port "$upstream" --port-file "$port_file" \
    --log "$log" "$@" </dev/null >/dev/null &
  relay_pids+=($!)
  for _ in $(seq 1 100); do
    [ -s "$port_file" ] && { relay_port=$(cat "$port_file"); return 0; }
    sleep 0.1
  done
  echo "bench: the link relay did not start" >&2
  return 1
}

stop_relays() {
  local pid
  for pid in "${relay_pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${relay_pids[@]}"; do wait "$pid" 2>/dev/null; done
  relay_pids=()
}

# Number of lines of a relay's event log that start with EVENT, after line FROM.
count_events() {
  local log=$1 event=$2 from=$3
  tail -n +"$((from + 1))" "$log" | grep -c "^$event "
}

lines_of() { wc -l <"$1"; }

# Ends, when the script exits, what a benchmark started: the relays, the
# mirror and the Wine prefix's processes (after bench_before_wine_stop, when
# the script defines it). Then builds the mirror tree in KANVEL_MIRROR_DIR.
# Usage: bench_prepare_mirror BUILD_DIR WORK_DIR
bench_prepare_mirror() {
  _bench_build_dir=$1
  trap _bench_cleanup EXIT
  trap 'exit 130' INT TERM
  unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
  mkdir -p "$2"
  "$(dirname "${BASH_SOURCE[0]}")/../tools/mirror/make-tree.sh" "$1" >/dev/null
}

_bench_cleanup() {
  stop_relays
  "$(dirname "${BASH_SOURCE[0]}")/../tools/mirror/stop.sh" "$_bench_build_dir" >/dev/null 2>&1
  if declare -F wine_stop >/dev/null; then
    if declare -F bench_before_wine_stop >/dev/null; then bench_before_wine_stop; fi
    wine_stop
    kanvel_xvfb_stop
  fi
}
