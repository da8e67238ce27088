#!/usr/bin/env bash
# A table held open by another program for two seconds, as a virus scanner
# holds a file just written, only delays the database step: a stand-in
# scanner (kanvel_hold_file) takes the first data table the moment the first
# statement table arrives, so that the copying of the tables into their
# working folders meets the hold. When it lets go the statement tables have
# been copied and the held table not yet (the installer was waiting on it);
# in the end every working table is the mirror's, with no notice shown.
# Usage: brief-lock.sh BUILD_DIR BASE_URL
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin brief-lock mirror "$@"
c_drive=$(wine_c_drive)
served="$KANVEL_BUILD_DIR/mirror/root/programy/wersja7/bkp6"
format="$c_drive/OR-Vel/Format"
holder_log="$KANVEL_WINE_ROOT/brief-lock-holder.txt"
holder="$KANVEL_BUILD_DIR/tests/wine/files/kanvel_hold_file.exe"
working_tables() { find "$format/Zestaw" "$format/Dbf6" "$format/Cfg" -type f 2>/dev/null | wc -l; }
table_count=$(grep -v '^#' "$KANVEL_SOURCE_DIR/tools/mirror/tables.txt" | grep -c .)
all_tables_copied() { [ "$(working_tables)" = "$table_count" ]; }

accept_and_choose_koordynator
drive click "Baza danych 3.0 - 7.0" >/dev/null
wait_for 10 control_is "Pliki bazy danych (FORMAT)" "enabled=1 checked=0 visible=1" || fail "database button stayed disabled"
wine "$holder" 'C:\OR-Vel\Format\Bkp6\zestaw1.db' 'C:\OR-Vel\Format\Bkp6\baza1.db' 2000 \
  'C:\OR-Vel\Format\Zestaw\zestaw5.px' 'C:\OR-Vel\Format\Dbf6\baza1.db' 2>/dev/null | tr -d '\r' >"$holder_log" &
holder_pid=$!
drive click "Pliki bazy danych (FORMAT)" >/dev/null
wait_for 120 grep -qx released "$holder_log" || fail "the holder did not finish: $(cat "$holder_log")"
wait "$holder_pid"
cat "$holder_log"
grep -q '^at release present: C:\\OR-Vel\\Format\\Zestaw\\zestaw5.px$' "$holder_log" ||
  fail "the statement tables were not yet copied when the hold ended: the copying never met it"
grep -q '^at release absent: C:\\OR-Vel\\Format\\Dbf6\\baza1.db$' "$holder_log" ||
  fail "the held table was copied while it was held"
wait_for 60 all_tables_copied || fail "$(working_tables) of $table_count tables copied"
wait_for 30 status_is "Pobranie bazy danych zakończone" || fail "the database step did not finish: $(drive status)"
shot database-done
window_gone "Problem zewnętrzny!" || fail "the held table ended the database step"
window_gone "Instalator" || fail "a message box appeared"
for name in $(grep -v '^#' "$KANVEL_SOURCE_DIR/tools/mirror/tables.txt" | grep .); do
  copy=$(find "$format/Zestaw" "$format/Dbf6" "$format/Cfg" -name "$name" | head -n 1)
  cmp -s "$copy" "$served/$name" || fail "$name is not the mirror's table in its working folder"
done
drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "brief lock: ok"
