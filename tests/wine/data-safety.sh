#!/usr/bin/env bash
# Nothing of the user's lost, nothing of someone else's touched:
#  1. With no download server and one pristine table missing, the database
#     run stops with its notice and the user's edited working table stays.
#  2. An installation on C: made from the usual place is removed completely by
#     the installer started from a second drive (D:, where there is no
#     "\OR-Vel"), while another program's files of the same names at
#     "C:\Edytor3.exe" and "C:\Sterowniki\BDE\setup.exe" stay untouched.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin data-safety mirror-tree "$@"
c_drive=$(wine_c_drive)
d_drive="$WINEPREFIX/drive_d"
on_journey_end 'rm -rf "$c_drive/Edytor3.exe" "$c_drive/Sterowniki" "$d_drive" "$WINEPREFIX/dosdevices/d:"'
tables="$KANVEL_BUILD_DIR/mirror/root/programy/wersja7/bkp6"

# --- 1. Offline database run over the user's edited tables (no mirror runs yet).
format="$c_drive/OR-Vel/Format"
mkdir -p "$format/Bkp6" "$format/Dbf6"
cp "$tables"/* "$format/Bkp6/"
rm "$format/Bkp6/baza1.db"                       # an earlier run could not fetch it
printf 'edited by the user\n' >"$format/Dbf6/baza1.db"
accept_and_choose_koordynator
drive click "Baza danych 3.0 - 7.0" >/dev/null
wait_for 10 control_is "Pliki bazy danych (FORMAT)" "enabled=1 checked=0 visible=1" || fail "database button stayed disabled"
drive click "Pliki bazy danych (FORMAT)" >/dev/null
answer "Instalator" table-connection-failure      # the one missing table cannot be fetched
answer "Problem zewnętrzny!" database-notice      # the data set cannot be completed
[ "$(cat "$format/Dbf6/baza1.db")" = "edited by the user" ] || fail "the user's edited table was not kept"
cmp -s "$format/Zestaw/zestaw1.db" "$tables/zestaw1.db" || fail "the statement set was not copied"
drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
clean_installation_traces

# --- 2. Install on C: as usual, then remove it from a second drive.
mirror_start
accept_and_choose_koordynator
drive click "Instaluj" >/dev/null
wait_for 60 status_is "Instalacja zakończona pomyślnie" || fail "install did not finish: $(drive status)"
drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
[ -f "$c_drive/OR-Vel/Edytor3.exe" ] || fail "no program file after the install"

printf 'another program\n' >"$c_drive/Edytor3.exe"
mkdir -p "$c_drive/Sterowniki/BDE"
printf 'another setup\n' >"$c_drive/Sterowniki/BDE/setup.exe"
mkdir -p "$d_drive"
ln -sfn "$d_drive" "$WINEPREFIX/dosdevices/d:"
cp "$KANVEL_INSTALLER_EXE" "$d_drive/"
# Started from D:, whose root has no "\OR-Vel": the install folder stays "C:".
journey_start() {
  (cd "$d_drive" && exec wine 'D:\Instalator.exe' >/dev/null 2>&1) &
  INSTALLER_PID=$!
}
accept_and_choose_koordynator
wait_for 10 control_is "Usunięcie instalacji" "enabled=1 checked=0 visible=1" || fail "removal not offered"
drive click "Usunięcie instalacji" >/dev/null
wait_for 10 control_is "Usunięcie instalacji" "enabled=0 checked=0 visible=1" || fail "removal did not run"
shot removed-from-d
window_gone "Uwaga!" || fail "a notice appeared: a folder stayed"
[ ! -e "$c_drive/OR-Vel" ] || fail "C:\\OR-Vel was not removed: $(find "$c_drive/OR-Vel")"
[ -z "$(ls "$(wine_desktop_dir)"/*.lnk 2>/dev/null)" ] || fail "the desktop shortcut stayed"
[ "$(cat "$c_drive/Edytor3.exe")" = "another program" ] || fail "C:\\Edytor3.exe was touched"
[ "$(cat "$c_drive/Sterowniki/BDE/setup.exe")" = "another setup" ] || fail "C:\\Sterowniki\\BDE\\setup.exe was touched"
drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "data safety: ok"
