#!/usr/bin/env bash
# Stops the fault server that start.sh started from RUN_DIR.
# Usage: stop.sh RUN_DIR
set -uo pipefail
pid_file="${1:?run folder}/faultserver.pid"
[ -f "$pid_file" ] || exit 0
pid=$(cat "$pid_file")
if kill -0 "$pid" 2>/dev/null && grep -q faultserver.py "/proc/$pid/cmdline" 2>/dev/null; then
  kill -TERM "$pid"
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && kill -KILL "$pid"
fi
rm -f "$pid_file" "${1}/faultserver.port"
exit 0
