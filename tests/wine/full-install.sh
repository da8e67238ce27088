#!/usr/bin/env bash
# The whole journey against the local download mirror: install every
# component of "Koordynator", check what landed where, start the installed
# program with "Uruchom"; then, in a second run, install the program file
# again over the old one and remove the installation.
set -u
build_dir=$1
base_url=${2:-http://127.0.0.1:18080/}
mirror_port=$(printf '%s\n' "$base_url" | sed -E 's#^[a-zA-Z]+://[^/:]+:([0-9]+)/.*#\1#')
source "$(dirname "$0")/../../tools/wine/env.sh" "$build_dir"
JOURNEY_NAME=full-install
source "$(dirname "$0")/journey-lib.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)
c_drive=$(wine_c_drive)
cleanup() {
  "$root/tools/mirror/stop.sh" "$build_dir" >/dev/null 2>&1
  [ -f "$WINEPREFIX/system.reg" ] && clean_installation_traces
  wine_stop; kanvel_xvfb_stop
}
trap cleanup EXIT
wine_prepare
clean_installation_traces
desktop=$(wine_desktop_dir)
wine_user=$(ls "$c_drive/users" | grep -v -x Public | head -n 1)
start_menu="$c_drive/users/$wine_user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
"$root/tools/mirror/make-tree.sh" "$build_dir" >/dev/null || fail "mirror tree"
"$root/tools/mirror/start.sh" "$build_dir" "$mirror_port" >/dev/null || fail "mirror did not start on $mirror_port"
mirror="$build_dir/mirror/root"

# Answers the next "Uwaga!" window (notice or message box) with Enter.
answer_warning() {
  wait_for "${2:-30}" xdotool search --name '^Uwaga!$' || fail "no \"Uwaga!\" window ($1)"
  shot "$1"
  xdotool key --window "$(xdotool search --name '^Uwaga!$' | head -n 1)" Return 2>/dev/null
  wait_for 10 window_gone "Uwaga!" || fail "the \"Uwaga!\" window did not close ($1)"
}

accept_and_choose_koordynator() {
  start_and_wait_for_reveal
  xdotool click 1
  wait_for 30 mouse_at $(( WX + 14 + 50 )) $(( WY + 34 + 77 + 45 )) || fail "no glide onto the editions"
  xdotool click 1
  wait_for 10 status_is "Instalacja programu Kanvel Koordynator 7.0" || fail "edition not chosen"
}

# --- First run: everything.
accept_and_choose_koordynator
drive click "Baza danych 3.0 - 7.0" >/dev/null
drive click "Paradox (BDE)" >/dev/null
wait_for 10 control_is "Paradox (BDE)" "enabled=1 checked=1 visible=1" || fail "engine box not ticked"
drive click "Instaluj" >/dev/null
answer_warning engine-notice
wait_for 60 xdotool search --name "^Instalator silnika bazy danych \(wersja demonstracyjna\)$" \
  || fail "the engine installer was not started"
wait_for 120 status_is "Instalacja zakończona pomyślnie" || fail "install did not finish: $(drive status)"
shot finished

cmp -s "$c_drive/OR-Vel/Edytor3.exe" "$mirror/programy/wersja7/poprawki/Edytor3._exe" || fail "program file differs"
cmp -s "$c_drive/OR-Vel/Sterowniki/BDE/setup.exe" "$mirror/sterowniki/bde/setup._exe" || fail "engine installer differs"
for set in Zestaw/zestaw5.px Dbf6/baza42.px Cfg/config36.val Bkp6/config.db; do
  cmp -s "$c_drive/OR-Vel/Format/$set" "$mirror/programy/wersja7/bkp6/${set#*/}" || fail "database file $set"
done
[ "$(ls "$c_drive/OR-Vel/Format/Bkp6" | wc -l)" = 73 ] || fail "pristine folder does not hold the 73 tables"
for link in "$desktop/Koordynator 7.lnk" "$start_menu/Velmarin/Koordynator 7.lnk"; do
  [ -f "$link" ] || fail "no shortcut $link"
  lnkinfo "$link" 2>/dev/null | grep -q 'Edytor3.exe' || fail "shortcut $link does not start Edytor3.exe"
done
expect_state "Uruchom" "enabled=1 checked=0 visible=1"
expect_state "Usunięcie instalacji" "enabled=1 checked=0 visible=1"

drive click "Uruchom" >/dev/null
wait_for 30 xdotool search --name "^Kanvel Koordynator 7.0 \(wersja demonstracyjna\)$" || fail "the installed program did not start"
journey_finish 30 || fail "installer exit code $?"
shot started
wine_stop

# --- Second run: the program file again, then removal.
accept_and_choose_koordynator
drive click "Instaluj" >/dev/null
answer_warning replace-notice
wait_for 60 status_is "Instalacja zakończona pomyślnie" || fail "second install: $(drive status)"
drive click "Usunięcie instalacji" >/dev/null
answer_warning folder-still-used   # the database folders keep C:\OR-Vel
wait_for 10 control_is "Usunięcie instalacji" "enabled=0 checked=0 visible=1" || fail "removal stayed offered"
[ ! -e "$c_drive/OR-Vel/Edytor3.exe" ] || fail "program file not removed"
[ ! -e "$c_drive/OR-Vel/Sterowniki" ] || fail "engine folders not removed"
[ ! -e "$desktop/Koordynator 7.lnk" ] || fail "desktop shortcut not removed"
[ ! -e "$start_menu/Velmarin" ] || fail "Start-menu group not removed"
[ -f "$c_drive/OR-Vel/Format/Cfg/config.db" ] || fail "the database files must stay"
shot removed
drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "full install: ok"
