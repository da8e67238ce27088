#!/usr/bin/env bash
# Starts the local download mirror: nginx serving BUILD_DIR/mirror/root on
# 127.0.0.1:PORT (default 18080), with HTTP Basic authentication on
# programy/wersja7/poprawki only. With TLS_PORT, the same tree is also served
# over TLS on 127.0.0.1:TLS_PORT, under the same rule, with the certificate
# for localhost from the mirror folder's tls/ (made by
# tools/tls/make-test-pki.sh when missing): address it as
# https://localhost:TLS_PORT/. Its configuration, pid, logs and temporary
# folders all live in BUILD_DIR/mirror, so the system's nginx is left alone.
# Usage: start.sh BUILD_DIR [PORT] [TLS_PORT]   (run make-tree.sh first)
# KANVEL_MIRROR_DIR, when set, is the mirror folder instead of BUILD_DIR/mirror.
# KANVEL_MIRROR_RATE, when set (nginx's form, e.g. 32k), sends every answer at
# most that many bytes a second, so a test can catch a download midway.
# Running it again while the mirror runs on the same ports does nothing; on
# other ports it restarts the mirror there.
set -euo pipefail
build_dir=$(cd "${1:?build folder}" && pwd)
port=${2:-18080}
tls_port=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
mirror_dir=${KANVEL_MIRROR_DIR:-$build_dir/mirror}
username=kanvel8
password=tormik584

if [ ! -d "$mirror_dir/root" ]; then
  echo "mirror: $mirror_dir/root is missing: run make-tree.sh first" >&2
  exit 1
fi
mirror=$(cd "$mirror_dir" && pwd)
conf="$mirror/nginx.conf"

port_answers() {
  (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

running_pid() {
  local pid
  pid=$(cat "$mirror/nginx.pid" 2>/dev/null) || return 1
  grep -qF "$conf" "/proc/$pid/cmdline" 2>/dev/null && echo "$pid"
}

listening_on() {
  echo "127.0.0.1:$port${tls_port:+ and TLS on 127.0.0.1:$tls_port}"
}

if running_pid >/dev/null; then
  if [ "$(cat "$mirror/port" 2>/dev/null)" = "$port" ] && [ "$(cat "$mirror/tls_port" 2>/dev/null)" = "$tls_port" ] &&
     port_answers "$port"; then
    echo "mirror: already running on $(listening_on)"
    exit 0
  fi
  "$here/stop.sh" "$build_dir"
fi

for p in "$port" $tls_port; do
  if port_answers "$p"; then
    echo "mirror: port $p is taken by another program" >&2
    exit 1
  fi
done

tls_server=""
if [ -n "$tls_port" ]; then
  "$here/../tls/make-test-pki.sh" "$mirror/tls"
  tls_server="
  server {
    listen 127.0.0.1:$tls_port ssl;
    ssl_certificate \"$mirror/tls/localhost.crt\";
    ssl_certificate_key \"$mirror/tls/localhost.key\";
    ssl_protocols TLSv1.2 TLSv1.3;
    include \"$mirror/site.conf\";
  }"
fi

mkdir -p "$mirror/logs" "$mirror/tmp"
# nginx reads this scheme as the password itself; hashing would protect
# nothing here, since the password is written in this script anyway.
printf '%s:{PLAIN}%s\n' "$username" "$password" >"$mirror/htpasswd"

# Workers run as the user that starts the mirror, so they can read its tree;
# the user directive only means something when that user is root.
user_line=""
if [ "$(id -u)" = 0 ]; then
  user_line="user $(id -un) $(id -gn);"$'\n'
fi

# What both servers serve: the tree, with credentials asked on the programs.
cat >"$mirror/site.conf" <<SITE
server_name localhost;
root "$mirror/root";

location ~ ^/programy/wersja7/poprawki(/|\$) {
  auth_basic "Kanvel";
  auth_basic_user_file "$mirror/htpasswd";
}
SITE

cat >"$conf" <<CONF
${user_line}worker_processes 1;
pid "$mirror/nginx.pid";
error_log "$mirror/logs/error.log" warn;

events {
  worker_connections 256;
}

http {
  default_type application/octet-stream;
  # Each line says over which scheme and port the request came, and for whom.
  log_format kanvel '\$remote_addr \$scheme:\$server_port "\$request" \$status \$body_bytes_sent "\$remote_user"';
  access_log "$mirror/logs/access.log" kanvel;
  client_body_temp_path "$mirror/tmp/client_body";
  proxy_temp_path "$mirror/tmp/proxy";
  fastcgi_temp_path "$mirror/tmp/fastcgi";
  uwsgi_temp_path "$mirror/tmp/uwsgi";
  scgi_temp_path "$mirror/tmp/scgi";
  sendfile on;
  tcp_nopush on;
  limit_rate ${KANVEL_MIRROR_RATE:-0};

  server {
    listen 127.0.0.1:$port;
    include "$mirror/site.conf";
  }$tls_server
}
CONF

# Debian keeps nginx in /usr/sbin, which a normal user's PATH may lack.
nginx_program=$(command -v nginx || echo /usr/sbin/nginx)
"$nginx_program" -p "$mirror" -c "$conf" -e "$mirror/logs/error.log"
echo "$port" >"$mirror/port"
echo "$tls_port" >"$mirror/tls_port"

for _ in $(seq 1 100); do
  if port_answers "$port" && { [ -z "$tls_port" ] || port_answers "$tls_port"; }; then
    echo "mirror: running on $(listening_on)"
    exit 0
  fi
  sleep 0.1
done
echo "mirror: nginx did not answer on port $port; its log:" >&2
cat "$mirror/logs/error.log" >&2
exit 1
