#!/usr/bin/env bash
# Installation and removal without a window, against the local mirror, with
# drive D: mapped to a folder of the prefix: what lands where, the exit code
# of each run, and that no window of the installer exists at any moment
# (watched with xdotool and with the driver while each run goes on); a second
# run started while one runs ends at once with 1618, with a window or without.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin silent-install mirror "$@"
exe=$KANVEL_INSTALLER_EXE
d_root="$KANVEL_WINE_ROOT/drive-d"
c_drive=$(wine_c_drive)
wine_user=$(ls "$c_drive/users" | grep -v -x Public | head -n 1)
# Without /LOG, the run's log lies in the user's temporary folder.
default_log="$c_drive/users/$wine_user/Temp/Kanvel-Instalator.log"
watch_dir=$(mktemp -d)
on_journey_end 'rm -f "$WINEPREFIX/dosdevices/d:"; rm -rf "$d_root" "$watch_dir"'
rm -rf "$d_root" "$default_log"
mkdir -p "$d_root/Programy" "$d_root/Moje programy"
ln -sfn "$d_root" "$WINEPREFIX/dosdevices/d:"
desktop=$(wine_desktop_dir)
start_menu="$c_drive/users/$wine_user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
mirror="$KANVEL_BUILD_DIR/mirror/root"
installed="$d_root/Programy/OR-Vel"
# Start the driver's Wine side once, so that its first look during a run is quick.
drive windows Instalator.exe >/dev/null

# run_watched SECONDS ARGS...: runs the installer, records every visible X
# window and every top-level window of Instalator.exe seen while it runs,
# and sets RC (the exit code) and SECONDS_TAKEN; each look of the driver adds
# a line to $watch_dir/looks. Fails after SECONDS.
run_watched() {
  local seconds=$1; shift
  : >"$watch_dir/x11"; : >"$watch_dir/win32"; : >"$watch_dir/looks"
  local started; started=$(date +%s)
  wine "$exe" "$@" >/dev/null 2>&1 &
  INSTALLER_PID=$!
  (
    while kill -0 "$INSTALLER_PID" 2>/dev/null; do
      drive windows Instalator.exe >>"$watch_dir/win32" && echo >>"$watch_dir/looks"
    done
  ) &
  local watcher=$!
  while kill -0 "$INSTALLER_PID" 2>/dev/null; do
    for wid in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
      xdotool getwindowname "$wid" >>"$watch_dir/x11" 2>/dev/null
    done
    [ "$(date +%s)" -ge $(( started + seconds )) ] && fail "the run did not end within $seconds s ($*)"
    sleep 0.1
  done
  wait "$INSTALLER_PID"; RC=$?
  SECONDS_TAKEN=$(( $(date +%s) - started ))
  wait "$watcher" 2>/dev/null
  INSTALLER_PID=""
}

expect_no_window() {
  [ ! -s "$watch_dir/x11" ] || fail "$1: a window was shown: $(sort -u "$watch_dir/x11" | tr '\n' ' ')"
  [ ! -s "$watch_dir/win32" ] || fail "$1: the installer had windows: $(sort -u "$watch_dir/win32" | tr '\n' ' ')"
}

