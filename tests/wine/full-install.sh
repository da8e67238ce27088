#!/usr/bin/env bash
# The whole journey against the local download mirror: install every
# component of "Koordynator", check what landed where, start the installed
# program with "Uruchom"; then, in a second run, install the program file
# again over the old one and remove the installation. Partial files that
# killed downloads left behind are replaced by the install and deleted by the
# removal.
# Usage: full-install.sh BUILD_DIR BASE_URL
#        full-install.sh BUILD_DIR --installer-build INSTALLER_DIR
# The second form runs the installer of another build (the one made for the
# TLS mirror) with this build's tools, against the URL it was built for; an
# https URL gets the TLS mirror, whose test CA is trusted in this build's
# Wine prefix only.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin full-install mirror "$@"
case "$BASE_URL" in [Hh][Tt][Tt][Pp][Ss]:*) JOURNEY_NAME=full-install-https ;; esac
c_drive=$(wine_c_drive)
desktop=$(wine_desktop_dir)
wine_user=$(ls "$c_drive/users" | grep -v -x Public | head -n 1)
start_menu="$c_drive/users/$wine_user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
mirror="$KANVEL_BUILD_DIR/mirror/root"
if [ "$JOURNEY_NAME" = full-install-https ]; then
  "$KANVEL_SOURCE_DIR/tools/wine/trust-test-ca.sh" "$KANVEL_BUILD_DIR" "$KANVEL_BUILD_DIR/mirror/tls/ca.crt" \
    || fail "test CA not trusted"
fi
access_log="$KANVEL_BUILD_DIR/mirror/logs/access.log"
log_start=$(( $(cat "$access_log" 2>/dev/null | wc -l) + 1 ))
# The mirror's log of this journey: "ADDRESS SCHEME:PORT "REQUEST" STATUS BYTES "USER"".
journey_requests() { tail -n +"$log_start" "$access_log"; }

# What runs killed mid-download leave behind: a partial file per target.
leave_partial_files() {
  mkdir -p "$c_drive/OR-Vel/Sterowniki/BDE"
  printf 'MZ half of a killed download' >"$c_drive/OR-Vel/Edytor3.exe.part"
  printf 'MZ half' >"$c_drive/OR-Vel/Sterowniki/BDE/setup.exe.part"
}

# --- First run: everything.
leave_partial_files
install_all_components
wait_for 120 status_is "Instalacja zakończona pomyślnie" || fail "install did not finish: $(drive status)"
shot finished

cmp -s "$c_drive/OR-Vel/Edytor3.exe" "$mirror/programy/wersja7/poprawki/Edytor3._exe" || fail "program file differs"
cmp -s "$c_drive/OR-Vel/Sterowniki/BDE/setup.exe" "$mirror/sterowniki/bde/setup._exe" || fail "engine installer differs"
for set in Zestaw/zestaw5.px Dbf6/baza42.px Cfg/config36.val Bkp6/config.db; do
  cmp -s "$c_drive/OR-Vel/Format/$set" "$mirror/programy/wersja7/bkp6/${set#*/}" || fail "database file $set"
done
[ "$(ls "$c_drive/OR-Vel/Format/Bkp6" | wc -l)" = 73 ] || fail "pristine folder does not hold the 73 tables"
leftovers=$(find "$c_drive/OR-Vel" -name '*.part')
[ -z "$leftovers" ] || fail "partial files stayed after the install: $leftovers"
for link in "$desktop/Koordynator 7.lnk" "$start_menu/Velmarin/Koordynator 7.lnk"; do
  [ -f "$link" ] || fail "no shortcut $link"
  lnkinfo "$link" 2>/dev/null | grep -q 'Edytor3.exe' || fail "shortcut $link does not start Edytor3.exe"
done
# Every file came from the scheme and port the installer was built for,
# the program file with the credentials.
scheme_port=$(printf '%s\n' "$BASE_URL" | sed -E 's#^([a-zA-Z]+)://[^/]*:([0-9]+)/.*#\1:\2#' | tr '[:upper:]' '[:lower:]')
[ "$(journey_requests | grep -c " $scheme_port \"GET /programy/wersja7/bkp6/.* 200 ")" = 73 ] \
  || fail "the 73 tables did not come over $scheme_port"
journey_requests | grep -q " $scheme_port \"GET /programy/wersja7/poprawki/Edytor3._exe HTTP/1.1\" 200 .* \"kanvel8\"\$" \
  || fail "the program file did not come over $scheme_port with the credentials"
other=$(journey_requests | grep -v " $scheme_port ")
[ -z "$other" ] || fail "requests over another scheme or port: $other"
expect_state "Uruchom" "enabled=1 checked=0 visible=1"
expect_state "Usunięcie instalacji" "enabled=1 checked=0 visible=1"

drive click "Uruchom" >/dev/null
wait_for 30 xdotool search --name "^Kanvel Koordynator 7.0 \(wersja demonstracyjna\)$" || fail "the installed program did not start"
# An elevated installer (Wine reports every process of the prefix elevated)
# has the desktop's shell start the program, so that it runs as the user
# signed in; one that is not elevated starts it itself.
starter=$(drive parent "Kanvel Koordynator 7.0 (wersja demonstracyjna)") || fail "no process behind the program's window"
if [ "$(drive elevated)" = 1 ]; then
  [ "$starter" = EXPLORER.EXE ] || fail "the elevated installer started the program itself (its starter: $starter)"
else
  [ "$starter" != EXPLORER.EXE ] || fail "the installer, not elevated, had the shell start the program"
fi
journey_finish 30 || fail "installer exit code $?"
shot started
wine_stop

# --- Second run: the program file again, then removal.
accept_and_choose_koordynator
drive click "Instaluj" >/dev/null
answer_warning replace-notice
wait_for 60 status_is "Instalacja zakończona pomyślnie" || fail "second install: $(drive status)"
leave_partial_files
drive click "Usunięcie instalacji" >/dev/null
answer_warning folder-still-used   # the database folders keep C:\OR-Vel
wait_for 10 control_is "Usunięcie instalacji" "enabled=0 checked=0 visible=1" || fail "removal stayed offered"
[ ! -e "$c_drive/OR-Vel/Edytor3.exe" ] || fail "program file not removed"
[ ! -e "$c_drive/OR-Vel/Edytor3.exe.part" ] || fail "partial program file not removed"
[ ! -e "$c_drive/OR-Vel/Sterowniki" ] || fail "engine folders not removed"
[ ! -e "$desktop/Koordynator 7.lnk" ] || fail "desktop shortcut not removed"
[ ! -e "$start_menu/Velmarin" ] || fail "Start-menu group not removed"
[ -f "$c_drive/OR-Vel/Format/Cfg/config.db" ] || fail "the database files must stay"
shot removed
drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "full install ($BASE_URL): ok"
