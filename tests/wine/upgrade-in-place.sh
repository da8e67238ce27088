#!/usr/bin/env bash
# An upgrade as winget runs it: a silent install into D:\Programy (a drive
# the journey maps), then the same command without /DIR, and one that names
# no components or shortcuts either: the D: installation is updated (the
# user's table kept, the last install's components and shortcuts taken from
# the entry), no C:\OR-Vel, one entry. Then a newer release in the entry's
# DisplayVersion: the install is refused with 16 and changes nothing, and is
# accepted with /ALLOWDOWNGRADE. The entry's values after the install and
# after the upgrade are kept in the screenshots' folder.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin upgrade-in-place mirror "$@"
map_drive_d Programy
c_drive=$(wine_c_drive)
wine_user=$(ls "$c_drive/users" | grep -v -x Public | head -n 1)
log="$c_drive/users/$wine_user/Temp/Kanvel-Instalator.log"
mirror="$KANVEL_BUILD_DIR/mirror/root"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmarin.Kanvel.Koordynator'
machine_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmarin.Kanvel.Koordynator'
installed="$D_ROOT/Programy/OR-Vel"
installer="\"$(winepath -w "$KANVEL_INSTALLER_EXE" 2>/dev/null)\""
base="$installer /SILENT /ACCEPTLICENCE /EDITION=Koordynator"

# keep_entry NAME: the entry's values as reg.exe lists them, kept for whoever reads the run.
keep_entry() {
  wine reg query "$key" 2>/dev/null | tr -d '\r' >"$JOURNEY_SHOTS/upgrade-in-place-entry-$1.txt"
}

logged() { tail -c +4 "$log" | grep -Fq -- "$1"; }

# --- The first install, into D:\Programy.
run_command "$base \"/DIR=D:\\Programy\" /COMPONENTS=program,database /SHORTCUTS=desktop"
[ "$RC" = 0 ] || fail "the install into D:\\Programy: exit code $RC; $(tail -n 3 "$log")"
keep_entry after-install
[ "$(registry_value "$key" KanvelLocation)" = 'D:\Programy' ] || fail "KanvelLocation: $(registry_value "$key" KanvelLocation)"
[ "$(registry_value "$key" KanvelComponents)" = program,database ] || fail "KanvelComponents"
[ "$(registry_value "$key" KanvelShortcuts)" = desktop ] || fail "KanvelShortcuts"
edited="$installed/Format/Dbf6/baza3.db"
printf 'edited by the user\n' >"$edited"
printf 'MZ an older program\n' >"$installed/Edytor3.exe"

# --- The same command without /DIR: the D: installation is updated.
run_command "$base /COMPONENTS=program,database /SHORTCUTS=desktop"
[ "$RC" = 0 ] || fail "the upgrade without /DIR: exit code $RC; $(tail -n 3 "$log")"
[ ! -e "$c_drive/OR-Vel" ] || fail "the upgrade went to C:\\OR-Vel"
cmp -s "$installed/Edytor3.exe" "$mirror/programy/wersja7/poprawki/Edytor3._exe" || fail "the D: program was not updated"
logged 'miejsce instalacji z wpisu w „Aplikacje i funkcje”: D:\Programy' || fail "the log does not say where the location came from"

# --- A command that names no components or shortcuts takes the last install's.
printf 'MZ an older program\n' >"$installed/Edytor3.exe"
rm -f "$log"
run_command "$base"
[ "$RC" = 0 ] || fail "the upgrade naming nothing: exit code $RC; $(tail -n 3 "$log")"
[ ! -e "$c_drive/OR-Vel" ] || fail "the upgrade went to C:\\OR-Vel"
cmp -s "$installed/Edytor3.exe" "$mirror/programy/wersja7/poprawki/Edytor3._exe" || fail "the D: program was not updated"
logged 'instalacja edycji Koordynator w folderze D:\Programy\OR-Vel, składniki: program, baza danych, skróty: pulpit' ||
  fail "the last install's choices were not taken: $(grep -a 'instalacja edycji' "$log")"
[ "$(cat "$edited")" = "edited by the user" ] || fail "the upgrade replaced the user's table"
[ -f "$(wine_desktop_dir)/Koordynator 7.lnk" ] || fail "no desktop shortcut"
[ ! -e "$c_drive/users/$wine_user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Velmarin/Koordynator 7.lnk" ] ||
  fail "a Start-menu shortcut the last install did not ask for"
keep_entry after-upgrade
[ "$(registry_value "$key" InstallLocation)" = 'D:\Programy\OR-Vel' ] || fail "InstallLocation after the upgrade"
[ -z "$(registry_value "$machine_key" DisplayName)" ] || fail "a second entry, for the machine"
entries=$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null | tr -d '\r' | grep -c 'Velmarin.Kanvel')
[ "$entries" = 1 ] || fail "$entries entries of Kanvel, expected 1"

# --- A newer release installed: refused with 16, nothing changed; accepted with /ALLOWDOWNGRADE.
wine reg add "$key" /v DisplayVersion /t REG_SZ /d 7.10.0 /f >/dev/null 2>&1
[ "$(registry_value "$key" DisplayVersion)" = 7.10.0 ] || fail "DisplayVersion not written"
printf 'MZ the newer release\n' >"$installed/Edytor3.exe"
run_command "$base"
[ "$RC" = 16 ] || fail "an older installer over 7.10.0: exit code $RC, expected 16; $(tail -n 3 "$log")"
[ "$(cat "$installed/Edytor3.exe")" = "MZ the newer release" ] || fail "the refused install replaced the program"
[ "$(registry_value "$key" DisplayVersion)" = 7.10.0 ] || fail "the refused install rewrote the entry"
logged 'Zainstalowane jest nowsze wydanie programu: Kanvel Koordynator 7.10.0.' || fail "the log does not name the newer release"
logged 'kod wyjścia 16: ' || fail "the log does not end with 16"
run_command "$base /ALLOWDOWNGRADE"
[ "$RC" = 0 ] || fail "with /ALLOWDOWNGRADE: exit code $RC, expected 0; $(tail -n 3 "$log")"
cmp -s "$installed/Edytor3.exe" "$mirror/programy/wersja7/poprawki/Edytor3._exe" || fail "/ALLOWDOWNGRADE did not install"
[ "$(registry_value "$key" DisplayVersion)" = 7.0.0 ] || fail "DisplayVersion after /ALLOWDOWNGRADE: $(registry_value "$key" DisplayVersion)"
echo "upgrade in place: ok"
