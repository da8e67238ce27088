#!/usr/bin/env bash
# Starts the local mirror of BUILD_DIR where an installer built for BASE_URL
# looks for it: for http://HOST:PORT/ on PORT; for https://localhost:PORT/
# over TLS on PORT and plain on PLAIN_PORT (default: a free port).
# Usage: start-for.sh BUILD_DIR BASE_URL [PLAIN_PORT]   (run make-tree.sh first)
set -euo pipefail
build_dir=${1:?build folder}
base_url=${2:?download base URL}
here=$(cd "$(dirname "$0")" && pwd)
scheme=$(printf '%s\n' "$base_url" | sed -E 's#^([a-zA-Z]+)://.*#\1#' | tr '[:upper:]' '[:lower:]')
port=$(printf '%s\n' "$base_url" | sed -nE 's#^[a-zA-Z]+://[^/]*:([0-9]+)/.*#\1#p')
if [ -z "$port" ]; then
  echo "start-for: $base_url names no port; the local mirror needs one" >&2
  exit 1
fi
if [ "$scheme" = https ]; then
  plain_port=${3:-$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')}
  exec "$here/start.sh" "$build_dir" "$plain_port" "$port"
fi
exec "$here/start.sh" "$build_dir" "$port"
