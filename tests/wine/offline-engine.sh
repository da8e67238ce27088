#!/usr/bin/env bash
# With no download server: the engine download fails and says so, the user
# points at a packed engine installer in the real open dialog, which is put in
# place and started; the program file cannot be fetched and the user is told.
set -u
build_dir=$1
source "$(dirname "$0")/../../tools/wine/env.sh" "$build_dir"
JOURNEY_NAME=offline-engine
source "$(dirname "$0")/journey-lib.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)
c_drive=$(wine_c_drive)
trap 'rm -rf "$c_drive/pobrane"; clean_installation_traces; wine_stop; kanvel_xvfb_stop' EXIT
wine_prepare
clean_installation_traces
"$root/tools/mirror/stop.sh" "$build_dir" >/dev/null 2>&1
mkdir -p "$c_drive/pobrane"
cp "$build_dir/tools/demo/setup.exe" "$c_drive/pobrane/setup._exe"

answer() {  # answer TITLE STEP: Enter on the next window of that title
  wait_for 30 xdotool search --name "^$1\$" || fail "no \"$1\" window ($2)"
  shot "$2"
  xdotool key --window "$(xdotool search --name "^$1\$" | head -n 1)" Return 2>/dev/null
  wait_for 10 window_gone "$1" || fail "the \"$1\" window stayed ($2)"
}

start_and_wait_for_reveal
xdotool click 1
wait_for 30 mouse_at $(( WX + 14 + 50 )) $(( WY + 34 + 77 + 45 )) || fail "no glide onto the editions"
xdotool click 1
wait_for 10 status_is "Instalacja programu Kanvel Koordynator 7.0" || fail "edition not chosen"
drive click "Paradox (BDE)" >/dev/null
wait_for 10 control_is "Paradox (BDE)" "enabled=1 checked=1 visible=1" || fail "engine box not ticked"
drive click "Instaluj" >/dev/null

answer "Uwaga!" engine-notice
answer "Instalator" engine-connection-failure   # "Błąd połączenia z internetem"
wait_for 20 xdotool search --name '^Wskaż plik setup\._exe$' || fail "no dialog for the packed engine installer"
dialog=$(xdotool search --name '^Wskaż plik setup\._exe$' | head -n 1)
xdotool windowactivate --sync "$dialog" 2>/dev/null
xdotool key ctrl+a
xdotool type 'c:\pobrane\setup._exe'
shot pick
xdotool key Return
wait_for 30 xdotool search --name "^Instalator silnika bazy danych \(wersja demonstracyjna\)$" \
  || fail "the picked engine installer was not started"
cmp -s "$c_drive/OR-Vel/Sterowniki/BDE/setup.exe" "$c_drive/pobrane/setup._exe" || fail "engine installer not put in place"
# The user finishes with the engine installer (it runs on its own, over our window).
drive close "Instalator silnika bazy danych (wersja demonstracyjna)" >/dev/null
wait_for 10 window_gone "Instalator silnika bazy danych \(wersja demonstracyjna\)" || fail "the engine installer did not close"

answer "Instalator" program-connection-failure
answer "Uwaga!" download-required   # "Wymagane jest pobranie pliku z internetu."
expect_state "Paradox (BDE)" "enabled=1 checked=0 visible=1"
expect_state "Instaluj" "enabled=1 checked=0 visible=1"
[ ! -e "$c_drive/OR-Vel/Edytor3.exe" ] || fail "a program file appeared without a server"

drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "offline engine: ok"
