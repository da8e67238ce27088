# Helpers for the end-to-end journeys on the real installer window under
# Wine and Xvfb. A journey opens with
#   source "$(dirname "$0")/journey-lib.sh"
#   journey_begin NAME SETTING "$@"
# (see journey_begin); other tools may instead source this file after
# tools/wine/env.sh and use the helpers alone.
#   journey_start EXE [ARG...]  start the installer in the background (sets INSTALLER_PID)
# KANVEL_INSTALLER_EXE, when set, is the installer the journey starts (by
# default the build's own Instalator.exe).
#   wait_for SECONDS CMD...  run CMD until it succeeds, at most SECONDS
#   window_id TITLE          the X window whose name is TITLE (waits for it)
#   window_geometry WID      prints "X Y W H"
#   shot NAME                screenshot of the whole screen, kept under the build folder
#   pixel X Y                colour of a screen pixel in the last screenshot, as srgb(r,g,b)
#   journey_finish           wait for the installer to end and return its exit code
#   fail MESSAGE             report and stop with failure
#   centre_of TEXT           "X Y": the screen point at the centre of the control showing TEXT
#   cursor_on TEXT           the mouse pointer rests inside the control showing TEXT
#   click_on TEXT            a real mouse click at the centre of the control showing TEXT
#   mirror_start [RATE]      (re)start the build's mirror for BASE_URL; mirror_stop stops it
#   answer_warning NAME      answer the next "Uwaga!" window with Enter (screenshot NAME)
#   accept_and_choose_koordynator  start, accept the licence, choose "Koordynator"
#   install_all_components   and install it with the database and the engine

KANVEL_SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
JOURNEY_NAME="${JOURNEY_NAME:-journey}"
JOURNEY_CLEANUP=()
LAST_SHOT=""

# The build's folder and the screenshots' folder, once tools/wine/env.sh has run.
_journey_folders() {
  KANVEL_BUILD_DIR="${KANVEL_BUILD_DIR:-$(dirname "$KANVEL_WINE_ROOT")}"
  JOURNEY_SHOTS="${KANVEL_WINE_ROOT}/screenshots"
  mkdir -p "$JOURNEY_SHOTS"
}
if [ -n "${KANVEL_WINE_ROOT:-}" ]; then _journey_folders; fi

# journey_begin NAME SETTING BUILD_DIR [BASE_URL | --installer-build INSTALLER_DIR]
# The opening every journey shares; after NAME and SETTING come the script's
# own arguments. Starts the Wine harness for BUILD_DIR (tools/wine/env.sh), sets
# KANVEL_INSTALLER_EXE (the build's installer, or the one in INSTALLER_DIR,
# e.g. BUILD_DIR/installers/tls)
# and BASE_URL (as given, else the URL that installer was built for), makes the
# prefix ready with no installation traces and no mirror of the build running,
# then SETTING:
#   plain               nothing more
#   old-default-folder  the old default folder C:\Velmarin\Kanvel exists, so
#                       every acceptance of the licence shows a notice
#   mirror-tree         the mirror's tree is built (mirror_start starts the mirror)
#   mirror              the mirror's tree is built and the mirror serves BASE_URL
# Whichever way the journey ends, the commands given to on_journey_end run, the
# mirror stops, the installation traces (and the old default folder) go, every
# process of the prefix ends and the harness's Xvfb stops.
journey_begin() {
  JOURNEY_NAME=$1
  local setting=$2 build_dir=${3:?build folder} installer_dir=$3
  BASE_URL=${4:-}
  if [ "$BASE_URL" = --installer-build ]; then
    installer_dir=${5:?installer build folder}
    BASE_URL=""
  fi
  installer_dir=$(cd "$installer_dir" && pwd)
  [ -n "$BASE_URL" ] || BASE_URL=$(installer_base_url "$installer_dir")
  export KANVEL_INSTALLER_EXE="$installer_dir/Instalator.exe"
  source "$KANVEL_SOURCE_DIR/tools/wine/env.sh" "$build_dir"
  _journey_folders
  trap _journey_end EXIT
  mirror_stop
  journey_prefix "$setting"
  case "$setting" in
    plain | old-default-folder) ;;
    mirror-tree) _make_mirror_tree ;;
    mirror) _make_mirror_tree; mirror_start ;;
    *) fail "journey_begin: no setting \"$setting\"" ;;
  esac
}

