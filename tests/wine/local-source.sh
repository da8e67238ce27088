#!/usr/bin/env bash
# A copy of the server for deployment: /LAYOUT makes it from the mirror (every
# file as the mirror has it, the mirror's signed release list with them,
# unchanged); a second /LAYOUT after one file was deleted asks the mirror for
# that file alone (besides the list). With
# the mirror stopped, a full install without a window takes everything from
# the copy (/SOURCE) and the mirror sees no request; one changed byte in one
# table of the copy is refused with 12 and named in the log, and so is a table
# that a link in the copy leads to outside it; and the window
# started with /SOURCE installs from the copy too.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin local-source mirror "$@"
exe=$KANVEL_INSTALLER_EXE
d_root="$KANVEL_WINE_ROOT/drive-d"
c_drive=$(wine_c_drive)
desktop=$(wine_desktop_dir)
wine_user=$(ls "$c_drive/users" | grep -v -x Public | head -n 1)
start_menu="$c_drive/users/$wine_user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
on_journey_end 'rm -f "$WINEPREFIX/dosdevices/d:"; rm -rf "$d_root"'
rm -rf "$d_root"
mkdir -p "$d_root"
ln -sfn "$d_root" "$WINEPREFIX/dosdevices/d:"
mirror="$KANVEL_BUILD_DIR/mirror/root"
copy="$d_root/pliki"
list="$copy/Kanvel-pliki.txt"
access_log="$KANVEL_BUILD_DIR/mirror/logs/access.log"
requests() { cat "$access_log" 2>/dev/null | wc -l; }

# run SECONDS ARGS...: the installer without a window; sets RC.
run() {
  local seconds=$1; shift
  wine "$exe" "$@" >/dev/null 2>&1 &
  INSTALLER_PID=$!
  journey_finish "$seconds"; RC=$?
}

# logged FILE PATTERN: the run's log (UTF-8, after its mark) has a matching line.
logged() { tail -c +4 "$1" | tr -d '\r' | grep -Eq -- "$2" || fail "no line /$2/ in $(basename "$1"): $(tail -c +4 "$1" | tail -n 3)"; }

# --- The copy, from the mirror.
run 300 "/LAYOUT=D:\\pliki" "/LOG=D:\\kopia.log"
[ "$RC" = 0 ] || fail "/LAYOUT: exit code $RC, expected 0; log: $(tail -n 3 "$d_root/kopia.log")"
[ "$(head -n 2 "$list")" = $'kanvel-layout 2\nrelease 7.0.0' ] || fail "the list does not start with its version and release"
cmp -s "$list" "$mirror/Kanvel-pliki.txt" && cmp -s "$list.p7s" "$mirror/Kanvel-pliki.txt.p7s" \
  || fail "the copy's list and signature are not the mirror's"
files=$(sed -n '3,$p' "$list" | grep -v '^end ')
[ "$(printf '%s\n' "$files" | wc -l)" = 79 ] || fail "the list names $(printf '%s\n' "$files" | wc -l) files, expected 5 + 1 + 73"
# Every listed file is the mirror's, and its SHA-256 (Windows' CNG) is sha256sum's.
printf '%s\n' "$files" | while read -r sum size path; do
  cmp -s "$copy/$path" "$mirror/$path" || fail "$path in the copy differs from the mirror's"
  [ "$(stat -c %s "$copy/$path")" = "$size" ] || fail "$path: size $size in the list"
  [ "$(sha256sum <"$copy/$path" | cut -d' ' -f1)" = "$sum" ] || fail "$path: SHA-256 in the list is not the file's"
done || exit 1
[ -f "$copy/sterowniki/bde/setup._exe" ] || fail "the engine installer is not under its server name"
[ "$(ls "$copy/programy/wersja7/poprawki" | wc -l)" = 5 ] || fail "the copy does not hold the five programs"
logged "$d_root/kopia.log" '\] pobrano: programy/wersja7/bkp6/config36.val$'
logged "$d_root/kopia.log" '\] kod wyjścia 0: '

# --- A second /LAYOUT after one file was deleted fetches that file alone.
rm "$copy/programy/wersja7/bkp6/baza42.px"
before=$(requests)
run 300 "/LAYOUT=D:\\pliki" "/LOG=D:\\kopia2.log"
[ "$RC" = 0 ] || fail "second /LAYOUT: exit code $RC, expected 0"
asked=$(tail -n +"$(( before + 1 ))" "$access_log" | grep -v '/Kanvel-pliki\.txt')
[ "$(printf '%s\n' "$asked" | grep -c .)" = 1 ] || fail "second /LAYOUT made these requests: $asked"
printf '%s\n' "$asked" | grep -q '"GET /programy/wersja7/bkp6/baza42.px HTTP/1.1" 200 ' || fail "second /LAYOUT asked for: $asked"
cmp -s "$copy/programy/wersja7/bkp6/baza42.px" "$mirror/programy/wersja7/bkp6/baza42.px" || fail "baza42.px not fetched again"
logged "$d_root/kopia2.log" '\] bez zmian: programy/wersja7/poprawki/Edytor2._exe$'

