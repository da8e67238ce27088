# Helpers for the end-to-end journeys on the real installer window under
# Wine and Xvfb. Source after tools/wine/env.sh.
#   journey_start EXE        start the installer in the background (sets INSTALLER_PID)
# KANVEL_INSTALLER_EXE, when set, is the installer the journey starts (by
# default the build's own Instalator.exe).
#   wait_for SECONDS CMD...  run CMD until it succeeds, at most SECONDS
#   window_id TITLE          the X window whose name is TITLE (waits for it)
#   window_geometry WID      prints "X Y W H"
#   shot NAME                screenshot of the whole screen, kept under the build folder
#   pixel X Y                colour of a screen pixel in the last screenshot, as srgb(r,g,b)
#   journey_finish           wait for the installer to end and return its exit code
#   fail MESSAGE             report and stop with failure
#   prepare_mirror_journey   prefix ready, no installation traces, the mirror's tree
#                            built; on exit the mirror stops and the traces go
#   answer_warning NAME      answer the next "Uwaga!" window with Enter (screenshot NAME)
#   accept_and_choose_koordynator  start, accept the licence, choose "Koordynator"

KANVEL_BUILD_DIR="${KANVEL_BUILD_DIR:-$(dirname "$KANVEL_WINE_ROOT")}"
KANVEL_SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
JOURNEY_SHOTS="${KANVEL_WINE_ROOT}/screenshots"
mkdir -p "$JOURNEY_SHOTS"
JOURNEY_NAME="${JOURNEY_NAME:-journey}"
LAST_SHOT=""

fail() {
  echo "FAIL: $*" >&2
  # The screen as it was, for whoever looks into the failure.
  [ -n "${DISPLAY:-}" ] && import -window root "$JOURNEY_SHOTS/${JOURNEY_NAME}-failure.png" 2>/dev/null &&
    echo "screen at the failure: $JOURNEY_SHOTS/${JOURNEY_NAME}-failure.png" >&2
  [ -n "${INSTALLER_PID:-}" ] && kill "$INSTALLER_PID" 2>/dev/null
  wine_stop
  exit 1
}

wait_for() {
  local seconds=$1; shift
  local deadline=$(( $(date +%s) + seconds ))
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}

journey_start() {
  wine "$1" >/dev/null 2>&1 &
  INSTALLER_PID=$!
}

window_id() {
  local wid=""
  # The first window in a new prefix once took over a minute to appear.
  local deadline=$(( $(date +%s) + 120 ))
  while [ -z "$wid" ]; do
    wid=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$wid" ] && break
    [ "$(date +%s)" -ge "$deadline" ] && return 1
    sleep 0.2
  done
  printf '%s\n' "$wid"
}

window_geometry() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  printf '%s %s %s %s\n' "$X" "$Y" "$WIDTH" "$HEIGHT"
}

shot() {
  LAST_SHOT="$JOURNEY_SHOTS/${JOURNEY_NAME}-$1.png"
  import -window root "$LAST_SHOT"
}

pixel() {
  convert "$LAST_SHOT" -format "%[pixel:p{$1,$2}]" info:
}

mouse_at() {
  eval "$(xdotool getmouselocation --shell)"
  [ "$X" = "$1" ] && [ "$Y" = "$2" ]
}

journey_finish() {
  local seconds=${1:-30}
  local deadline=$(( $(date +%s) + seconds ))
  while kill -0 "$INSTALLER_PID" 2>/dev/null; do
    [ "$(date +%s)" -ge "$deadline" ] && fail "the installer did not end within $seconds s"
    sleep 0.2
  done
  wait "$INSTALLER_PID"
}

