#!/usr/bin/env bash
# Deployment as the tools do it, on the real installer under Wine with drive
# D: mapped into the prefix: an install with the command line winget builds
# from the manifest (the log and the folder carry blanks, the folder does not
# exist yet); a user's edit of a working table kept when the same install runs
# again, and replaced with /RESETDATABASE; winget's repair of a deleted
# program file and desktop shortcut that keeps the edited table; the "Apps &
# features" entry under HKCU, and its QuietUninstallString run as Windows runs
# a command line; the entry's UninstallString opening the window that removes
# the installation, its run ending only once the removal is done;
# an install for every user (common shortcuts, the entry under HKLM) and its
# removal.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin managed-deployment mirror "$@"
d_root="$KANVEL_WINE_ROOT/drive-d"
on_journey_end 'rm -f "$WINEPREFIX/dosdevices/d:"; rm -rf "$d_root"'
rm -rf "$d_root"
mkdir -p "$d_root"
ln -sfn "$d_root" "$WINEPREFIX/dosdevices/d:"
c_drive=$(wine_c_drive)
wine_user=$(ls "$c_drive/users" | grep -v -x Public | head -n 1)
mirror="$KANVEL_BUILD_DIR/mirror/root"
manifest="$KANVEL_SOURCE_DIR/packaging/winget/Velmarin.Kanvel.Koordynator/7.0.0/Velmarin.Kanvel.Koordynator.installer.yaml"
user_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmarin.Kanvel.Koordynator'
machine_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmarin.Kanvel.Koordynator'

# winget keeps the downloaded installer in the user's temporary folder; the
# log goes where "winget install --log" says, here a folder with a blank.
winget_dir="$c_drive/users/$wine_user/Temp/WinGet/Velmarin.Kanvel.Koordynator.7.0.0"
mkdir -p "$winget_dir"
cp "$KANVEL_INSTALLER_EXE" "$winget_dir/Instalator.exe"
installer_windows="C:\\users\\$wine_user\\Temp\\WinGet\\Velmarin.Kanvel.Koordynator.7.0.0\\Instalator.exe"
log_dir="$c_drive/users/$wine_user/Moje dzienniki"
mkdir -p "$log_dir"
on_journey_end 'rm -rf "$log_dir" "$winget_dir"'
log_windows="C:\\users\\$wine_user\\Moje dzienniki\\winget Kanvel.log"
log="$log_dir/winget Kanvel.log"
location_windows='D:\Moje programy\Kanvel'
installed="$d_root/Moje programy/Kanvel/OR-Vel"

# winget_command SCOPE [repair]: the command line winget runs for the
# manifest's installer of that scope: the installer, then its
# SilentWithProgress, Log and InstallLocation switches (for a repair the
# Repair switch instead of the location), <LOGPATH> and <INSTALLPATH> put in.
winget_command() {
  python3 - "$manifest" "$1" "${2:-install}" "$installer_windows" "$log_windows" "$location_windows" <<'PY'
import sys, yaml
manifest, scope, action, installer, log, location = sys.argv[1:]
with open(manifest, encoding="utf-8") as stream:
    entry = next(i for i in yaml.safe_load(stream)["Installers"] if i["Scope"] == scope)
switches = entry["InstallerSwitches"]
last = switches["Repair"] if action == "repair" else switches["InstallLocation"]
arguments = " ".join((switches["SilentWithProgress"], switches["Log"], last))
print(f'"{installer}" ' + arguments.replace("<LOGPATH>", log).replace("<INSTALLPATH>", location))
PY
}

# expect_logged FILE TEXT: the UTF-8 log (after its byte-order mark) holds the text.
expect_logged() {
  [ "$(head -c 3 "$1" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "$(basename "$1") does not start with UTF-8's mark"
  tail -c +4 "$1" | grep -Fq -- "$2" || fail "no \"$2\" in $(basename "$1")"
}

# --- winget's own command line: blanks in the log and the folder, which is made.
install_command=$(winget_command user)
case "$install_command" in *'\Moje dzienniki\winget Kanvel.log" /DIR="D:\Moje programy\Kanvel"') ;;
  *) fail "the manifest's switches do not give quoted paths: $install_command" ;; esac
