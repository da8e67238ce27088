#!/usr/bin/env bash
# The keyboard while a run fetches from a mirror that sends slowly. A click
# on "Instaluj" locks the panel; the focus then never lands on "Zamknij", the
# one control the lock leaves usable, so Space and Enter pressed while the
# program file arrives change nothing: the run goes on to its end, and the
# focus is back on the install button ("Uruchom") when it is usable again.
# Then "Zamknij" during a download whose message log cannot be written (the
# installer on a DVD or a read-only share) closes the window without a box.
# Usage: keys-during-run.sh BUILD_DIR BASE_URL
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin keys-during-run mirror-tree "$@"
c_drive=$(wine_c_drive)
message_log="$KANVEL_BUILD_DIR/Komunikaty.err"

arriving() { [ -s "$c_drive/OR-Vel/$1.part" ]; }
part_size() { stat -c %s "$c_drive/OR-Vel/$1.part" 2>/dev/null || echo 0; }
grown_past() { [ "$(part_size "$1")" -gt "$2" ]; }
# The focus is anywhere but on "Zamknij"; fails the journey at once otherwise.
focus_off_close() {
  local focus
  focus=$(drive focus)
  [ "$focus" != "Button:Zamknij" ] || fail "during the run the focus is on \"Zamknij\" ($1)"
}
# The install has finished, or the focus is on "Zamknij" (FOCUS_ON_CLOSE=1).
FOCUS_ON_CLOSE=0
finished_or_focus_on_close() {
  [ "$(drive focus)" != "Button:Zamknij" ] || FOCUS_ON_CLOSE=1
  [ "$FOCUS_ON_CLOSE" = 1 ] || status_is "Instalacja zakończona pomyślnie"
}

# --- Space and Enter while Koordynator's program arrives.
mirror_start 16k
accept_and_choose_koordynator
click_on "Instaluj"
wait_for 30 arriving Edytor3.exe || fail "the program file's download did not start"
focus_off_close "after the click on \"Instaluj\""
expect_state "Instaluj" "enabled=0 checked=0 visible=1"
shot downloading
for key in space Return space; do
  size=$(part_size Edytor3.exe)
  xdotool key "$key"
  # The download goes on after the key: the window has taken it meanwhile.
  wait_for 30 grown_past Edytor3.exe "$size" || fail "the download did not go on after $key"
  kill -0 "$INSTALLER_PID" 2>/dev/null || fail "$key ended the installer"
  focus_off_close "after $key"
  expect_status "Pobranie pliku: Edytor3.exe"
done
wait_for 120 finished_or_focus_on_close || fail "install did not finish: $(drive status)"
[ "$FOCUS_ON_CLOSE" = 0 ] || fail "during the run the focus came to \"Zamknij\""
cmp -s "$c_drive/OR-Vel/Edytor3.exe" "$KANVEL_BUILD_DIR/mirror/root/programy/wersja7/poprawki/Edytor3._exe" ||
  fail "the program file is not the mirror's"
wait_for 10 focus_is "Button:Uruchom" || fail "after the run the focus is on \"$(drive focus)\", not on \"Uruchom\""
shot finished

# --- "Zamknij" during a download, the message log not writable. The tests
# run as root, whom Unix permissions do not stop, so a folder takes the log's
# name: Windows (and Wine) refuse to open it as a file, as a read-only
# folder refuses to create it.
kept_log="$message_log.kept-by-keys-during-run"
[ ! -e "$message_log" ] || mv "$message_log" "$kept_log"
mkdir "$message_log"
on_journey_end 'rmdir "$message_log"; [ ! -e "$kept_log" ] || mv "$kept_log" "$message_log"'
drive click "<< Wstecz" >/dev/null
click_on "Administrator"
wait_for 10 status_is "Instalacja programu Kanvel Administrator 7.0" || fail "Administrator not chosen"
click_on "Instaluj"
wait_for 30 arriving Edytor2.exe || fail "Administrator's download did not start"
drive click "Zamknij" >/dev/null
# An error box would keep the installer running until someone answers it.
journey_finish 30 || fail "exit code $?"
[ -z "$(ls -A "$message_log")" ] || fail "something was written into the folder in the log's place"
[ ! -e "$c_drive/OR-Vel/Edytor2.exe" ] || fail "a program file came from a broken-off download"
echo "keys during a run: ok"
