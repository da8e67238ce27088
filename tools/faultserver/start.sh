#!/usr/bin/env bash
# Starts the fault server in the background and prints the port it listens on.
# Usage: start.sh RUN_DIR [PORT] [IDLE_EXIT_SECONDS] [FAULTSERVER_OPTIONS...]
# RUN_DIR receives faultserver.pid, faultserver.port and faultserver.log;
# faultserver.port also lists the ports of --also-tls listeners ("NAME PORT").
# PORT defaults to 18081; 0 picks a free one. Fails if it is already running there.
set -euo pipefail
run_dir=$(mkdir -p "${1:?run folder}" && cd "$1" && pwd)
port=${2:-18081}
idle_exit=${3:-600}
shift $(( $# < 3 ? $# : 3 ))
here=$(cd "$(dirname "$0")" && pwd)

if [ -f "$run_dir/faultserver.pid" ] && kill -0 "$(cat "$run_dir/faultserver.pid")" 2>/dev/null; then
  echo "faultserver: already running from $run_dir (pid $(cat "$run_dir/faultserver.pid"))" >&2
  exit 1
fi
rm -f "$run_dir/faultserver.port"
python3 "$here/faultserver.py" "$port" --ready-file "$run_dir/faultserver.port" --idle-exit "$idle_exit" "$@" \
  >"$run_dir/faultserver.log" 2>&1 </dev/null &
echo $! >"$run_dir/faultserver.pid"

for _ in $(seq 1 100); do
  if [ -s "$run_dir/faultserver.port" ]; then
    head -n 1 "$run_dir/faultserver.port"
    exit 0
  fi
  if ! kill -0 "$(cat "$run_dir/faultserver.pid")" 2>/dev/null; then
    break
  fi
  sleep 0.1
done
echo "faultserver: did not start; its log:" >&2
cat "$run_dir/faultserver.log" >&2
exit 1
