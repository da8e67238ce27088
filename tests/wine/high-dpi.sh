#!/usr/bin/env bash
# At 144 DPI (150 %) the window is its 96-DPI self scaled by 1.5: its size,
# centred; each control's place in its parent; where the glides end (on the
# scaled "Akceptuję" and edition choice); the notice's size and place; how deep
# the round corners cut. The same walk runs twice: first at 96 DPI in the
# journeys' usual prefix, noting what the window shows, then in a prefix of its
# own whose screen is set to the DPI, checking it shows that scaled (so the
# journeys at 96 DPI are not touched). KANVEL_TEST_DPI picks another density
# (the screen must be large enough for the window).
set -u
dpi=${KANVEL_TEST_DPI:-144}
source "$(dirname "$0")/journey-lib.sh"
journey_begin "dpi$dpi" old-default-folder "$@"   # the acceptance shows a notice

# A length at 96 DPI at this DPI, rounded half away from zero.
s() { echo $(( ($1 * dpi + 48) / 96 )); }
# scaled_place "X Y W H": a place at 96 DPI at this DPI; its edges are scaled,
# so neighbours that meet still meet.
scaled_place() {
  local x y w h
  read -r x y w h <<<"$1"
  echo "$(s "$x") $(s "$y") $(( $(s $(( x + w ))) - $(s "$x") )) $(( $(s $(( y + h ))) - $(s "$y") ))"
}
# scaled WHAT "VALUE": VALUE as seen at 96 DPI, at this DPI. "places" values
# are places joined by "|"; any other value is lengths.
scaled() {
  local part parts=() n lengths=()
  if [ "${1%% *}" = places ]; then
    IFS='|' read -r -a parts <<<"$2"
    for part in "${parts[@]}"; do lengths+=("$(scaled_place "$part")"); done
    (IFS='|'; echo "${lengths[*]}")
  else
    for n in $2; do lengths+=("$(s "$n")"); done
    echo "${lengths[*]}"
  fi
}

declare -A at96
# seen WHAT VALUE: the walk at 96 DPI notes what the window shows; the walk at
# the journey's DPI checks that the window shows it scaled.
seen() {
  if [ "$walking" = noting ]; then at96[$1]=$2; return; fi
  local expected
  expected=$(scaled "$1" "${at96[$1]}")
  [ "$2" = "$expected" ] || fail "$1 at $dpi DPI: $2, expected $expected (at 96 DPI: ${at96[$1]})"
}
# seen_near WHAT LENGTH: like seen, within one pixel of the scaled length
# (for lengths whose 96-DPI parts the window does not show one by one).
seen_near() {
  if [ "$walking" = noting ]; then at96[$1]=$2; return; fi
  local expected
  expected=$(s "${at96[$1]}")
  [ "$2" -ge $(( expected - 1 )) ] && [ "$2" -le $(( expected + 1 )) ] \
    || fail "$1 at $dpi DPI: $2, expected $expected ± 1 (at 96 DPI: ${at96[$1]})"
}

places_of() { drive places "$1" | paste -s -d '|'; }

# How many pixels along the diagonal from the window's top-left corner the
# round corner cuts away (they show the desktop), in the last screenshot.
corner_cut() {
  local depth=0 desktop
  desktop=$(pixel 0 0)
  while [ "$depth" -lt 100 ] && [ "$(pixel $(( $1 + depth )) $(( $2 + depth )))" = "$desktop" ]; do
    depth=$(( depth + 1 ))
  done
  echo "$depth"
}

# walk noting|checking: the licence page after the reveal, the notice after
# accepting, the install panel after the glide onto the editions.
walk() {
  walking=$1
  local wx wy w h px py depth nx ny nw nh notice control at=${dpi}dpi
  [ "$walking" = checking ] || at=96dpi
  start_and_wait_for_reveal   # the glide ends on "Akceptuję"
  shot "licence-$at"
  read -r wx wy w h < <(window_geometry "$WID")
  expect_centred "$WID"
  seen "window size" "$w $h"
  read -r px py < <(pointer)
  seen "the reveal's glide end in the window" "$(( px - wx )) $(( py - wy ))"
  [ "$(pixel $(( wx + w / 2 )) $(( wy + h - 5 )))" != "$(pixel 0 0)" ] || fail "the window's face is missing"
  depth=$(corner_cut "$wx" "$wy")
  [ "$depth" -gt 0 ] || fail "the top-left corner is not cut away"
  seen_near "corner cut" "$depth"
  for control in "Zamknij" "Wybór:" "Warunki licencji"; do seen "places of $control" "$(places_of "$control")"; done

  xdotool click 1
  wait_for 20 xdotool search --name '^Uwaga!$' || fail "no notice after accepting"
  notice=$(xdotool search --name '^Uwaga!$' | head -n 1)
  read -r nx ny nw nh < <(window_geometry "$notice")
  seen "notice size" "$nw $nh"
  # Centred across the main window; vertically a little below its centre, by
  # lengths the notice does not show one by one.
  [ "$nx" = $(( wx + (w - nw) / 2 )) ] || fail "the notice at x=$nx is not centred on the window"
  seen_near "notice top in the window" $(( ny - wy ))
  shot "notice-$at"
  xdotool key --window "$notice" Return 2>/dev/null
  wait_for 10 window_gone "Uwaga!" || fail "the notice did not close"

  wait_for 30 cursor_on "Koordynator" || fail "the acceptance's glide did not end on the edition choice"
  read -r px py < <(pointer)
  seen "the acceptance's glide end in the window" "$(( px - wx )) $(( py - wy ))"
  for control in "Instaluj" "C:" '\OR-Vel\'; do seen "places of $control" "$(places_of "$control")"; done
  xdotool click 1
  wait_for 10 status_is "Instalacja programu Kanvel Koordynator 7.0" || fail "edition not chosen: $(drive status)"
  shot "panel-$at"
  drive click "Zamknij" >/dev/null
  journey_finish 30 || fail "exit code $?"
}

walk noting   # at 96 DPI
wine_stop
clean_installation_traces

export WINEPREFIX="$KANVEL_WINE_ROOT/prefix-${dpi}dpi"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wine_prepare
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -w
fi
journey_prefix old-default-folder
walk checking
echo "$dpi DPI: ok"