# The Windows-side driver: reads and clicks the installer's controls.
drive() {
  wine "$KANVEL_BUILD_DIR/kanvel-driver.exe" "$@" 2>/dev/null | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# expect_state TEXT STATE: the control's "enabled=. checked=. visible=." line.
expect_state() {
  local got
  got=$(drive control "$1") || fail "no control \"$1\""
  [ "$got" = "$2" ] || fail "\"$1\": $got, expected $2"
}

# The status line at the top of the main window, read as a screen reader does.
expect_status() {
  local got
  got=$(drive status) || fail "no status line"
  [ "$got" = "$1" ] || fail "the status line reads \"$got\", expected \"$1\""
}

status_is() { [ "$(drive status)" = "$1" ]; }

window_gone() { [ -z "$(xdotool search --name "^$1\$" 2>/dev/null)" ]; }

# Starts the installer and waits until its licence reveal has ended (the
# cursor rests on "Akceptuję"); sets WID, WX, WY.
start_and_wait_for_reveal() {
  journey_start "${KANVEL_INSTALLER_EXE:-$KANVEL_BUILD_DIR/Instalator.exe}"
  WID=$(window_id "Warunki licencji") || fail "no installer window appeared"
  read -r WX WY _ _ < <(window_geometry "$WID")
  wait_for 60 mouse_at $(( WX + 8 + 30 )) $(( WY + 32 + 246 + 37 )) || fail "the licence reveal did not end"
  # The choice is enabled right after the cursor arrives.
  wait_for 20 control_is "Akceptuję" "enabled=1 checked=0 visible=1" || fail "the licence choice stayed disabled"
}

control_is() { [ "$(drive control "$1")" = "$2" ]; }
focus_is() { [ "$(drive focus)" = "$1" ]; }

# answer TITLE STEP: Enter on the next window of that title, with a screenshot.
answer() {  # answer TITLE STEP: Enter on the next window of that title
  wait_for 30 xdotool search --name "^$1\$" || fail "no \"$1\" window ($2)"
  shot "$2"
  xdotool key --window "$(xdotool search --name "^$1\$" | head -n 1)" Return 2>/dev/null
  wait_for 10 window_gone "$1" || fail "the \"$1\" window stayed ($2)"
}

# Answers the next "Uwaga!" window (notice or message box) with Enter.
answer_warning() {
  wait_for "${2:-30}" xdotool search --name '^Uwaga!$' || fail "no \"Uwaga!\" window ($1)"
  shot "$1"
  xdotool key --window "$(xdotool search --name '^Uwaga!$' | head -n 1)" Return 2>/dev/null
  wait_for 10 window_gone "Uwaga!" || fail "the \"Uwaga!\" window did not close ($1)"
}

# The window as the installer last painted it equals the window painted
# whole: a repaint of only a changed part (the status line) drew each pixel
# where a whole repaint draws it. NAME names the two screenshots kept.
expect_same_after_full_repaint() {
  local before after
  shot "$1-painted"
  before=$LAST_SHOT
  drive repaint "$(xdotool getwindowname "$WID")" || fail "$1: the window could not be marked for a repaint"
  sleep 1
  shot "$1-repainted"
  after=$LAST_SHOT
  read -r _ _ width height < <(window_geometry "$WID")
  local crop="${width}x${height}+${WX}+${WY}" differing
  differing=$(compare -metric AE "$before[$crop]" "$after[$crop]" null: 2>&1)
  [ "$differing" = 0 ] || fail "$1: $differing pixels differ after a whole repaint ($before, $after)"
}

# Starts the installer, accepts the licence and chooses "Koordynator", with
# real clicks where the cursor glides to (sets WID, WX, WY).
accept_and_choose_koordynator() {
  start_and_wait_for_reveal
  xdotool click 1
  wait_for 30 mouse_at $(( WX + 14 + 50 )) $(( WY + 34 + 77 + 45 )) || fail "no glide onto the editions"
  xdotool click 1
  wait_for 10 status_is "Instalacja programu Kanvel Koordynator 7.0" || fail "edition not chosen"
}

# Removes what an installation leaves in the prefix (after wine_prepare), so
# that each journey starts from a machine where Kanvel was never installed.
clean_installation_traces() {
  local c_drive user
  c_drive=$(wine_c_drive)
  user=$(ls "$c_drive/users" | grep -v -x Public | head -n 1)
  rm -rf "$c_drive/OR-Vel" "$c_drive/Velmarin" \
         "$c_drive/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Velmarin"
  rm -f "$(wine_desktop_dir)"/*.lnk
}

# A journey against the build's own mirror starts from a prefix without
# installation traces and a fresh mirror tree; whichever way it ends, the
# mirror stops, the traces go and every process of the prefix ends.
prepare_mirror_journey() {
  trap _end_mirror_journey EXIT
  wine_prepare
  clean_installation_traces
  "$KANVEL_SOURCE_DIR/tools/mirror/make-tree.sh" "$KANVEL_BUILD_DIR" >/dev/null || fail "mirror tree"
}

_end_mirror_journey() {
  "$KANVEL_SOURCE_DIR/tools/mirror/stop.sh" "$KANVEL_BUILD_DIR" >/dev/null 2>&1
  [ -f "$WINEPREFIX/system.reg" ] && clean_installation_traces
  wine_stop
  kanvel_xvfb_stop
}

# Prepares the prefix for a journey that installs from the local download
# mirror: starts the mirror on the port of BASE_URL, and on exit stops it,
# removes what the installation left and ends Wine.
journey_with_mirror() {
  prepare_mirror_journey
  "$KANVEL_SOURCE_DIR/tools/mirror/start-for.sh" "$KANVEL_BUILD_DIR" "$1" >/dev/null || fail "mirror did not start for $1"
}

# The old default folder C:\Velmarin\Kanvel, which makes every acceptance show
# a notice; removed again on exit.
journey_with_old_default_folder() {
  trap 'wine_stop; kanvel_xvfb_stop' EXIT
  wine_prepare
  clean_installation_traces
  mkdir -p "$(wine_c_drive)/Velmarin/Kanvel"
  trap 'rm -rf "$(wine_c_drive)/Velmarin"; wine_stop; kanvel_xvfb_stop' EXIT
}

# expect_centred_window WID W H: the window has that size and is centred on the screen.
expect_centred_window() {
  local x y w h
  read -r x y w h < <(window_geometry "$1")
  [ "$w" = "$2" ] && [ "$h" = "$3" ] || fail "window is ${w}x${h}, not $2x$3"
  eval "$(xdotool getdisplaygeometry --shell)"
  [ "$x" = $(( (WIDTH - $2) / 2 )) ] && [ "$y" = $(( (HEIGHT - $3) / 2 )) ] || fail "window at $x,$y is not centred"
}