# installer_base_url FOLDER: the download base URL the Instalator.exe in
# FOLDER was built for (the build writes it beside each installer).
installer_base_url() { head -n 1 "$1/download-base-url.txt"; }

# journey_prefix SETTING: the prefix in WINEPREFIX ready, without installation
# traces; for the setting old-default-folder with C:\Velmarin\Kanvel.
journey_prefix() {
  wine_prepare
  clean_installation_traces
  [ "$1" != old-default-folder ] || mkdir -p "$(wine_c_drive)/Velmarin/Kanvel"
}

# on_journey_end COMMAND: run COMMAND (through eval) when the journey ends,
# before the prefix is cleaned and Wine stops.
on_journey_end() { JOURNEY_CLEANUP+=("$1"); }

_journey_end() {
  local command
  for command in "${JOURNEY_CLEANUP[@]}"; do eval "$command"; done
  mirror_stop
  [ -f "$WINEPREFIX/system.reg" ] && clean_installation_traces
  wine_stop
  kanvel_xvfb_stop
}

_make_mirror_tree() {
  "$KANVEL_SOURCE_DIR/tools/mirror/make-tree.sh" "$KANVEL_BUILD_DIR" >/dev/null || fail "mirror tree"
}

# mirror_start [RATE]: (re)starts the build's mirror where the installer looks
# for it (BASE_URL), sending at most RATE bytes a second (nginx's form, e.g.
# 16k; 0 or none: no limit).
mirror_start() {
  mirror_stop
  KANVEL_MIRROR_RATE=${1:-0} "$KANVEL_SOURCE_DIR/tools/mirror/start-for.sh" "$KANVEL_BUILD_DIR" "$BASE_URL" \
    >/dev/null || fail "mirror did not start for $BASE_URL"
}

mirror_stop() { "$KANVEL_SOURCE_DIR/tools/mirror/stop.sh" "$KANVEL_BUILD_DIR" >/dev/null 2>&1; }

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
  wine "$@" >/dev/null 2>&1 &
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

# driver_said ARGS...: what the driver prints for ARGS, its errors included, and
# its exit code, for a failure's message.
driver_said() {
  { wine "$KANVEL_BUILD_DIR/kanvel-driver.exe" "$@" 2>&1; echo "exit $?"; } | tr -d '\r' | tail -n 4 | paste -sd' '
}

# run_command COMMAND_LINE: runs the whole string as the command line of a new
# process, as Windows runs an entry's command, and sets RC to its exit code.
run_command() {
  local answer
  answer=$(drive run "$1") || fail "could not start: $1"
  RC=${answer#exit=}
}

# registry_value KEY NAME: a value of a registry key, as reg.exe shows it.
registry_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z]* *//p"
}

