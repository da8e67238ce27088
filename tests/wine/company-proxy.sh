#!/usr/bin/env bash
# Installs through a company proxy, found the way Windows programs find it.
# The installer is built for https://pliki.kanvel.test:PORT/, a name only the
# test proxy (squid, on a free loopback port) resolves, so every file it gets
# came through the proxy. The proxy is set in the prefix where Windows'
# Internet options write it (the "DefaultConnectionSettings" value of the
# user's Internet Settings\Connections key), never on the host: first as a
# proxy server (a whole install), then as a configuration script served by
# the mirror (the program file again).
# Usage: company-proxy.sh BUILD_DIR --installer-build PROXY_INSTALLER_DIR
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin company-proxy mirror "$@"
c_drive=$(wine_c_drive)
mirror="$KANVEL_BUILD_DIR/mirror/root"
proxy_run="$KANVEL_BUILD_DIR/tests/wine/company-proxy/squid"
connections='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Connections'
tls_port=$(sed -nE 's#^https://pliki\.kanvel\.test:([0-9]+)/$#\1#p' <<<"$BASE_URL")
[ -n "$tls_port" ] || fail "the installer is not built for https://pliki.kanvel.test:PORT/ but $BASE_URL"
"$KANVEL_SOURCE_DIR/tools/wine/trust-test-ca.sh" "$KANVEL_BUILD_DIR" "$KANVEL_BUILD_DIR/mirror/tls/ca.crt" \
  || fail "test CA not trusted"
proxy_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$KANVEL_SOURCE_DIR/tools/proxy/start.sh" "$proxy_run" "$proxy_port" || fail "squid did not start"
on_journey_end '"$KANVEL_SOURCE_DIR/tools/proxy/stop.sh" "$proxy_run"'
on_journey_end 'wine reg delete "$connections" /v DefaultConnectionSettings /f >/dev/null 2>&1'
getent hosts pliki.kanvel.test >/dev/null && fail "this machine resolves pliki.kanvel.test: the test proves nothing"

# set_connection_settings FLAGS PROXY BYPASS SCRIPT_URL: the binary value as
# Windows writes it: version, counter, flags (1 direct, 2 proxy server,
# 4 script, 8 detection), then each text with its length before it.
set_connection_settings() {
  local hex
  hex=$(python3 - "$@" <<'PY'
import struct, sys
flags, proxy, bypass, script = int(sys.argv[1]), *(a.encode("ascii") for a in sys.argv[2:5])
blob = struct.pack("<III", 0x46, 1, flags)
for text in (proxy, bypass, script):
    blob += struct.pack("<I", len(text)) + text
print((blob + bytes(32)).hex())
PY
)
  wine reg add "$connections" /v DefaultConnectionSettings /t REG_BINARY /d "$hex" /f >/dev/null 2>&1 \
    || fail "connection settings not written"
}

access_log="$KANVEL_BUILD_DIR/mirror/logs/access.log"
mark_logs() {
  log_start=$(( $(cat "$access_log" 2>/dev/null | wc -l) + 1 ))
  proxy_start=$(( $(cat "$proxy_run/access.log" 2>/dev/null | wc -l) + 1 ))
}
journey_requests() { tail -n +"$log_start" "$access_log"; }
# squid logs a tunnel when it closes; a connection that sent nothing (the
# start script's check that it listens) is no request.
proxy_requests() { tail -n +"$proxy_start" "$proxy_run/access.log" | grep -v ' error:transaction-end-before-headers '; }
tunnel_logged() { proxy_requests | grep -q " TCP_TUNNEL/200 .* CONNECT pliki.kanvel.test:$tls_port "; }
# Every file came over TLS, and the proxy carried only tunnels to the mirror's
# name (Wine's WinHTTP names the whole URL in the request line inside the
# tunnel, so the mirror's log shows the name too). Checked once the installer
# has ended and closed its connections.
expect_everything_through_proxy() {
  local other
  other=$(journey_requests | grep -v " https:$tls_port " | grep -v '"GET /proxy.pac ')
  [ -z "$other" ] || fail "$1: requests that did not come over TLS: $other"
  wait_for 15 tunnel_logged || fail "$1: the proxy carried no tunnel to the mirror"
  other=$(proxy_requests | grep -v " CONNECT pliki.kanvel.test:$tls_port ")
  [ -z "$other" ] || fail "$1: the proxy saw other requests: $other"
}

# --- First run: a proxy server in the user's settings; everything installed.
set_connection_settings 3 "127.0.0.1:$proxy_port" "<local>" ""
mark_logs
install_all_components
wait_for 180 status_is "Instalacja zakończona pomyślnie" || fail "install did not finish: $(drive status)"
shot proxy-server-finished
cmp -s "$c_drive/OR-Vel/Edytor3.exe" "$mirror/programy/wersja7/poprawki/Edytor3._exe" || fail "program file differs"
cmp -s "$c_drive/OR-Vel/Sterowniki/BDE/setup.exe" "$mirror/sterowniki/bde/setup._exe" || fail "engine installer differs"
[ "$(ls "$c_drive/OR-Vel/Format/Bkp6" | wc -l)" = 73 ] || fail "pristine folder does not hold the 73 tables"
[ "$(journey_requests | grep -c "\"GET [^ ]*/programy/wersja7/bkp6/.* 200 ")" = 73 ] || fail "the 73 tables did not come"
wine_stop
expect_everything_through_proxy "proxy server"

# --- Second run: a configuration script, served by the mirror, names the proxy.
plain_port=$(cat "$KANVEL_BUILD_DIR/mirror/port")
cat >"$mirror/proxy.pac" <<PAC
function FindProxyForURL(url, host) {
  if (dnsDomainIs(host, "pliki.kanvel.test")) return "PROXY 127.0.0.1:$proxy_port";
  return "DIRECT";
}
PAC
on_journey_end 'rm -f "$mirror/proxy.pac"'
set_connection_settings 5 "" "" "http://127.0.0.1:$plain_port/proxy.pac"
mark_logs
accept_and_choose_koordynator
drive click "Instaluj" >/dev/null
answer_warning replace-notice
wait_for 60 status_is "Instalacja zakończona pomyślnie" || fail "script install: $(drive status)"
journey_requests | grep -q " http:$plain_port \"GET /proxy.pac " || fail "the configuration script was not read"
journey_requests | grep -q "\"GET [^ ]*/programy/wersja7/poprawki/Edytor3._exe HTTP/1.1\" 200 " \
  || fail "the program file did not come with the script's proxy"
cmp -s "$c_drive/OR-Vel/Edytor3.exe" "$mirror/programy/wersja7/poprawki/Edytor3._exe" || fail "program file differs"
drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
expect_everything_through_proxy "configuration script"

# The server's credentials went inside the tunnels only: the proxy, which
# logs the headers it is sent, never saw them.
proxy_requests | grep -q "Authorization: Basic" && fail "the server's credentials reached the proxy: $(proxy_requests)"
echo "company proxy ($BASE_URL through 127.0.0.1:$proxy_port): ok"