run_command "$install_command"
[ "$RC" = 0 ] || fail "winget's install: exit code $RC, expected 0: $install_command; $(tail -n 3 "$log" 2>&1)"
cmp -s "$installed/Edytor3.exe" "$mirror/programy/wersja7/poprawki/Edytor3._exe" || fail "program file differs"
cmp -s "$installed/Instalator.exe" "$KANVEL_INSTALLER_EXE" || fail "no copy of the installer kept in the installation"
expect_logged "$log" "utworzono folder: D:\\Moje programy\\Kanvel"
expect_logged "$log" "instalacja edycji Koordynator w folderze D:\\Moje programy\\Kanvel\\OR-Vel, składniki: program, baza danych"
expect_logged "$log" "kod wyjścia 0: zakończono pomyślnie"

# --- The entry winget, Intune and Configuration Manager find.
[ "$(registry_value "$user_key" DisplayName)" = "Kanvel Koordynator 7.0" ] || fail "DisplayName: $(registry_value "$user_key" DisplayName)"
[ "$(registry_value "$user_key" DisplayVersion)" = "7.0.0" ] || fail "DisplayVersion: $(registry_value "$user_key" DisplayVersion)"
[ "$(registry_value "$user_key" Publisher)" = "Velmarin Sp. z o.o." ] || fail "Publisher"
[ "$(registry_value "$user_key" InstallLocation)" = 'D:\Moje programy\Kanvel\OR-Vel' ] || fail "InstallLocation"
# Repair offered: Settings' "Modify" starts the ModifyPath, winget repairs an entry without NoModify or NoRepair set.
[ "$(registry_value "$user_key" NoModify)" = 0x0 ] && [ "$(registry_value "$user_key" NoRepair)" = 0x0 ] || fail "NoModify/NoRepair"
# A per-user entry's command lines name the account that installed it.
user_sid=$(wine reg query 'HKEY_USERS' 2>/dev/null | tr -d '\r' | grep -o -E 'S-1-5-21(-[0-9]+)+$' | head -n 1)
[ -n "$user_sid" ] || fail "no user's hive under HKEY_USERS"
[ "$(registry_value "$user_key" ModifyPath)" = '"D:\Moje programy\Kanvel\OR-Vel\Instalator.exe" /REPAIR "/DIR=D:\Moje programy\Kanvel" /OWNER='"$user_sid" ] \
  || fail "ModifyPath: $(registry_value "$user_key" ModifyPath)"
[ "$(registry_value "$user_key" UninstallString)" = '"D:\Moje programy\Kanvel\OR-Vel\Instalator.exe" /UNINSTALL "/DIR=D:\Moje programy\Kanvel" /OWNER='"$user_sid" ] \
  || fail "UninstallString: $(registry_value "$user_key" UninstallString)"
wine reg query "$user_key" 2>/dev/null | tr -d '\r' >"$JOURNEY_SHOTS/managed-deployment-entry.txt"
[ -z "$(registry_value "$machine_key" DisplayName)" ] || fail "an install for one user wrote the machine's entry"

