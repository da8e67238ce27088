#!/usr/bin/env bash
# The installer starts with one borderless, round-cornered window centred on
# the screen, follows a mouse drag on its header, and ends with exit code 0
# when "Zamknij" is clicked.
set -u
build_dir=$1
source "$(dirname "$0")/../../tools/wine/env.sh" "$build_dir"
JOURNEY_NAME=startup
source "$(dirname "$0")/journey-lib.sh"
trap 'wine_stop; kanvel_xvfb_stop' EXIT
wine_prepare

journey_start "$build_dir/Instalator.exe"
wid=$(window_id "Warunki licencji") || fail "no installer window appeared"
read -r x y w h < <(window_geometry "$wid")
[ "$w" = 730 ] && [ "$h" = 360 ] || fail "window is ${w}x${h}, not 730x360"
eval "$(xdotool getdisplaygeometry --shell)"
[ "$x" = $(( (WIDTH - 730) / 2 )) ] && [ "$y" = $(( (HEIGHT - 360) / 2 )) ] || fail "window at $x,$y is not centred"

# The reveal ends with the cursor on "Akceptuję": wait for it before using the window.
wait_for 60 mouse_at $(( x + 8 + 30 )) $(( y + 32 + 246 + 37 )) || fail "the licence reveal did not end"
wait_for 20 control_is "Akceptuję" "enabled=1 checked=0 visible=1" || fail "the licence choice stayed disabled"
shot shaped
desktop=$(pixel 0 0)
[ "$(pixel "$x" "$y")" = "$desktop" ] || fail "top-left corner is not cut away"
[ "$(pixel $(( x + w - 1 )) $(( y + h - 1 )))" = "$desktop" ] || fail "bottom-right corner is not cut away"
[ "$(pixel $(( x + w / 2 )) $(( y + h - 5 )))" != "$desktop" ] || fail "the window's face is missing"

# Drag by the header strip, 100 px right and 60 px down.
xdotool mousemove $(( x + 400 )) $(( y + 12 )) mousedown 1
for step in 1 2 3 4 5; do xdotool mousemove $(( x + 400 + step * 20 )) $(( y + 12 + step * 12 )); sleep 0.1; done
xdotool mouseup 1
window_at() { read -r gx gy _ _ < <(window_geometry "$wid"); [ "$gx" = "$1" ] && [ "$gy" = "$2" ]; }
wait_for 10 window_at $(( x + 100 )) $(( y + 60 )) \
  || fail "drag moved the window to $(window_geometry "$wid"), not $(( x + 100 )),$(( y + 60 ))"
nx=$(( x + 100 )); ny=$(( y + 60 ))
shot dragged

# A right-button drag does not move it.
# (Checked after a left click on a button below has been handled, so the
# right-button events have surely been seen by then.)
xdotool mousemove $(( nx + 400 )) $(( ny + 12 )) mousedown 3 mousemove $(( nx + 450 )) $(( ny + 40 )) mouseup 3
xdotool mousemove $(( nx + 8 + 30 )) $(( ny + 32 + 246 + 37 + 28 )) click 1   # "Nie akceptuję"
wait_for 10 status_is "Nie zaakceptowano warunków licencji" || fail "no answer to a click after the right-button drag"
window_at "$nx" "$ny" || fail "a right-button drag moved the window"

# "Zamknij" (of the install panel now) ends the program.
xdotool mousemove $(( nx + 634 + 40 )) $(( ny + 34 + 289 + 15 )) click 1
journey_finish 30
code=$?
[ "$code" = 0 ] || fail "exit code $code"
echo "startup window: ok"
