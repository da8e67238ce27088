#!/usr/bin/env bash
# Removal with a link planted in the installation: "C:\OR-Vel\Sterowniki" is
# a symbolic link to another program's folder that holds "BDE\setup.exe".
# Removal deletes the edition's program file and nothing the link leads to.
# Wine 8 shows a Unix symbolic link to a folder with the reparse-point
# attribute, but opens it (even with FILE_FLAG_OPEN_REPARSE_POINT) as its
# target, and deleting it deletes the target: so the link cannot be removed
# as a link here and stays, and with it "C:\OR-Vel", which the user is told
# about. (On Windows the link goes as a link; the native tests show that.)
# Usage: linked-removal.sh BUILD_DIR BASE_URL
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin linked-removal plain "$@"
c_drive=$(wine_c_drive)
other="$c_drive/Inny program"
on_journey_end 'rm -rf "$other"'
mkdir -p "$c_drive/OR-Vel" "$other/BDE"
cp "$KANVEL_BUILD_DIR/tools/demo/Edytor3.exe" "$c_drive/OR-Vel/Edytor3.exe"
printf 'another program setup\n' >"$other/BDE/setup.exe"
printf 'another program setup, half\n' >"$other/BDE/setup.exe.part"
ln -s "$other" "$c_drive/OR-Vel/Sterowniki"

accept_and_choose_koordynator
wait_for 10 control_is "Usunięcie instalacji" "enabled=1 checked=0 visible=1" || fail "removal not offered"
drive click "Usunięcie instalacji" >/dev/null
wait_for 30 control_is "\"C:\\OR-Vel\" jest używany przez inny program lub zawiera pliki (foldery) utworzone po instalacji." \
  "enabled=1 checked=0 visible=1" || fail "no notice that C:\\OR-Vel stays"
shot install-folder-stays
answer_warning folder-notice
[ "$(cat "$other/BDE/setup.exe")" = "another program setup" ] || fail "the linked folder's setup.exe was touched"
[ "$(cat "$other/BDE/setup.exe.part")" = "another program setup, half" ] || fail "the linked folder's partial file was touched"
[ -d "$other/BDE" ] || fail "the linked folder's BDE folder was removed"
[ ! -e "$c_drive/OR-Vel/Edytor3.exe" ] || fail "the program file was not removed"
[ -L "$c_drive/OR-Vel/Sterowniki" ] || fail "the link was followed or taken: $(ls -la "$c_drive/OR-Vel")"
wait_for 10 control_is "Usunięcie instalacji" "enabled=0 checked=0 visible=1" || fail "removal stayed offered"
drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "linked removal: ok"
