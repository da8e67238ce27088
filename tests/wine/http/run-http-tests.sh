#!/usr/bin/env bash
# Runs the WinHTTP client's end-to-end tests under Wine: starts the fault
# server and a mirror of its own on free ports, each also over TLS (the fault
# server besides with a self-signed, an expired and another host's
# certificate), trusts the test CA in this build's Wine prefix only, runs the
# test program, stops everything on every way out, and exits with the
# program's exit code.
# Usage: run-http-tests.sh BUILD_DIR TEST_EXE
set -uo pipefail
build_dir=$(cd "${1:?build folder}" && pwd)
test_exe=${2:?test program}
source_dir=$(cd "$(dirname "$0")/../../.." && pwd)
run_dir="$build_dir/tests/wine/http/run"
# The test's own mirror, so one started by hand for this build keeps running.
export KANVEL_MIRROR_DIR="$run_dir/mirror"
program_timeout=240  # below the ctest TIMEOUT, so the cleanup below always runs

cleanup() {
  "$source_dir/tools/faultserver/stop.sh" "$run_dir"
  "$source_dir/tools/mirror/stop.sh" "$build_dir"
  if declare -F wine_stop >/dev/null; then
    wine_stop
    kanvel_xvfb_stop
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Everything the program fetches is on 127.0.0.1: no proxy may stand between.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY

mkdir -p "$run_dir"
pki="$KANVEL_MIRROR_DIR/tls"
"$source_dir/tools/tls/make-test-pki.sh" "$pki" || exit 1
"$source_dir/tools/mirror/make-tree.sh" "$build_dir" >/dev/null || exit 1
mirror_port=$(free_port) || exit 1
mirror_tls_port=$(free_port) || exit 1
"$source_dir/tools/mirror/start.sh" "$build_dir" "$mirror_port" "$mirror_tls_port" >/dev/null || exit 1
fault_port=$("$source_dir/tools/faultserver/start.sh" "$run_dir" 0 "$program_timeout" \
  --also-tls trusted "$pki/localhost.crt" "$pki/localhost.key" \
  --also-tls selfsigned "$pki/selfsigned.crt" "$pki/selfsigned.key" \
  --also-tls expired "$pki/expired.crt" "$pki/expired.key" \
  --also-tls otherhost "$pki/otherhost.crt" "$pki/otherhost.key") || exit 1
tls_port() { awk -v name="$1" '$1 == name { print $2 }' "$run_dir/faultserver.port"; }
closed_port=$(free_port) || exit 1  # bound and released at once: nothing listens there

# shellcheck source=../../../tools/wine/env.sh
source "$source_dir/tools/wine/env.sh" "$build_dir"
wine_prepare
"$source_dir/tools/wine/trust-test-ca.sh" "$build_dir" "$pki/ca.crt" || exit 1
mirror_root=$(winepath -w "$KANVEL_MIRROR_DIR/root")

# The certificates name localhost, so TLS goes to localhost.
timeout -k 10 "$program_timeout" wine "$test_exe" \
  "http://127.0.0.1:$fault_port" "http://127.0.0.1:$closed_port" \
  "http://127.0.0.1:$mirror_port" "$mirror_root" \
  "https://localhost:$(tls_port trusted)" "https://localhost:$closed_port" \
  "https://localhost:$mirror_tls_port" \
  "https://localhost:$(tls_port selfsigned)" "https://localhost:$(tls_port expired)" \
  "https://localhost:$(tls_port otherhost)"
status=$?
[ "$status" = 124 ] && echo "run-http-tests: the test program ran past $program_timeout s and was stopped"
exit "$status"