# --- The same install again keeps the user's edit; /RESETDATABASE replaces it, and says so.
edited="$installed/Format/Dbf6/baza3.db"
printf 'edited by the user\n' >"$edited"
run_command "$install_command"
[ "$RC" = 0 ] || fail "the repeated install: exit code $RC, expected 0"
[ "$(cat "$edited")" = "edited by the user" ] || fail "the repeated install replaced the user's table"
expect_logged "$log" "istniejące pliki robocze bazy danych pozostały bez zmian"
# The kept copy marked as downloaded (its Zone.Identifier stream, which Wine
# keeps as a file of that name beside it): the next install's copy carries no mark.
printf '[ZoneTransfer]\r\nZoneId=3\r\n' >"$installed/Instalator.exe:Zone.Identifier"
run_command "$install_command /RESETDATABASE"
[ "$RC" = 0 ] || fail "the install with /RESETDATABASE: exit code $RC, expected 0"
[ ! -e "$installed/Instalator.exe:Zone.Identifier" ] || fail "the kept installer copy is still marked as downloaded"
cmp -s "$edited" "$mirror/programy/wersja7/bkp6/baza3.db" || fail "/RESETDATABASE kept the edited table"
expect_logged "$log" "plik roboczy bazy danych zastąpiony pierwotnym: D:\\Moje programy\\Kanvel\\OR-Vel\\Format\\Dbf6\\baza3.db"

# --- winget repair (its mode's switches, the log and /REPAIR; no folder: the entry names it)
# after the program file and the desktop shortcut were deleted and a working table edited.
printf 'edited by the user\n' >"$edited"
rm -f "$installed/Edytor3.exe" "$(wine_desktop_dir)/Koordynator 7.lnk"
repair_command=$(winget_command user repair)
case "$repair_command" in *' /REPAIR') ;; *) fail "the manifest's repair: $repair_command" ;; esac
run_command "$repair_command"
[ "$RC" = 0 ] || fail "winget's repair: exit code $RC, expected 0: $repair_command; $(tail -n 3 "$log" 2>&1)"
cmp -s "$installed/Edytor3.exe" "$mirror/programy/wersja7/poprawki/Edytor3._exe" || fail "the repair did not bring the program file back"
[ -f "$(wine_desktop_dir)/Koordynator 7.lnk" ] || fail "the repair did not bring the desktop shortcut back"
[ "$(cat "$edited")" = "edited by the user" ] || fail "the repair replaced the user's table"
expect_logged "$log" "naprawa instalacji edycji Koordynator w folderze D:\\Moje programy\\Kanvel\\OR-Vel"
[ ! -e "$c_drive/OR-Vel" ] || fail "the repair installed into C:"

