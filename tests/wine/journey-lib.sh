# Helpers for the end-to-end journeys on the real installer window under
# Wine and Xvfb. Source after tools/wine/env.sh.
#   journey_start EXE        start the installer in the background (sets INSTALLER_PID)
#   wait_for SECONDS CMD...  run CMD until it succeeds, at most SECONDS
#   window_id TITLE          the X window whose name is TITLE (waits for it)
#   window_geometry WID      prints "X Y W H"
#   shot NAME                screenshot of the whole screen, kept under the build folder
#   pixel X Y                colour of a screen pixel in the last screenshot, as srgb(r,g,b)
#   journey_finish           wait for the installer to end and return its exit code
#   fail MESSAGE             report and stop with failure

KANVEL_BUILD_DIR="${KANVEL_BUILD_DIR:-$(dirname "$KANVEL_WINE_ROOT")}"
KANVEL_SOURCE_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
JOURNEY_SHOTS="${KANVEL_WINE_ROOT}/screenshots"
mkdir -p "$JOURNEY_SHOTS"
JOURNEY_NAME="${JOURNEY_NAME:-journey}"
LAST_SHOT=""

fail() {
  echo "FAIL: $*" >&2
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
  local deadline=$(( $(date +%s) + 60 ))
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
  journey_start "$KANVEL_BUILD_DIR/Instalator.exe"
  WID=$(window_id "Warunki licencji") || fail "no installer window appeared"
  read -r WX WY _ _ < <(window_geometry "$WID")
  wait_for 60 mouse_at $(( WX + 8 + 30 )) $(( WY + 32 + 246 + 37 )) || fail "the licence reveal did not end"
  # The choice is enabled right after the cursor arrives.
  wait_for 20 control_is "Akceptuję" "enabled=1 checked=0 visible=1" || fail "the licence choice stayed disabled"
}

control_is() { [ "$(drive control "$1")" = "$2" ]; }
focus_is() { [ "$(drive focus)" = "$1" ]; }

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

# Prepares the prefix for a journey that installs from the local download
# mirror: starts the mirror on the port of BASE_URL, and on exit stops it,
# removes what the installation left and ends Wine.
journey_with_mirror() {
  local port
  port=$(printf '%s\n' "$1" | sed -E 's#^[a-zA-Z]+://[^/:]+:([0-9]+)/.*#\1#')
  trap journey_with_mirror_cleanup EXIT
  wine_prepare
  clean_installation_traces
  "$KANVEL_SOURCE_DIR/tools/mirror/make-tree.sh" "$KANVEL_BUILD_DIR" >/dev/null || fail "mirror tree"
  "$KANVEL_SOURCE_DIR/tools/mirror/start.sh" "$KANVEL_BUILD_DIR" "$port" >/dev/null || fail "mirror did not start on $port"
}

journey_with_mirror_cleanup() {
  "$KANVEL_SOURCE_DIR/tools/mirror/stop.sh" "$KANVEL_BUILD_DIR" >/dev/null 2>&1
  [ -f "$WINEPREFIX/system.reg" ] && clean_installation_traces
  wine_stop; kanvel_xvfb_stop
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