# map_drive_d [FOLDER...]: a drive D: for the journey, an empty folder of the
# build with the given folders in it, gone when the journey ends (sets D_ROOT).
map_drive_d() {
  local folder
  D_ROOT="$KANVEL_WINE_ROOT/drive-d"
  on_journey_end 'rm -f "$WINEPREFIX/dosdevices/d:"; rm -rf "$D_ROOT"'
  rm -rf "$D_ROOT"
  mkdir -p "$D_ROOT"
  for folder in "$@"; do mkdir -p "$D_ROOT/$folder"; done
  ln -sfn "$D_ROOT" "$WINEPREFIX/dosdevices/d:"
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

# Where the mouse pointer is on the screen: "X Y".
pointer() {
  eval "$(xdotool getmouselocation --shell)"
  printf '%s %s\n' "$X" "$Y"
}

# centre_of TEXT: "X Y", the screen point at the centre of the control showing
# TEXT, as the window reports the control's place. The driver reads each
# control's text from the window, which on a loaded machine may answer late, so
# the place is asked for again for up to 10 s before the control counts as absent.
centre_of() {
  local place x y w h deadline=$(( $(date +%s) + 10 ))
  until place=$(drive screenrect "$1"); do
    [ "$(date +%s)" -ge "$deadline" ] && return 1
    sleep 0.2
  done
  read -r x y w h <<<"$place"
  printf '%s %s\n' $(( x + w / 2 )) $(( y + h / 2 ))
}

# cursor_on TEXT: the mouse pointer rests inside the control showing TEXT, as
# the window reports the control's place: it lies inside, and it has not moved
# while the place was read (so a glide that is still passing through does not count).
cursor_on() {
  local before place after x y w h px py
  before=$(pointer)
  place=$(drive screenrect "$1") || return 1
  after=$(pointer)
  [ "$before" = "$after" ] || return 1
  read -r x y w h <<<"$place"
  read -r px py <<<"$after"
  [ "$px" -ge "$x" ] && [ "$px" -lt $(( x + w )) ] && [ "$py" -ge "$y" ] && [ "$py" -lt $(( y + h )) ]
}

# click_on TEXT: moves the mouse pointer to the centre of the control showing
# TEXT and clicks there with the left button, as a user does.
click_on() {
  local centre x y
  centre=$(centre_of "$1") || fail "no control \"$1\" to click (the driver, asked once more: $(driver_said screenrect "$1"))"
  read -r x y <<<"$centre"
  xdotool mousemove --sync "$x" "$y" click 1
}

# Starts the installer and waits until its licence reveal has ended: the
# choice is enabled and the cursor rests on "Akceptuję". Sets WID.
start_and_wait_for_reveal() {
  journey_start "${KANVEL_INSTALLER_EXE:-$KANVEL_BUILD_DIR/Instalator.exe}" "$@"
  WID=$(window_id "Warunki licencji") || fail "no installer window appeared"
  # The reveal's last step glides the cursor onto the choice, then enables it.
  wait_for 60 control_is "Akceptuję" "enabled=1 checked=0 visible=1" || fail "the licence reveal did not end"
  cursor_on "Akceptuję" \
    || fail "the reveal's glide did not end on \"Akceptuję\" (pointer at $(pointer), the choice at $(drive screenrect "Akceptuję"))"
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
# where a whole repaint draws it. NAME names the two screenshots kept. The
# driver returns once the whole repaint was handled; the screen may show it
# a moment later, so the comparison is repeated for a few seconds before a
# difference counts.
expect_same_after_full_repaint() {
  local before
  shot "$1-painted"
  before=$LAST_SHOT
  drive repaint "$(xdotool getwindowname "$WID")" || fail "$1: the window could not be repainted"
  local x y width height
  read -r x y width height < <(window_geometry "$WID")
  REPAINT_CROP="${width}x${height}+${x}+${y}"
  wait_for 5 _repainted_equals "$1" "$before" \
    || fail "$1: $REPAINT_DIFFERING pixels differ after a whole repaint ($before, $LAST_SHOT)"
}
_repainted_equals() {  # _repainted_equals NAME BEFORE: a new screenshot's window equals BEFORE's
  shot "$1-repainted"
  REPAINT_DIFFERING=$(compare -metric AE "$2[$REPAINT_CROP]" "$LAST_SHOT[$REPAINT_CROP]" null: 2>&1)
  [ "$REPAINT_DIFFERING" = 0 ]
}

# Starts the installer, accepts the licence and chooses "Koordynator", with
# real clicks where the cursor glides to (sets WID); ARGS go to the installer.
accept_and_choose_koordynator() {
  start_and_wait_for_reveal "$@"
  choose_koordynator_after_reveal
}

# choose_koordynator_after_reveal: with the pointer resting on "Akceptuję" once
# the reveal has ended, accepts the licence and chooses "Koordynator".
choose_koordynator_after_reveal() {
  xdotool click 1
  wait_for 30 cursor_on "Koordynator" || fail "no glide onto the editions"
  xdotool click 1
  wait_for 10 status_is "Instalacja programu Kanvel Koordynator 7.0" || fail "edition not chosen"
}

# open_entry_removal COMMAND NAME: runs an entry's UninstallString COMMAND as
# Settings does (it waits for the run it started): its process in
# $removal_run, what it printed in $removal_answer (NAME.answer), and in the
# window it opens the licence accepted and "Koordynator" chosen.
open_entry_removal() {
  removal_answer="$KANVEL_WINE_ROOT/$2.answer"
  rm -f "$removal_answer"
  on_journey_end 'rm -f "$removal_answer"'
  drive run "$1" >"$removal_answer" &
  removal_run=$!
  WID=$(window_id "Warunki licencji") || fail "the UninstallString opened no window"
  wait_for 60 control_is "Akceptuję" "enabled=1 checked=0 visible=1" || fail "the licence reveal did not end"
  choose_koordynator_after_reveal
}

# On the chosen edition's panel, with no download server: ticks the engine,
# presses "Instaluj", answers the notices of the engine's failed download and
# picks c:\pobrane\setup._exe (which the journey made, not a program) in the
# file dialog; returns once the notice that it could not start was answered.
install_engine_that_cannot_start() {
  drive click "Paradox (BDE)" >/dev/null
  wait_for 10 control_is "Paradox (BDE)" "enabled=1 checked=1 visible=1" || fail "engine box not ticked"
  drive click "Instaluj" >/dev/null
  answer "Uwaga!" engine-notice
  answer "Instalator" engine-connection-failure
  wait_for 20 xdotool search --name '^Wskaż plik setup\._exe$' || fail "no dialog for the packed engine installer"
  local dialog
  dialog=$(xdotool search --name '^Wskaż plik setup\._exe$' | head -n 1)
  xdotool windowactivate --sync "$dialog" 2>/dev/null
  xdotool key ctrl+a
  xdotool type 'c:\pobrane\setup._exe'
  xdotool key Return
  answer "Uwaga!" engine-not-started
}

# Installs "Koordynator" with every component: starts, accepts the licence,
# ticks the database and the engine, answers the engine notice and waits
# until the engine installer has been started.
install_all_components() {
  accept_and_choose_koordynator
  drive click "Baza danych 3.0 - 7.0" >/dev/null
  drive click "Paradox (BDE)" >/dev/null
  wait_for 10 control_is "Paradox (BDE)" "enabled=1 checked=1 visible=1" || fail "engine box not ticked"
  drive click "Instaluj" >/dev/null
  answer_warning engine-notice
  wait_for 60 xdotool search --name "^Instalator silnika bazy danych \(wersja demonstracyjna\)$" \
    || fail "the engine installer was not started"
}

# Removes what an installation leaves in the prefix (after wine_prepare), so
# that each journey starts from a machine where Kanvel was never installed:
# the files, the shortcuts of the user and of all users, the run's log and the
# installer's temporary copies, and the "Apps & features" entries (one
# regedit import deletes them all).
clean_installation_traces() {
  local c_drive user entries root edition
  c_drive=$(wine_c_drive)
  user=$(ls "$c_drive/users" | grep -v -x Public | head -n 1)
  rm -rf "$c_drive/OR-Vel" "$c_drive/Velmarin" \
         "$c_drive/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Velmarin" \
         "$c_drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Velmarin" \
         "$c_drive/users/$user/Temp/Kanvel-"*
  rm -f "$(wine_desktop_dir)"/*.lnk "$c_drive/users/Public/Desktop/"*.lnk
  if grep -q 'Velmarin.Kanvel' "$WINEPREFIX/user.reg" "$WINEPREFIX/system.reg" 2>/dev/null; then
    entries=$(mktemp --suffix=.reg)
    printf 'REGEDIT4\r\n' >"$entries"
    for root in HKEY_CURRENT_USER HKEY_LOCAL_MACHINE; do
      for edition in Koordynator Procesor Administrator Asystent Konstruktor; do
        printf '\r\n[-%s\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmarin.Kanvel.%s]\r\n' \
          "$root" "$edition" >>"$entries"
      done
    done
    wine regedit /S "$(winepath -w "$entries" 2>/dev/null)" >/dev/null 2>&1
    rm -f "$entries"
  fi
}

# expect_centred_window WID W H: the window has that size and is centred on the screen.
expect_centred_window() {
  local w h
  read -r _ _ w h < <(window_geometry "$1")
  [ "$w" = "$2" ] && [ "$h" = "$3" ] || fail "window is ${w}x${h}, not $2x$3"
  expect_centred "$1"
}

# expect_centred WID: the window is centred on the screen.
expect_centred() {
  local x y w h
  read -r x y w h < <(window_geometry "$1")
  eval "$(xdotool getdisplaygeometry --shell)"
  [ "$x" = $(( (WIDTH - w) / 2 )) ] && [ "$y" = $(( (HEIGHT - h) / 2 )) ] || fail "window at $x,$y is not centred"
}