# --- The QuietUninstallString, run as Windows runs it: everything but the database goes, the entry too.
quiet=$(registry_value "$user_key" QuietUninstallString)
[ -n "$quiet" ] || fail "no QuietUninstallString"
run_command "$quiet"
[ "$RC" = 0 ] || fail "the QuietUninstallString: exit code $RC, expected 0"
[ -z "$(registry_value "$user_key" DisplayName)" ] || fail "the entry stayed after removal"
[ ! -e "$installed/Edytor3.exe" ] || fail "the program file stayed"
[ ! -e "$(wine_desktop_dir)/Koordynator 7.lnk" ] || fail "the desktop shortcut stayed"
kept_gone() { [ ! -e "$installed/Instalator.exe" ]; }
wait_for 30 kept_gone || fail "the kept installer stayed after its run ended"
# The removal went on from a copy in a new folder of the temporary folder,
# named at random and made open to the running account alone. Wine enforces
# no permissions but turns the owner's and Everyone's entries of the
# descriptor a folder is made with into Unix permissions (the group's stay as
# the folder was made): a folder made with the temporary folder's inherited
# rights is open to others, the account's private one is not.
temporary="$c_drive/users/$wine_user/Temp"
copies=$(cd "$temporary" && ls -d Kanvel-*/ 2>/dev/null)
[ "$(printf '%s\n' "$copies" | grep -c .)" = 1 ] || fail "one temporary copy expected, found: $copies"
printf '%s\n' "$copies" | grep -q -x -E 'Kanvel-[0-9a-f]{32}/' || fail "the temporary copy's folder has a name that can be guessed: $copies"
[ -f "$temporary/${copies%/}/Instalator.exe" ] || fail "no installer in the temporary copy's folder $copies"
mode=$(stat -c %a "$temporary/${copies%/}")
[ $(( 8#$mode & 8#007 )) = 0 ] || fail "the temporary copy's folder is open to other accounts (mode $mode)"
[ -f "$installed/Format/Cfg/config.db" ] || fail "the database files must stay"

# --- The UninstallString opens the window, with the folder given, that removes the installation.
run_command "$install_command"
[ "$RC" = 0 ] || fail "the install before the window's removal: exit code $RC"
window_removal=$(registry_value "$user_key" UninstallString)
# Settings waits for the run it started before it reads its list again.
open_entry_removal "$window_removal" window-removal
# The folder field shows the location the entry gave.
control_is 'D:\Moje programy\Kanvel' "enabled=1 checked=0 visible=1" || fail "the location is not preset"
wait_for 10 control_is "Usunięcie instalacji" "enabled=1 checked=0 visible=1" || fail "removal not offered"
kill -0 "$removal_run" 2>/dev/null && [ ! -s "$removal_answer" ] \
  || fail "the UninstallString's run ended before anything was removed: $(cat "$removal_answer")"
shot window-removal
drive click "Usunięcie instalacji" >/dev/null
answer_warning database-folders-stay
wait_for 10 status_is "Usunięcie programu zakończone pomyślnie" || fail "removal did not end: $(drive status)"
# The removal done, the run Windows started ends with its code, and the kept copy goes with it, in the window.
removal_run_ended() { ! kill -0 "$removal_run" 2>/dev/null; }
wait_for 30 removal_run_ended || fail "the UninstallString's run still waits after the removal"
wait "$removal_run"
[ "$(cat "$removal_answer")" = exit=0 ] || fail "the UninstallString: $(cat "$removal_answer"), expected exit=0"
[ ! -e "$installed/Edytor3.exe" ] || fail "the window's removal left the program file"
[ ! -e "$installed/Instalator.exe" ] || fail "the window's removal left the kept installer"
[ -z "$(registry_value "$user_key" DisplayName)" ] || fail "the window's removal left the entry"
drive click "Zamknij" >/dev/null
wait_for 30 window_gone "Warunki licencji" || fail "the window did not close"
ls -la "$temporary"/Kanvel-*/ >"$JOURNEY_SHOTS/managed-deployment-temporary.txt" 2>&1

# --- For every user: the common desktop and Start menu, the machine's entry; removed the same way.
run_command "$(winget_command machine)"
[ "$RC" = 0 ] || fail "winget's install for every user: exit code $RC, expected 0"
common_desktop="$c_drive/users/Public/Desktop/Koordynator 7.lnk"
common_start="$c_drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Velmarin/Koordynator 7.lnk"
[ -f "$common_desktop" ] && [ -f "$common_start" ] || fail "no shortcuts in the common folders"
[ ! -e "$(wine_desktop_dir)/Koordynator 7.lnk" ] || fail "an install for every user wrote the user's shortcut"
[ "$(registry_value "$machine_key" DisplayName)" = "Kanvel Koordynator 7.0" ] || fail "no entry under HKLM"
[ -z "$(registry_value "$user_key" DisplayName)" ] || fail "an install for every user wrote the user's entry"
machine_quiet=$(registry_value "$machine_key" QuietUninstallString)
case "$machine_quiet" in *' /ALLUSERS') ;; *) fail "the machine's QuietUninstallString: $machine_quiet" ;; esac
run_command "$machine_quiet"
[ "$RC" = 0 ] || fail "the machine's QuietUninstallString: exit code $RC, expected 0"
[ ! -e "$common_desktop" ] && [ ! -e "$(dirname "$common_start")" ] || fail "the common shortcuts stayed"
[ -z "$(registry_value "$machine_key" DisplayName)" ] || fail "the machine's entry stayed"
echo "managed deployment: ok"
