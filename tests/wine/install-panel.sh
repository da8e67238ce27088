#!/usr/bin/env bash
# By real clicks: accept the licence, the cursor glides onto the edition
# choice, choose "Koordynator"; the status line and the enabled states follow
# the choice; "<< Wstecz" returns to the licence page; declining leaves the
# install button disabled.
set -u
build_dir=$1
source "$(dirname "$0")/../../tools/wine/env.sh" "$build_dir"
JOURNEY_NAME=install-panel
source "$(dirname "$0")/journey-lib.sh"
trap 'wine_stop; kanvel_xvfb_stop' EXIT
wine_prepare
clean_installation_traces

start_and_wait_for_reveal
xdotool click 1   # the cursor rests on "Akceptuję"
edition_x=$(( WX + 14 + 50 )); edition_y=$(( WY + 34 + 77 + 45 ))
wait_for 30 mouse_at "$edition_x" "$edition_y" || fail "the cursor did not glide onto the edition choice"
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

drive click "<< Wstecz" >/dev/null
wait_for 10 status_is "Warunki licencji" || fail "did not return to the licence page"
expect_state "Akceptuję" "enabled=1 checked=0 visible=1"
shot back

xdotool mousemove $(( WX + 8 + 30 )) $(( WY + 32 + 246 + 37 + 28 )) click 1   # "Nie akceptuję"
wait_for 10 status_is "Nie zaakceptowano warunków licencji" || fail "declining: $(drive status)"
expect_state "Instaluj" "enabled=0 checked=0 visible=1"
expect_state "Skrót na Pulpicie" "enabled=0 checked=1 visible=1"
expect_state "Paradox (BDE)" "enabled=0 checked=0 visible=1"
shot declined

drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "install panel: ok"
