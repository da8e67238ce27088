#!/usr/bin/env bash
# The tables are requested several at a time, from a mirror that lacks one in
# the middle of the data set. When its message shows, the tables before it
# are stored, none after it, and no partial file is left: those fetched ahead
# were given up. The run then goes on one file at a time, as it always has:
# afterwards the pristine folder holds every other table, each the mirror's
# own, and still no partial file.
# Usage: tables-side-by-side.sh BUILD_DIR BASE_URL
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin tables-side-by-side mirror-tree "$@"
c_drive=$(wine_c_drive)
served="$KANVEL_BUILD_DIR/mirror/root/programy/wersja7/bkp6"
pristine="$c_drive/OR-Vel/Format/Bkp6"
access_log="$KANVEL_BUILD_DIR/mirror/logs/access.log"
missing=baza12.px
# The data set in the order it is fetched: the missing table is the 14th.
data_set=(baza1.db baza2.db baza3.db baza4.db baza5.db baza11.db baza12.db baza1.px baza2.px baza3.px baza4.px
  baza5.px baza11.px baza12.px baza2.val baza3.val baza4.val baza31.db baza41.db baza42.db baza41.px baza42.px)
rm "$served/$missing"
mirror_start
log_start=$(( $(cat "$access_log" 2>/dev/null | wc -l) + 1 ))
partial_files() { find "$c_drive/OR-Vel" -name '*.part'; }

accept_and_choose_koordynator
drive click "Baza danych 3.0 - 7.0" >/dev/null
wait_for 10 control_is "Pliki bazy danych (FORMAT)" "enabled=1 checked=0 visible=1" || fail "database button stayed disabled"
drive click "Pliki bazy danych (FORMAT)" >/dev/null
wait_for 60 xdotool search --name "^Instalator\$" || fail "no message for the missing table"
shot missing-table-message
stored=$(ls "$pristine")
for name in "${data_set[@]:0:13}"; do
  grep -qx "$name" <<<"$stored" || fail "$name, before the missing table, was not stored: $stored"
done
[ "$(wc -l <<<"$stored")" = 13 ] || fail "tables after the missing one were stored: $stored"
[ -z "$(partial_files)" ] || fail "partial files stayed at the message: $(partial_files)"
ahead=$(tail -n +"$log_start" "$access_log" | grep -c -E "/bkp6/($(IFS='|'; echo "${data_set[*]:14}")|config|zestaw)")
echo "tables after the missing one requested ahead before its message: $ahead"

answer "Instalator" missing-table-answered
answer "Problem zewnętrzny!" data-set-incomplete
for name in $(grep -v -x "$missing" "$KANVEL_SOURCE_DIR/tools/mirror/tables.txt" | grep -v '^#' | grep .); do
  cmp -s "$pristine/$name" "$served/$name" || fail "$name is not the mirror's table"
done
[ "$(ls "$pristine" | wc -l)" = 72 ] || fail "the pristine folder does not hold the 72 other tables"
[ -z "$(partial_files)" ] || fail "partial files stayed: $(partial_files)"
drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "tables side by side: ok"
