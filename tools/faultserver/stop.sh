#!/usr/bin/env bash
# Stops the fault server that start.sh started from RUN_DIR.
# Usage: stop.sh RUN_DIR
set -uo pipefail
source "$(dirname "$0")/../lib/stop-process.sh"
pid_file="${1:?run folder}/faultserver.pid"
[ -f "$pid_file" ] || exit 0
pid=$(cat "$pid_file")
if kill -0 "$pid" 2>/dev/null && grep -q faultserver.py "/proc/$pid/cmdline" 2>/dev/null; then
  stop_process "$pid"
fi
rm -f "$pid_file" "${1}/faultserver.port"
exit 0