# --- The mirror stopped: a full install from the copy, without a request.
mirror_stop
before=$(requests)
run 300 /SILENT /ACCEPTLICENCE /EDITION=Administrator "/DIR=D:\\Programy" /COMPONENTS=program,database,engine \
  "/SOURCE=D:\\pliki" "/LOG=D:\\instalacja.log"
[ "$RC" = 0 ] || fail "install from the copy: exit code $RC, expected 0; log: $(tail -n 5 "$d_root/instalacja.log")"
[ "$(requests)" = "$before" ] || fail "the mirror was asked during the install from the copy"
installed="$d_root/Programy/OR-Vel"
cmp -s "$installed/Edytor2.exe" "$copy/programy/wersja7/poprawki/Edytor2._exe" || fail "program file differs"
cmp -s "$installed/Sterowniki/BDE/setup.exe" "$copy/sterowniki/bde/setup._exe" || fail "engine installer differs"
[ "$(ls "$installed/Format/Bkp6" | wc -l)" = 73 ] || fail "the pristine folder does not hold the 73 tables"
working=$(( $(ls "$installed/Format/Zestaw" | wc -l) + $(ls "$installed/Format/Dbf6" | wc -l) + $(ls "$installed/Format/Cfg" | wc -l) ))
[ "$working" = 73 ] || fail "the working folders hold $working tables, expected 73"
for link in "$desktop/Administrator 7.lnk" "$start_menu/Velmarin/Administrator 7.lnk"; do
  [ -f "$link" ] || fail "no shortcut $link"
done
logged "$d_root/instalacja.log" '\] pliki z kopii: D:\\pliki$'
logged "$d_root/instalacja.log" '\] kod wyjścia 0: '

# --- One changed byte in one table of the copy: refused, named, 12.
table="$copy/programy/wersja7/bkp6/config36.val"
printf 'X' | dd of="$table" bs=1 seek=10 conv=notrunc status=none
run 300 /SILENT /ACCEPTLICENCE /EDITION=Procesor "/DIR=D:\\Drugi" /COMPONENTS=program,database \
  "/SOURCE=D:\\pliki" "/LOG=D:\\zmieniony.log"
[ "$RC" = 12 ] || fail "changed table: exit code $RC, expected 12; log: $(tail -n 5 "$d_root/zmieniony.log")"
logged "$d_root/zmieniony.log" \
  '\] Nieudane pobranie pliku: plik niezgodny z listą plików kopii: programy/wersja7/bkp6/config36.val$'
logged "$d_root/zmieniony.log" '\] kod wyjścia 12: '
[ ! -e "$d_root/Drugi/OR-Vel/Format/Bkp6/config36.val" ] || fail "the changed table was stored"
[ -z "$(find "$d_root/Drugi" -name '*.part')" ] || fail "a partial file stayed"
cp "$mirror/programy/wersja7/bkp6/config36.val" "$table"

# --- The same bytes through a link in the copy to a file outside it: Wine
# shows a Unix link to a file as a plain file, but the handle's final path
# names where it lies; refused, named, 12.
outside="$d_root/obce"
mkdir -p "$outside"
mv "$table" "$outside/config36.val"
ln -s "$outside/config36.val" "$table"
run 300 /SILENT /ACCEPTLICENCE /EDITION=Procesor "/DIR=D:\\Trzeci" /COMPONENTS=program,database \
  "/SOURCE=D:\\pliki" "/LOG=D:\\dowiazanie.log"
[ "$RC" = 12 ] || fail "linked table: exit code $RC, expected 12; log: $(tail -n 5 "$d_root/dowiazanie.log")"
logged "$d_root/dowiazanie.log" \
  '\] Nieudane pobranie pliku: plik jest dowiązaniem lub leży poza folderem kopii: programy/wersja7/bkp6/config36.val$'
[ ! -e "$d_root/Trzeci/OR-Vel/Format/Bkp6/config36.val" ] || fail "the linked table was stored"
rm "$table"
mv "$outside/config36.val" "$table"

# --- The window started with /SOURCE installs from the copy as well, into the
# family folder of the edition already installed (its entry's location).
before=$(requests)
accept_and_choose_koordynator "/SOURCE=D:\\pliki"
control_is 'D:\Programy' "enabled=1 checked=0 visible=1" || fail "the window does not start where Administrator lies"
drive click "Instaluj" >/dev/null
wait_for 120 status_is "Instalacja zakończona pomyślnie" || fail "window install did not finish: $(drive status)"
shot window-from-copy
cmp -s "$installed/Edytor3.exe" "$copy/programy/wersja7/poprawki/Edytor3._exe" || fail "window: program file differs"
[ ! -e "$c_drive/OR-Vel" ] || fail "the window installed into C:\\OR-Vel"
[ "$(requests)" = "$before" ] || fail "the mirror was asked during the window's install"
echo "local source: ok"
