#!/usr/bin/env bash
# An install whose database engine installer arrives cut off (a chunked body
# whose connection closes in the middle of a chunk, which Wine 8's WinHTTP
# ends without an error) stores nothing and starts nothing: the download says
# why, no "setup.exe" and no partial file appear, and the installer asks for
# the packed engine installer as it does when there is none.
# Usage: cut-engine-download.sh BUILD_DIR BASE_URL
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin cut-engine-download plain "$@"
c_drive=$(wine_c_drive)
engine="$c_drive/OR-Vel/Sterowniki/BDE/setup.exe"
run_dir="$KANVEL_BUILD_DIR/tests/wine/cut-engine-download"
port=$(sed -E 's|^http://[^:/]+:([0-9]+)/.*$|\1|' <<<"$BASE_URL")
[ "$port" != "$BASE_URL" ] || fail "no port in $BASE_URL"
# The fault server answers where the installer looks for its engine installer.
"$KANVEL_SOURCE_DIR/tools/faultserver/start.sh" "$run_dir" "$port" 120 \
  --alias /sterowniki/bde/setup._exe=/chunked-cut >/dev/null || fail "the fault server did not start"
on_journey_end '"$KANVEL_SOURCE_DIR/tools/faultserver/stop.sh" "$run_dir"'

accept_and_choose_koordynator
drive click "Plik programu" >/dev/null   # the engine alone
drive click "Paradox (BDE)" >/dev/null
wait_for 10 control_is "Paradox (BDE)" "enabled=1 checked=1 visible=1" || fail "engine box not ticked"
wait_for 10 control_is "Plik programu" "enabled=1 checked=0 visible=1" || fail "program box still ticked"
drive click "Instaluj" >/dev/null
answer_warning engine-notice             # "Pobranie silnika bazy danych projektów z wersji 3.0-7.0."
wait_for 30 control_is "Nieudane pobranie pliku: serwer przysłał plik w częściach, bez podanej długości" \
  "enabled=1 checked=0 visible=1" || fail "no message naming the cut-off body"
[ ! -e "$engine" ] || fail "the cut-off engine installer was stored"
[ -z "$(find "$c_drive/OR-Vel" -name '*.part')" ] || fail "a partial file stayed"
answer "Instalator" cut-message
# With no engine installer in place, the installer asks for the packed one.
wait_for 20 xdotool search --name '^Wskaż plik setup\._exe$' || fail "no dialog for the packed engine installer"
shot pick
xdotool key --window "$(xdotool search --name '^Wskaż plik setup\._exe$' | head -n 1)" Escape 2>/dev/null
answer_warning download-required         # "Wymagane jest pobranie pliku z internetu."
[ ! -e "$engine" ] || fail "an engine installer appeared"
window_gone "Instalator silnika bazy danych \(wersja demonstracyjna\)" || fail "an engine installer was started"
grep -q $'GET\t/sterowniki/bde/setup._exe' <(curl -s "http://127.0.0.1:$port/_requests") \
  || fail "the engine installer was never asked for"
drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "cut engine download: ok"
