#!/usr/bin/env bash
# An engine installer that Windows cannot start (here a file that is not a
# program, picked by the user with no download server): the installer names
# it in a notice that the message log keeps, goes on with the program step,
# and the window run ends with 15, as for a prompt for an administrator's
# consent answered "No" (Wine has no such prompt: that answer is shown by the
# native tests on the test platform).
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin engine-not-started plain "$@"   # no mirror runs
c_drive=$(wine_c_drive)
message_log="$KANVEL_BUILD_DIR/Komunikaty.err"
rm -f "$message_log"
on_journey_end 'rm -rf "$c_drive/pobrane"; rm -f "$message_log"'
mkdir -p "$c_drive/pobrane"
printf 'not a program\r\n' > "$c_drive/pobrane/setup._exe"

accept_and_choose_koordynator
install_engine_that_cannot_start   # "Nie udało się uruchomić instalatora silnika bazy danych."
grep -aq 'Sterowniki\\BDE\\setup.exe' "$message_log" 2>/dev/null \
  || fail "the message log does not name the engine installer that did not start"

answer "Instalator" program-connection-failure
answer "Uwaga!" download-required
expect_state "Paradox (BDE)" "enabled=1 checked=0 visible=1"
drive click "Zamknij" >/dev/null
journey_finish 30
code=$?
[ "$code" -eq 15 ] || fail "exit code $code, not 15"
echo "engine not started: ok"
