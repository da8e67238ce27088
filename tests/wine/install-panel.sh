#!/usr/bin/env bash
# By real clicks: accept the licence, the cursor glides onto the edition
# choice, choose "Koordynator"; the status line and the enabled states follow
# the choice; with nothing ticked "Instaluj" shows a notice the window owns;
# "<< Wstecz" returns to the licence page; declining leaves the install button
# disabled.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin install-panel plain "$@"

start_and_wait_for_reveal
xdotool click 1   # the cursor rests on "Akceptuję"
wait_for 30 cursor_on "Koordynator" || fail "the cursor did not glide onto the edition choice"
expect_status "Wybierz wersję instalacji"
expect_state "Instaluj" "enabled=0 checked=0 visible=1"
expect_state "Paradox (BDE)" "enabled=1 checked=0 visible=1"
expect_state "Skrót na Pulpicie" "enabled=1 checked=1 visible=1"
shot accepted

xdotool click 1   # the cursor rests on "Koordynator"
wait_for 10 status_is "Instalacja programu Kanvel Koordynator 7.0" \
  || fail "status line after choosing: $(drive status)"
expect_same_after_full_repaint edition-chosen
expect_state "Koordynator" "enabled=1 checked=1 visible=1"
expect_state "Instaluj" "enabled=1 checked=0 visible=1"
expect_state "Edytor Bazy Danych" "enabled=1 checked=0 visible=1"
expect_state "Zmiana folderu instalacji   >>" "enabled=1 checked=0 visible=1"
expect_state "Silnik bazy danych (BDE)" "enabled=0 checked=0 visible=1"
expect_state "Usunięcie instalacji" "enabled=0 checked=0 visible=1"
[ "$(drive focus)" = "Button:Instaluj" ] || fail "focus after choosing: $(drive focus)"
shot koordynator

# With nothing ticked "Instaluj" answers with a system message box, owned by
# the window: no taskbar button of its own, never hidden behind the window.
drive click "Plik programu" >/dev/null
wait_for 10 control_is "Plik programu" "enabled=1 checked=0 visible=1" || fail "the program box stayed ticked"
drive click "Instaluj" >/dev/null
wait_for 30 xdotool search --name '^Uwaga!$' || fail "no notice with nothing ticked"
main_title=$(xdotool getwindowname "$WID")
drive windows Instalator.exe | grep -qxF "visible=1 title=Uwaga! owner=$main_title" \
  || fail "the notice is not owned by \"$main_title\": $(drive windows Instalator.exe | grep Uwaga)"
answer_warning nothing-ticked
drive click "Plik programu" >/dev/null
wait_for 10 control_is "Plik programu" "enabled=1 checked=1 visible=1" || fail "the program box was not ticked again"

drive click "<< Wstecz" >/dev/null
wait_for 10 status_is "Warunki licencji" || fail "did not return to the licence page"
expect_state "Akceptuję" "enabled=1 checked=0 visible=1"
shot back

click_on "Nie akceptuję"
wait_for 10 status_is "Nie zaakceptowano warunków licencji" || fail "declining: $(drive status)"
expect_state "Instaluj" "enabled=0 checked=0 visible=1"
expect_state "Skrót na Pulpicie" "enabled=0 checked=1 visible=1"
expect_state "Paradox (BDE)" "enabled=0 checked=0 visible=1"
shot declined

drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "install panel: ok"
