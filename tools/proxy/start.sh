#!/usr/bin/env bash
# Starts squid as the company proxy of the network tests: on 127.0.0.1:PORT,
# for clients on this machine only, caching nothing. It alone knows the name
# pliki.kanvel.test (127.0.0.1, from its own hosts file; it asks no name
# server), so an installer built for that name reaches the mirror through it
# or not at all. With --basic USER PASSWORD it lets only that user through
# (HTTP Basic, squid's basic_ncsa_auth). Its configuration, logs and pid
# live in RUN_DIR; the system's squid is left alone. Its access log also
# holds the headers of every request it was sent.
# Usage: start.sh RUN_DIR PORT [--basic USER PASSWORD]   (stop.sh RUN_DIR stops it)
set -euo pipefail
run=$(mkdir -p "${1:?run folder}" && cd "$1" && pwd)
port=${2:?port}
shift 2
"$(dirname "$0")/stop.sh" "$run"
rm -f "$run/access.log" "$run/cache.log"
sign_in=""
if [ "${1:-}" = --basic ]; then
  printf '%s:%s\n' "${2:?user}" "$(openssl passwd -1 "${3:?password}")" >"$run/passwd"
  sign_in="auth_param basic program /usr/lib/squid/basic_ncsa_auth $run/passwd
auth_param basic realm Kanvel test proxy
acl signed_in proxy_auth REQUIRED
http_access deny !signed_in"
fi
printf '127.0.0.1 pliki.kanvel.test\n' >"$run/hosts"
cat >"$run/squid.conf" <<CONF
http_port 127.0.0.1:$port
visible_hostname kanvel-test-proxy
pid_filename $run/squid.pid
access_log stdio:$run/access.log squid
log_mime_hdrs on
cache_log $run/cache.log
cache_store_log none
coredump_dir $run
cache deny all
hosts_file $run/hosts
dns_nameservers 127.0.0.1
shutdown_lifetime 1 seconds
acl this_machine src 127.0.0.1
$sign_in
http_access allow this_machine
http_access deny all
CONF
# Run as root, squid works as its own user: that user writes the logs.
[ "$(id -u)" -ne 0 ] || chown -R proxy "$run"
setsid squid -N -f "$run/squid.conf" </dev/null >"$run/squid.out" 2>&1 &
echo $! >"$run/squid.process"
for _ in $(seq 100); do
  if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then exit 0; fi
  kill -0 "$(cat "$run/squid.process")" 2>/dev/null || break
  sleep 0.1
done
echo "proxy: squid did not start on 127.0.0.1:$port" >&2
cat "$run/squid.out" "$run/cache.log" >&2 2>/dev/null || true
exit 1
