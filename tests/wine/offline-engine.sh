#!/usr/bin/env bash
# With no download server: the engine download fails and says so, the user
# points at a packed engine installer in the real open dialog, which is put in
# place and started; the program file cannot be fetched and the user is told.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin offline-engine plain "$@"   # no mirror runs
c_drive=$(wine_c_drive)
on_journey_end 'rm -rf "$c_drive/pobrane"'
mkdir -p "$c_drive/pobrane"
cp "$KANVEL_BUILD_DIR/tools/demo/setup.exe" "$c_drive/pobrane/setup._exe"

accept_and_choose_koordynator
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
