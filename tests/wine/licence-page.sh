#!/usr/bin/env bash
# After the reveal the list holds the agreement from its first line, nothing
# selected, the cursor rests on "Akceptuję" and the choice is enabled.
# A notice closes on Enter, on Escape and on a click of its button.
set -u
build_dir=$1
source "$(dirname "$0")/../../tools/wine/env.sh" "$build_dir"
JOURNEY_NAME=licence
source "$(dirname "$0")/journey-lib.sh"
trap 'wine_stop; kanvel_xvfb_stop' EXIT
wine_prepare
clean_installation_traces
# The old default folder makes every acceptance show a notice.
mkdir -p "$(wine_c_drive)/Velmarin/Kanvel"
trap 'rm -rf "$(wine_c_drive)/Velmarin"; wine_stop; kanvel_xvfb_stop' EXIT

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
  xdotool mousemove $(( WX + 8 + 30 )) $(( WY + 32 + 246 + 37 )) click 1
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
read -r nx ny nw nh < <(window_geometry "$NOTICE")
[ "$nw" = 471 ] || fail "notice is $nw px wide, not 471"
xdotool mousemove $(( nx + 3 + 190 + 40 )) $(( ny + nh - 3 - 40 + 13 )) click 1
wait_for 10 window_gone "Uwaga!" || fail "a click on Ok did not close the notice"

drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "licence page: ok"
