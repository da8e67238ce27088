#!/usr/bin/env bash
# Stops the test proxy that start.sh started in RUN_DIR, if it runs.
# Usage: stop.sh RUN_DIR
run=${1:?run folder}
pid=$(cat "$run/squid.process" 2>/dev/null) || exit 0
if grep -q squid "/proc/$pid/cmdline" 2>/dev/null; then
  kill "$pid" 2>/dev/null
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null
fi
rm -f "$run/squid.process"
exit 0
