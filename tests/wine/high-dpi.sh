#!/usr/bin/env bash
# At 144 DPI (150 %) the window is the designed layout scaled by 1.5: 1095 x 540,
# centred, every control at its scaled place, the glides ending on the scaled
# "Akceptuję" and edition choice, the notice scaled and centred. Runs in a prefix of its own whose screen is
# set to that DPI, so the journeys at 96 DPI are not touched. KANVEL_TEST_DPI
# picks another density (the screen must be large enough for the window).
set -u
build_dir=$1
source "$(dirname "$0")/../../tools/wine/env.sh" "$build_dir"
dpi=${KANVEL_TEST_DPI:-144}
export WINEPREFIX="$KANVEL_WINE_ROOT/prefix-${dpi}dpi"
JOURNEY_NAME=dpi$dpi
source "$(dirname "$0")/journey-lib.sh"
trap 'wine_stop; kanvel_xvfb_stop' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wine_prepare
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
  wineserver -w
fi
clean_installation_traces
# The old default folder makes the acceptance show a notice.
mkdir -p "$(wine_c_drive)/Velmarin/Kanvel"
trap 'rm -rf "$(wine_c_drive)/Velmarin"; wine_stop; kanvel_xvfb_stop' EXIT

# A designed length at this DPI, rounded half away from zero.
s() { echo $(( ($1 * dpi + 48) / 96 )); }
# expect_rect TEXT X Y W H: the control's place inside the window.
expect_rect() {
  local got
  got=$(drive rect "$1") || fail "no control \"$1\""
  [ "$got" = "$2 $3 $4 $5" ] || fail "\"$1\" is at $got, expected $2 $3 $4 $5"
}

journey_start "$KANVEL_BUILD_DIR/Instalator.exe"
WID=$(window_id "Warunki licencji") || fail "no installer window appeared"
expect_centred_window "$WID" "$(s 730)" "$(s 360)"   # 1095 x 540 at 144 DPI
read -r WX WY W H < <(window_geometry "$WID")

wait_for 60 mouse_at $(( WX + $(s $(( 8 + 30 ))) )) $(( WY + $(s $(( 32 + 246 + 37 ))) )) \
  || fail "the reveal's glide did not end on the scaled \"Akceptuję\""
wait_for 20 control_is "Akceptuję" "enabled=1 checked=0 visible=1" || fail "the licence choice stayed disabled"
shot licence
# Children of the licence page (at 0, 32) sit at their scaled places in it.
page=$(s 32)
expect_rect "Zamknij" $(s 655) $(( page + $(s 295) )) $(( $(s 720) - $(s 655) )) $(( $(s 320) - $(s 295) ))
expect_rect "Wybór:" $(s 15) $(( page + $(s 245) )) $(( $(s 57) - $(s 15) )) $(( $(s 261) - $(s 245) ))
expect_rect "Warunki licencji" $(s 31) $(s 4) $(( $(s 591) - $(s 31) )) $(( $(s 27) - $(s 4) ))
desktop=$(pixel 0 0)
[ "$(pixel "$WX" "$WY")" = "$desktop" ] || fail "the top-left corner is not cut away"
[ "$(pixel $(( WX + 6 )) $(( WY + 6 )))" = "$desktop" ] || fail "the corner is not rounded at the scaled radius"
[ "$(pixel $(( WX + W / 2 )) $(( WY + H - 5 )))" != "$desktop" ] || fail "the window's face is missing"

xdotool click 1
# The notice: centred on the window in screen pixels by its designed size
# 471 x 114, 15 designed pixels lower, then laid out for one line of text
# (471 x 109 designed) and scaled.
wait_for 20 xdotool search --name '^Uwaga!$' || fail "no notice after accepting"
NOTICE=$(xdotool search --name '^Uwaga!$' | head -n 1)
read -r nx ny nw nh < <(window_geometry "$NOTICE")
[ "$nw $nh" = "$(s 471) $(s 109)" ] || fail "the notice is ${nw}x${nh}, not $(s 471)x$(s 109)"
[ "$nx $ny" = "$(( WX + ($(s 730) - $(s 471)) / 2 )) $(( WY + ($(s 360) - $(s 114)) / 2 + $(s 15) ))" ] \
  || fail "the notice is at $nx,$ny"
shot notice
xdotool key --window "$NOTICE" Return 2>/dev/null
wait_for 10 window_gone "Uwaga!" || fail "the notice did not close"
wait_for 30 mouse_at $(( WX + $(s $(( 14 + 50 ))) )) $(( WY + $(s $(( 34 + 77 + 45 ))) )) \
  || fail "the acceptance's glide did not end on the scaled edition choice"
panel=$(s 34)
expect_rect "Instaluj" $(s 178) $(( panel + $(s 289) )) $(( $(s 365) - $(s 178) )) $(( $(s 319) - $(s 289) ))
expect_rect "C:" $(s 370) $(( panel + $(s 257) )) $(( $(s 603) - $(s 370) )) $(( $(s 283) - $(s 257) ))
expect_rect '\OR-Vel\' $(s 608) $(( panel + $(s 259) )) $(( $(s 708) - $(s 608) )) $(( $(s 281) - $(s 259) ))
xdotool click 1
wait_for 10 status_is "Instalacja programu Kanvel Koordynator 7.0" || fail "edition not chosen: $(drive status)"
shot panel

drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "$dpi DPI: ok"
