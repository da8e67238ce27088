#!/usr/bin/env bash
# A run killed in the middle of the program file's download, against a
# mirror that sends slowly: it leaves exactly one partial file and no program
# file; the next run's download replaces that partial file with the program.
# A second killed download, over the installed program, leaves the old
# program and one partial file; removal deletes both.
# Usage: killed-download.sh BUILD_DIR BASE_URL
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin killed-download mirror-tree "$@"
c_drive=$(wine_c_drive)
program="$c_drive/OR-Vel/Edytor3.exe"
partial="$program.part"
served="$KANVEL_BUILD_DIR/mirror/root/programy/wersja7/poprawki/Edytor3._exe"

partial_has_bytes() { [ -s "$partial" ]; }

# Starts the program file's download and kills every process of the prefix
# once part of it has arrived, as a power cut or the task manager would.
kill_midway() {
  drive click "Instaluj" >/dev/null
  [ "${1:-}" = replace ] && answer_warning replace-notice
  wait_for 30 partial_has_bytes || fail "no partial file appeared"
  shot "$1-killed"
  wine_stop
  local size
  size=$(stat -c %s "$partial")
  [ "$size" -lt "$(stat -c %s "$served")" ] || fail "the download was not cut midway ($size bytes)"
}

partial_files() { find "$c_drive/OR-Vel" -name '*.part' | sort; }

# --- A first install killed midway.
mirror_start 16k
accept_and_choose_koordynator
kill_midway first
[ "$(partial_files)" = "$partial" ] || fail "partial files after the kill: $(partial_files)"
[ ! -e "$program" ] || fail "a program file appeared from a cut download"

# --- The next run fetches it whole: the partial file gives way to the program.
mirror_start
accept_and_choose_koordynator
drive click "Instaluj" >/dev/null
wait_for 60 status_is "Instalacja zakończona pomyślnie" || fail "install did not finish: $(drive status)"
cmp -s "$program" "$served" || fail "the program file differs from the mirror's"
[ -z "$(partial_files)" ] || fail "partial files stayed: $(partial_files)"
drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"

# --- A replacement killed midway keeps the old program; removal takes both.
mirror_start 16k
accept_and_choose_koordynator
kill_midway replace
[ "$(partial_files)" = "$partial" ] || fail "partial files after the second kill: $(partial_files)"
cmp -s "$program" "$served" || fail "the killed replacement touched the installed program"
mirror_start
accept_and_choose_koordynator
wait_for 10 control_is "Usunięcie instalacji" "enabled=1 checked=0 visible=1" || fail "removal not offered"
# Removal works on the install folder that the last component step set, so
# fetch the engine installer first (it goes too).
drive click "Paradox (BDE)" >/dev/null
wait_for 10 control_is "Silnik bazy danych (BDE)" "enabled=1 checked=0 visible=1" || fail "engine button disabled"
drive click "Silnik bazy danych (BDE)" >/dev/null
wait_for 30 test -s "$c_drive/OR-Vel/Sterowniki/BDE/setup.exe" || fail "the engine installer was not fetched"
wait_for 10 status_is "" || fail "the engine download did not end"
drive click "Usunięcie instalacji" >/dev/null
wait_for 10 control_is "Usunięcie instalacji" "enabled=0 checked=0 visible=1" || fail "removal stayed offered"
[ ! -e "$program" ] || fail "program file not removed"
[ ! -e "$partial" ] || fail "partial file not removed"
[ ! -e "$c_drive/OR-Vel" ] || fail "the install folder stayed: $(ls -A "$c_drive/OR-Vel")"
shot removed
drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "killed download: ok"
