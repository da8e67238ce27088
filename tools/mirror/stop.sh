#!/usr/bin/env bash
# Stops the mirror nginx that start.sh started for BUILD_DIR (and nothing else).
# Usage: stop.sh BUILD_DIR
# KANVEL_MIRROR_DIR, when set, is the mirror folder instead of BUILD_DIR/mirror.
set -uo pipefail
source "$(dirname "$0")/../lib/stop-process.sh"
mirror=$(cd "${KANVEL_MIRROR_DIR:-${1:?build folder}/mirror}" 2>/dev/null && pwd) || exit 0
pid=$(cat "$mirror/nginx.pid" 2>/dev/null) || exit 0

# Only the master whose command line names this mirror's configuration.
if grep -qF "$mirror/nginx.conf" "/proc/$pid/cmdline" 2>/dev/null; then
  stop_process "$pid"
fi
rm -f "$mirror/nginx.pid" "$mirror/port" "$mirror/tls_port"
exit 0