# expect_logged FILE PATTERN: the log (UTF-8, after its byte-order mark) has a matching line.
expect_logged() {
  [ "$(head -c 3 "$1" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "$(basename "$1") does not start with UTF-8's mark"
  tail -c +4 "$1" | grep -Eq -- "$2" || fail "no line /$2/ in $(basename "$1")"
}

# --- The watch itself sees a window: without /SILENT a bad option is explained in a box.
wine "$exe" /FOO >/dev/null 2>&1 &
INSTALLER_PID=$!
box=$(window_id "Instalator") || fail "no box for a bad option without /SILENT"
box_seen() { [ -n "$(xdotool search --onlyvisible --name '.' 2>/dev/null)" ]; }
wait_for 10 box_seen || fail "the watch does not see the box"
box_listed() { drive windows Instalator.exe | grep -q 'visible=1 title=Instalator'; }
wait_for 10 box_listed || fail "the driver does not see the box"
shot bad-option-box
xdotool key --window "$box" Return 2>/dev/null
journey_finish 20; rc=$?
[ "$rc" = 2 ] || fail "bad option: exit code $rc, expected 2"

# --- /? shows the usage in a box and ends with 0.
wine "$exe" "/?" >/dev/null 2>&1 &
INSTALLER_PID=$!
box=$(window_id "Instalator") || fail "no usage box"
shot usage-box
xdotool key --window "$box" Return 2>/dev/null
journey_finish 20; rc=$?
[ "$rc" = 0 ] || fail "usage: exit code $rc, expected 0"

# --- Without /ACCEPTLICENCE nothing happens.
run_watched 60 /SILENT /EDITION=Administrator "/DIR=D:\\Programy" /COMPONENTS=program,database
[ "$RC" = 3 ] || fail "no licence: exit code $RC, expected 3"
[ ! -e "$installed" ] || fail "no licence: something was installed"
[ ! -e "$desktop/Administrator 7.lnk" ] || fail "no licence: a shortcut was written"
expect_no_window "no licence"
expect_logged "$default_log" '\] kod wyjścia 3: '
rm -f "$default_log"

# --- A log that cannot be written (a device, a folder) ends the run before anything else.
exe_windows=$(winepath -w "$exe" 2>/dev/null)
for log in 'NUL' 'C:\windows'; do
  answer=$(drive run "\"$exe_windows\" /SILENT /ACCEPTLICENCE /EDITION=Administrator /DIR=D:\\Programy /LOG=$log")
  [ "$answer" = exit=2 ] || fail "/LOG=$log: $answer, expected exit=2"
done
# A log whose name is a link, symbolic or hard, is not written through either.
echo cel >"$d_root/cel.txt"
ln -s "$d_root/cel.txt" "$d_root/dowiazanie.log"
ln "$d_root/cel.txt" "$d_root/druga-nazwa.log"
for log in 'D:\dowiazanie.log' 'D:\druga-nazwa.log'; do
  answer=$(drive run "\"$exe_windows\" /SILENT /ACCEPTLICENCE /EDITION=Administrator /DIR=D:\\Programy /LOG=$log")
  [ "$answer" = exit=2 ] || fail "/LOG=$log (a link): $answer, expected exit=2"
done
[ "$(cat "$d_root/cel.txt")" = cel ] || fail "the log was written through a link: $(cat "$d_root/cel.txt")"
rm -f "$d_root/cel.txt" "$d_root/dowiazanie.log" "$d_root/druga-nazwa.log"
[ ! -e "$installed" ] || fail "a run whose log cannot be written installed something"

# --- The full unattended install.
run_watched 180 /SILENT /ACCEPTLICENCE /EDITION=Administrator "/DIR=D:\\Programy" /COMPONENTS=program,database
[ "$RC" = 0 ] || fail "install: exit code $RC, expected 0; log: $(tail -n 5 "$default_log")"
expect_no_window "install"
[ -s "$watch_dir/looks" ] || fail "install: the driver never looked while the installer ran"
cmp -s "$installed/Edytor2.exe" "$mirror/programy/wersja7/poprawki/Edytor2._exe" || fail "program file differs"
[ "$(ls "$installed/Format/Bkp6" | wc -l)" = 73 ] || fail "the pristine folder does not hold the 73 tables"
working=$(( $(ls "$installed/Format/Zestaw" | wc -l) + $(ls "$installed/Format/Dbf6" | wc -l) + $(ls "$installed/Format/Cfg" | wc -l) ))
[ "$working" = 73 ] || fail "the working folders hold $working tables, expected 73"
cmp -s "$installed/Format/Cfg/config36.val" "$mirror/programy/wersja7/bkp6/config36.val" || fail "config36.val differs"
for link in "$desktop/Administrator 7.lnk" "$start_menu/Velmarin/Administrator 7.lnk"; do
  [ -f "$link" ] || fail "no shortcut $link"
  lnkinfo "$link" 2>/dev/null | grep -q 'Edytor2.exe' || fail "shortcut $link does not start Edytor2.exe"
  [ "$(printf '0x%04X' "$(od -An -tu2 -j64 -N2 "$link")")" = 0x064B ] || fail "shortcut $link has no Ctrl+Alt+K"
done
[ ! -e "$installed/Sterowniki" ] || fail "the engine was not asked for"
expect_logged "$default_log" '\[Instalacja bez okna\] instalacja edycji Administrator w folderze D:\\Programy\\OR-Vel, '
expect_logged "$default_log" '\] kod wyjścia 0: zakończono pomyślnie'
echo "silent install: $SECONDS_TAKEN s"

# --- Removal: only the database folders stay, as removal intends.
run_watched 60 /silent /uninstall /edition=administrator "/DIR=D:\\Programy" "/LOG=D:\\usun.log"
[ "$RC" = 0 ] || fail "uninstall: exit code $RC, expected 0"
expect_no_window "uninstall"
[ ! -e "$installed/Edytor2.exe" ] || fail "program file not removed"
[ ! -e "$desktop/Administrator 7.lnk" ] || fail "desktop shortcut not removed"
[ ! -e "$start_menu/Velmarin" ] || fail "Start-menu group not removed"
[ -f "$installed/Format/Cfg/config.db" ] || fail "the database files must stay"
expect_logged "$d_root/usun.log" '\[Uwaga!\] "D:\\Programy\\OR-Vel" jest używany przez inny program'
expect_logged "$d_root/usun.log" '\] kod wyjścia 0: '

# --- One run at a time: while an install fetches from a slow mirror, a
# second run, without a window or with one, ends at once with 1618.
mirror_start 8k
partial="$d_root/Programy/OR-Vel/Edytor2p.exe.part"
partial_has_bytes() { [ -s "$partial" ]; }
wine "$exe" /SILENT /ACCEPTLICENCE /EDITION=Procesor "/DIR=D:\\Programy" "/LOG=D:\\pierwszy.log" >/dev/null 2>&1 &
first_run=$!
on_journey_end 'kill "$first_run" 2>/dev/null'
wait_for 60 partial_has_bytes || fail "the first run's download did not start"
# The exit code in full (a Unix exit status keeps only its low byte): as
# Windows gives it to whoever started the run, through the driver.
second=$(drive run "\"$exe_windows\" /SILENT /ACCEPTLICENCE /EDITION=Asystent /DIR=D:\\Programy /LOG=D:\\drugi.log")
[ "$second" = exit=1618 ] || fail "second run: $second, expected exit=1618"
expect_logged "$d_root/drugi.log" '\] kod wyjścia 1618: trwa inna instalacja'
kill -0 "$first_run" 2>/dev/null || fail "the first run ended before the second one did"
wine "$KANVEL_BUILD_DIR/kanvel-driver.exe" run "\"$exe_windows\"" >"$watch_dir/window-run" 2>/dev/null &
INSTALLER_PID=$!
box=$(window_id "Instalator") || fail "no box for a window run while another runs"
shot another-run-box
[ -z "$(xdotool search --name '^Warunki licencji$' 2>/dev/null)" ] || fail "a window run opened its window"
xdotool key --window "$box" Return 2>/dev/null
journey_finish 20 || fail "the driver failed to run the window run"
[ "$(tr -d '\r' <"$watch_dir/window-run")" = exit=1618 ] || fail "window run while another runs: $(cat "$watch_dir/window-run")"
first_done() { ! kill -0 "$first_run" 2>/dev/null; }
wait_for 120 first_done || fail "the first run did not end"
wait "$first_run"; rc=$?
[ "$rc" = 0 ] || fail "the first run: exit code $rc, expected 0"
[ -f "$d_root/Programy/OR-Vel/Edytor2p.exe" ] || fail "the first run did not install its program"

# --- The mirror stopped: the download code, well within the time-outs. The
# folder has a blank, so the argument arrives quoted.
mirror_stop
run_watched 120 /SILENT /ACCEPTLICENCE /EDITION=Koordynator "/DIR=D:\\Moje programy"
[ "$RC" = 4 ] || fail "mirror stopped: exit code $RC, expected 4"
expect_no_window "mirror stopped"
[ ! -e "$d_root/Moje programy/OR-Vel/Edytor3.exe" ] || fail "mirror stopped: a program file appeared"
expect_logged "$default_log" 'w folderze D:\\Moje programy\\OR-Vel'
expect_logged "$default_log" '\[Instalator\] Błąd połączenia z internetem'
expect_logged "$default_log" '\] kod wyjścia 4: '
echo "silent install, mirror stopped: $SECONDS_TAKEN s"
echo "silent install: ok"
