#!/usr/bin/env bash
# A user who does not sit still, against a mirror that sends slowly. Another
# edition clicked while the program file arrives changes nothing: the choice
# is disabled meanwhile, and the file stored is the mirror's file of its
# name. "Zamknij" in the middle of a download ends the program at once: no
# partial file, no program file, no shortcut, a line in the message log.
# Usage: busy-user.sh BUILD_DIR BASE_URL
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin busy-user mirror-tree "$@"
c_drive=$(wine_c_drive)
served="$KANVEL_BUILD_DIR/mirror/root/programy/wersja7/poprawki"
message_log="$KANVEL_BUILD_DIR/Komunikaty.err"
log_lines_before=$(cat "$message_log" 2>/dev/null | wc -l)

arriving() { [ -s "$c_drive/OR-Vel/$1.part" ]; }
partial_files() { find "$c_drive/OR-Vel" -name '*.part'; }

# --- Koordynator's program arrives slowly; a click on Administrator meanwhile does nothing.
mirror_start 16k
accept_and_choose_koordynator
drive click "Instaluj" >/dev/null
wait_for 30 arriving Edytor3.exe || fail "the program file's download did not start"
expect_state "Administrator" "enabled=0 checked=0 visible=1"
expect_state "<< Wstecz" "enabled=0 checked=0 visible=1"
click_on "Administrator"
shot edition-clicked
expect_status "Pobranie pliku: Edytor3.exe"
wait_for 120 status_is "Instalacja zakończona pomyślnie" || fail "install did not finish: $(drive status)"
for program in "$c_drive"/OR-Vel/Edytor*.exe; do
  cmp -s "$program" "$served/$(basename "$program" .exe)._exe" || fail "$(basename "$program") is not the mirror's file"
done
[ ! -e "$c_drive/OR-Vel/Edytor2.exe" ] || fail "Administrator's program was stored"
expect_state "Administrator" "enabled=1 checked=0 visible=1"

# --- Administrator's program: "Zamknij" while it arrives.
drive click "<< Wstecz" >/dev/null
click_on "Administrator"
wait_for 10 status_is "Instalacja programu Kanvel Administrator 7.0" || fail "Administrator not chosen"
drive click "Instaluj" >/dev/null
wait_for 30 arriving Edytor2.exe || fail "Administrator's download did not start"
shot closing
drive click "Zamknij" >/dev/null
clicked=$(date +%s%N)
journey_finish 30 || fail "exit code $?"
echo "the installer ended within $(( ($(date +%s%N) - clicked) / 1000000 )) ms of the click on \"Zamknij\""
[ -z "$(partial_files)" ] || fail "partial files stayed: $(partial_files)"
[ ! -e "$c_drive/OR-Vel/Edytor2.exe" ] || fail "a program file came from a broken-off download"
[ ! -e "$(wine_desktop_dir)/Administrator 7.lnk" ] || fail "a shortcut was written after the break"
tail -n +"$(( log_lines_before + 1 ))" "$message_log" | tr -d '\r' | grep -q "^Instalacja przerwana: Instalator zamkni" ||
  fail "the message log has no line for the broken-off install"
echo "busy user: ok"
