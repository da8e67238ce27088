#!/usr/bin/env bash
# The installer starts with one borderless, round-cornered window of 730 x 360
# centred on the screen, follows a mouse drag on its header, and ends with exit
# code 0 when "Zamknij" is clicked.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin startup plain "$@"

# The reveal ends with the cursor on "Akceptuję": wait for it before using the window.
start_and_wait_for_reveal
expect_centred_window "$WID" 730 360
read -r x y w h < <(window_geometry "$WID")
shot shaped
desktop=$(pixel 0 0)
[ "$(pixel "$x" "$y")" = "$desktop" ] || fail "top-left corner is not cut away"
[ "$(pixel $(( x + w - 1 )) $(( y + h - 1 )))" = "$desktop" ] || fail "bottom-right corner is not cut away"
[ "$(pixel $(( x + w / 2 )) $(( y + h - 5 )))" != "$desktop" ] || fail "the window's face is missing"

# Drag by the header strip (where the status line is), 100 px right and 60 px down.
read -r hx hy < <(centre_of "Warunki licencji")
# Each step waits until the pointer stands where it was sent, so that the
# window sees every move of the drag in turn.
pointer_at() { [ "$(xdotool getmouselocation --shell | sed -nE 's/^[XY]=//p' | paste -sd' ')" = "$1 $2" ]; }
xdotool mousemove "$hx" "$hy" mousedown 1
for step in 1 2 3 4 5; do
  xdotool mousemove $(( hx + step * 20 )) $(( hy + step * 12 ))
  wait_for 5 pointer_at $(( hx + step * 20 )) $(( hy + step * 12 )) || fail "the pointer did not reach drag step $step"
done
xdotool mouseup 1
window_at() { read -r gx gy _ _ < <(window_geometry "$WID"); [ "$gx" = "$1" ] && [ "$gy" = "$2" ]; }
wait_for 10 window_at $(( x + 100 )) $(( y + 60 )) \
  || fail "drag moved the window to $(window_geometry "$WID"), not $(( x + 100 )),$(( y + 60 ))"
nx=$(( x + 100 )); ny=$(( y + 60 ))
shot dragged

# A right-button drag does not move it.
# (Checked after a left click on a button below has been handled, so the
# right-button events have surely been seen by then.)
read -r hx hy < <(centre_of "Warunki licencji")
xdotool mousemove "$hx" "$hy" mousedown 3 mousemove $(( hx + 50 )) $(( hy + 28 )) mouseup 3
click_on "Nie akceptuję"
wait_for 10 status_is "Nie zaakceptowano warunków licencji" || fail "no answer to a click after the right-button drag"
window_at "$nx" "$ny" || fail "a right-button drag moved the window"

# "Zamknij" (of the install panel now) ends the program.
click_on "Zamknij"
journey_finish 30
code=$?
[ "$code" = 0 ] || fail "exit code $code"
echo "startup window: ok"
