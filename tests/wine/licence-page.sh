#!/usr/bin/env bash
# After the reveal the list holds the agreement from its first line, nothing
# selected, the cursor rests on "Akceptuję" and the choice is enabled.
# A notice closes on Enter, on Escape and on a click of its button.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin licence old-default-folder "$@"   # every acceptance shows a notice

start_and_wait_for_reveal
shot revealed
[ "$(drive list)" = "count=222 top=0 selected=-1 first=UMOWA LICENCYJNA NA OPROGRAMOWANIE" ] \
  || fail "licence list after the reveal: $(drive list)"
[ "$(drive focus)" = "ListBox:" ] || fail "focus after the reveal: $(drive focus)"
expect_state "Akceptuję" "enabled=1 checked=0 visible=1"
expect_state "Nie akceptuję" "enabled=1 checked=0 visible=1"
expect_status "Warunki licencji"

notice_text="Zmiana domyślnego folderu instalacji na: C:\\OR-Vel."
accept_and_expect_notice() {
  click_on "Akceptuję"
  wait_for 20 xdotool search --name '^Uwaga!$' || fail "no notice after accepting ($1)"
  NOTICE=$(xdotool search --name '^Uwaga!$' | head -n 1)
  shot "notice-$1"
}
back_to_licence() {
  drive click "<< Wstecz" >/dev/null || fail "no way back"
  wait_for 20 status_is "Warunki licencji" || fail "did not return to the licence page"
}

accept_and_expect_notice enter
xdotool key --window "$NOTICE" Return 2>/dev/null
wait_for 10 window_gone "Uwaga!" || fail "Enter did not close the notice"
back_to_licence

accept_and_expect_notice escape
xdotool key --window "$NOTICE" Escape 2>/dev/null
wait_for 10 window_gone "Uwaga!" || fail "Escape did not close the notice"
back_to_licence

accept_and_expect_notice click
read -r _ _ nw _ < <(window_geometry "$NOTICE")
[ "$nw" = 471 ] || fail "notice is $nw px wide, not 471"
click_on "Ok"
wait_for 10 window_gone "Uwaga!" || fail "a click on Ok did not close the notice"

drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "licence page: ok"
