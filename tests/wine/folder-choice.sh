#!/usr/bin/env bash
# The install location through the real save dialog: a folder, a folder
# inside "OR-Vel" (refused with a notice) and a drive root.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin folder-choice plain "$@"
on_journey_end 'rm -rf "$(wine_c_drive)/programy" "$(wine_c_drive)/or-vel"'
mkdir -p "$(wine_c_drive)/programy" "$(wine_c_drive)/or-vel/stare"

# Picks a file name in the "Wskaż folder instalacji" dialog by typing it.
pick_location() {
  drive click "Zmiana folderu instalacji   >>" >/dev/null
  wait_for 20 xdotool search --name '^Wskaż folder instalacji$' || fail "no folder dialog"
  local dialog
  dialog=$(xdotool search --name '^Wskaż folder instalacji$' | head -n 1)
  xdotool windowactivate --sync "$dialog" 2>/dev/null
  xdotool key ctrl+a
  xdotool type "$1"
  shot "typed-$2"
  xdotool key Return
  wait_for 10 window_gone 'Wskaż folder instalacji' || fail "the folder dialog stayed open"
}

accept_and_choose_koordynator

pick_location 'c:\programy\Edytor3.exe' folder
wait_for 10 control_is 'C:\programy' "enabled=1 checked=0 visible=1" || fail "the location is not C:\\programy"
expect_state '\OR-Vel\' "enabled=1 checked=0 visible=1"

pick_location 'c:\or-vel\stare\x.exe' or-vel
wait_for 10 xdotool search --name '^Uwaga!$' || fail "no notice for a folder inside OR-Vel"
shot or-vel-notice
xdotool key --window "$(xdotool search --name '^Uwaga!$' | head -n 1)" Return 2>/dev/null
wait_for 10 window_gone "Uwaga!" || fail "the notice stayed"
control_is 'C:\programy' "enabled=1 checked=0 visible=1" || fail "the location changed"

pick_location 'c:\Edytor3.exe' root
wait_for 10 control_is 'C:' "enabled=1 checked=0 visible=1" || fail "a drive root did not become C:"
shot done

drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "folder choice: ok"
