#!/usr/bin/env bash
# The entry's own command lines, run as Windows runs them (the whole string
# as the command line of a new process), for a location given as a bare
# drive, a folder and a folder with blanks: after a silent install, the
# QuietUninstallString removes the files, the kept installer and the
# "Apps & features" entry and ends with 0, its log naming the folder with
# its drive; for the bare drive the UninstallString's window does the same.
# The per-user entry's command lines name the account that installed it (the
# one whose hive Wine keeps under HKEY_USERS); the same line naming another
# account ends with 17 and removes nothing. Wine has one account, so this
# shows the token's identifier read and compared, not a second account's run;
# the test prefix has no shell window either, so the desktop's user is
# unknown there and no run is started again as that user.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin entry-removal mirror "$@"
map_drive_d Programy "Moje programy"
c_drive=$(wine_c_drive)
wine_user=$(ls "$c_drive/users" | grep -v -x Public | head -n 1)
log="$c_drive/users/$wine_user/Temp/Kanvel-Instalator.log"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmarin.Kanvel.Koordynator'
installer_windows=$(winepath -w "$KANVEL_INSTALLER_EXE" 2>/dev/null)
user_sid=$(wine reg query 'HKEY_USERS' 2>/dev/null | tr -d '\r' | grep -o -E 'S-1-5-21(-[0-9]+)+$' | head -n 1)
[ -n "$user_sid" ] || fail "no user's hive under HKEY_USERS"
owner=" /OWNER=$user_sid"

# install_at LOCATION UNIX_FOLDER: a silent install of Koordynator there, and its entry.
install_at() {
  run_command "\"$installer_windows\" /SILENT /ACCEPTLICENCE /EDITION=Koordynator \"/DIR=$1\""
  [ "$RC" = 0 ] || fail "the install at $1: exit code $RC; $(tail -n 3 "$log" 2>&1)"
  [ -f "$2/Edytor3.exe" ] && [ -f "$2/Instalator.exe" ] || fail "nothing installed in $2"
  [ "$(registry_value "$key" InstallLocation)" = "${1%\\}\\OR-Vel" ] || fail "InstallLocation: $(registry_value "$key" InstallLocation)"
}

# expect_removed LOCATION UNIX_FOLDER: files, shortcut and entry gone; the log names the folder.
expect_removed() {
  [ ! -e "$2/Edytor3.exe" ] || fail "the program file stayed in $2"
  [ ! -e "$(wine_desktop_dir)/Koordynator 7.lnk" ] || fail "the desktop shortcut stayed"
  [ -z "$(registry_value "$key" DisplayName)" ] || fail "the entry stayed after the removal at $1"
  kept_gone() { [ ! -e "$2/Instalator.exe" ]; }
  wait_for 30 kept_gone "$1" "$2" || fail "the kept installer stayed in $2"
  tail -c +4 "$log" | tr -d '\r' | grep -F 'usunięcie instalacji edycji Koordynator w folderze' | tail -n 1 |
    grep -Fq -- "w folderze $1\\OR-Vel" || fail "the removal's log names another folder: $(grep -a 'w folderze' "$log" | tail -n 1)"
}

for location in 'C:' 'D:\Programy' 'D:\Moje programy'; do
  case "$location" in
    C:) folder="$c_drive/OR-Vel" ;;
    *) folder="$D_ROOT/${location#D:\\}/OR-Vel" ;;
  esac
  rm -f "$log"
  install_at "$location" "$folder"
  quiet=$(registry_value "$key" QuietUninstallString)
  [ "$quiet" = "\"$location\\OR-Vel\\Instalator.exe\" /SILENT /UNINSTALL /EDITION=Koordynator \"/DIR=$location\"$owner" ] ||
    fail "QuietUninstallString: $quiet"
  if [ "$location" = 'C:' ]; then
    run_command "${quiet% /OWNER=*} /OWNER=S-1-5-21-1-2-3-500"
    [ "$RC" = 17 ] || fail "the QuietUninstallString for another account: exit code $RC, expected 17"
    [ -f "$folder/Edytor3.exe" ] && [ -n "$(registry_value "$key" DisplayName)" ] || fail "another account's run removed something"
    grep -Fq "konto właściciela instalacji: S-1-5-21-1-2-3-500, konto tego przebiegu: $user_sid" "$log" ||
      fail "the log does not name both accounts: $(tail -n 3 "$log")"
  fi
  run_command "$quiet"
  [ "$RC" = 0 ] || fail "the QuietUninstallString at $location: exit code $RC, expected 0; $(tail -n 3 "$log")"
  expect_removed "$location" "$folder"
done

# --- The UninstallString of the bare drive: the window, its folder preset, removes all of it.
install_at 'C:' "$c_drive/OR-Vel"
window_removal=$(registry_value "$key" UninstallString)
[ "$window_removal" = "\"C:\\OR-Vel\\Instalator.exe\" /UNINSTALL \"/DIR=C:\"$owner" ] || fail "UninstallString: $window_removal"
# Settings waits for the run it started, which ends once the removal is done.
open_entry_removal "$window_removal" entry-removal
wait_for 10 control_is "Usunięcie instalacji" "enabled=1 checked=0 visible=1" || fail "removal not offered"
drive click "Usunięcie instalacji" >/dev/null
# A notice (a folder that stays) is answered as a user would; the removal then ends.
ended_or_answered() {
  if xdotool search --name '^Uwaga!$' >/dev/null 2>&1; then answer_warning removal-notice 1; fi
  status_is "Usunięcie programu zakończone pomyślnie"
}
wait_for 30 ended_or_answered || fail "removal did not end: $(drive status)"
removal_run_ended() { ! kill -0 "$removal_run" 2>/dev/null; }
wait_for 30 removal_run_ended || fail "the UninstallString's run still waits after the removal"
wait "$removal_run"
[ "$(cat "$removal_answer")" = exit=0 ] || fail "the UninstallString: $(cat "$removal_answer"), expected exit=0"
shot bare-drive-removal
[ ! -e "$c_drive/OR-Vel/Edytor3.exe" ] || fail "the window's removal left the program file"
[ -z "$(registry_value "$key" DisplayName)" ] || fail "the window's removal left the entry"
drive click "Zamknij" >/dev/null
wait_for 30 window_gone "Warunki licencji" || fail "the window did not close"
kept_gone_c() { [ ! -e "$c_drive/OR-Vel/Instalator.exe" ]; }
wait_for 30 kept_gone_c || fail "the window's removal left the kept installer"
echo "entry removal: ok"
