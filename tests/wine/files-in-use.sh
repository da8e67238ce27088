#!/usr/bin/env bash
# A silent re-install while the installed program runs: the installer finds
# the program file in use before it asks the mirror for any file (the signed
# release list alone comes first: the release it names decides whether this
# run may replace the installed one), ends with
# 14 (winget's "package in use"), names the file in its log and leaves the
# file as it was; once the program is closed the same command installs.
# Wine's Restart Manager names no program, so the log names the file alone,
# found by the trial open for writing and deletion.
# Usage: files-in-use.sh BUILD_DIR BASE_URL
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin files-in-use mirror "$@"
c_drive=$(wine_c_drive)
program="$c_drive/OR-Vel/Edytor2.exe"
served="$KANVEL_BUILD_DIR/mirror/root/programy/wersja7/poprawki/Edytor2._exe"
run_log="$c_drive/w-uzyciu.log"
access_log="$KANVEL_BUILD_DIR/mirror/logs/access.log"
title='Kanvel Administrator 7.0 (wersja demonstracyjna)'
title_pattern='Kanvel Administrator 7\.0 \(wersja demonstracyjna\)'
on_journey_end 'rm -f "$run_log"'

silent_install() {
  timeout -k 10 180 wine "$KANVEL_INSTALLER_EXE" /SILENT /ACCEPTLICENCE /EDITION=Administrator \
    '/LOG=C:\w-uzyciu.log' >/dev/null 2>&1
}
# The run's log without its byte-order mark and line ends.
log_text() { tail -c +4 "$run_log" | tr -d '\r'; }
# The mirror's requests for files other than the release list and its signature.
requests() { grep -v -c 'GET /Kanvel-pliki\.txt' "$access_log" 2>/dev/null || true; }

silent_install; rc=$?
[ "$rc" = 0 ] || fail "first install: exit code $rc; $(log_text | tail -n 3)"
cmp -s "$program" "$served" || fail "the first install did not put the mirror's program in place"

# The installed program runs: Windows (and Wine) keep its file from being written or deleted.
wine "$program" >/dev/null 2>&1 &
wait_for 60 xdotool search --name "^$title_pattern\$" || fail "the installed program did not start"
shot program-running
before_requests=$(requests)
before_file=$(stat -c '%Y %s' "$program")
rm -f "$run_log"
started=$(date +%s)
silent_install; rc=$?
[ "$rc" = 14 ] || fail "re-install while the program runs: exit code $rc, expected 14; $(log_text | tail -n 3)"
echo "re-install with the program running ended with 14 after $(( $(date +%s) - started )) s"
[ "$(requests)" = "$before_requests" ] ||
  fail "the mirror was asked for a file: $(tail -n 3 "$access_log")"
log_text | grep -qF '[Instalacja bez okna] plik używany przez inny program: C:\OR-Vel\Edytor2.exe' ||
  fail "the log does not name the program file: $(log_text | tail -n 3)"
log_text | grep -q 'kod wyjścia 14: pliki instalacji są używane przez inne programy' || fail "no exit-code line for 14"
[ "$(stat -c '%Y %s' "$program")" = "$before_file" ] || fail "the program file was changed"
cmp -s "$program" "$served" || fail "the program file is not the one installed"
[ ! -e "$c_drive/OR-Vel/Edytor2.exe.part" ] || fail "a partial file was begun"

# With the window: "Instaluj" shows the file in use with "Ponów" and "Anuluj";
# "Anuluj" ends the click with nothing fetched.
accept_and_choose_koordynator
drive click "Administrator" >/dev/null
wait_for 10 status_is "Instalacja programu Kanvel Administrator 7.0" || fail "Administrator not chosen: $(drive status)"
in_use_window() { drive names "$in_use_title"; }
in_use_title='Pliki w użyciu'
drive click "Instaluj" >/dev/null
wait_for 60 in_use_window || fail "no window of files in use after \"Instaluj\""
shot in-use-window
names=$(in_use_window)
echo "$names"
for expected in 'Zamknij programy, które używają plików instalacji:' 'C:\OR-Vel\Edytor2.exe' 'Ponów' 'Anuluj'; do
  grep -qF "$expected" <<<"$names" || fail "the window of files in use does not show \"$expected\""
done
drive click "Anuluj" >/dev/null
not_in_use_window() { ! in_use_window >/dev/null; }
wait_for 10 not_in_use_window || fail "\"Anuluj\" did not close the window"
[ "$(requests)" = "$before_requests" ] || fail "the window's run asked the mirror: $(tail -n 3 "$access_log")"
cmp -s "$program" "$served" || fail "the window's run changed the program file"
# Asked again, with the program closed meanwhile: "Ponów" goes on and installs.
drive click "Instaluj" >/dev/null
wait_for 60 in_use_window || fail "no window of files in use after the second \"Instaluj\""
drive close "$title" >/dev/null
wait_for 30 window_gone "$title_pattern" || fail "the program did not close"
program_ended() { ! pgrep -f 'OR-Vel.Edytor2\.exe' >/dev/null; }
wait_for 30 program_ended || fail "the program's process stayed"
drive click "Ponów" >/dev/null
answer_warning replace-notice
wait_for 120 status_is "Instalacja zakończona pomyślnie" || fail "\"Ponów\" did not go on: $(drive status)"
[ "$(requests)" -gt "$before_requests" ] || fail "the install after \"Ponów\" asked the mirror for nothing"
drive click "Zamknij" >/dev/null
journey_finish 30 || fail "window run: exit code $?"
before_requests=$(requests)

# The program runs again; closed, the same silent command installs, asking the mirror.
wine "$program" >/dev/null 2>&1 &
wait_for 60 xdotool search --name "^$title_pattern\$" || fail "the installed program did not start again"
rm -f "$run_log"
silent_install; rc=$?
[ "$rc" = 14 ] || fail "second silent re-install while the program runs: exit code $rc, expected 14"
[ "$(requests)" = "$before_requests" ] || fail "the second silent run asked the mirror"
drive close "$title" >/dev/null
wait_for 30 window_gone "$title_pattern" || fail "the program did not close"
wait_for 30 program_ended || fail "the program's process stayed"
rm -f "$run_log"
silent_install; rc=$?
[ "$rc" = 0 ] || fail "re-install after the program closed: exit code $rc; $(log_text | tail -n 3)"
[ "$(requests)" -gt "$before_requests" ] || fail "the re-install after closing asked the mirror for nothing"
echo "files in use: ok"
