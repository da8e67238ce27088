#!/usr/bin/env bash
# Builds the installer and runs it under Wine against the local download
# mirror. With a display the window appears there and the script waits until
# it is closed; without one, the script starts Xvfb, lets the licence reveal
# finish, saves a screenshot, says where, and ends the installer.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/win"
"$root/tools/ensure-packages.sh"
"$root/tools/build.sh" win
had_display=${DISPLAY:-}
source "$root/tools/wine/env.sh" "$build"
"$root/tools/mirror/make-tree.sh" "$build" >/dev/null
"$root/tools/mirror/start.sh" "$build" >/dev/null
cleanup() { "$root/tools/mirror/stop.sh" "$build" >/dev/null 2>&1 || true; wine_stop; kanvel_xvfb_stop; }
trap cleanup EXIT
wine_prepare

if [ -n "$had_display" ]; then
  wine "$build/Instalator.exe"
  exit 0
fi

wine "$build/Instalator.exe" >/dev/null 2>&1 &
pid=$!
JOURNEY_NAME=run
source "$root/tests/wine/journey-lib.sh"
wid=$(window_id "Warunki licencji") || { echo "The installer window did not appear." >&2; exit 1; }
read -r x y _ _ < <(window_geometry "$wid")
wait_for 60 mouse_at $(( x + 38 )) $(( y + 315 )) || true
shot licence
echo "No display: the installer ran on Xvfb ($DISPLAY). Screenshot: $LAST_SHOT"
kill "$pid" 2>/dev/null || true
