#!/usr/bin/env bash
# A window run of the installer kept in an installation works where it lies:
# started from C:\OR-Vel\Instalator.exe, as a user who opens the folder (or
# the entry's "Modify") starts it, it makes no copy of itself in the
# temporary folder, and the notice that the message log keeps (an engine
# installer Windows cannot start, with no download server) lands in
# Komunikaty.err beside it.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin kept-copy plain "$@"   # no mirror runs
c_drive=$(wine_c_drive)
wine_user=$(ls "$c_drive/users" | grep -v -x Public | head -n 1)
temporary="$c_drive/users/$wine_user/Temp"
kept_folder="$c_drive/OR-Vel"
on_journey_end 'rm -rf "$c_drive/pobrane"'   # C:\OR-Vel and the temporary copies go with the prefix's traces
mkdir -p "$kept_folder" "$c_drive/pobrane"
cp "$KANVEL_INSTALLER_EXE" "$kept_folder/Instalator.exe"
printf 'not a program\r\n' > "$c_drive/pobrane/setup._exe"

KANVEL_INSTALLER_EXE="$kept_folder/Instalator.exe" accept_and_choose_koordynator
install_engine_that_cannot_start
grep -aq 'Sterowniki\\BDE\\setup.exe' "$kept_folder/Komunikaty.err" 2>/dev/null \
  || fail "no message log beside the kept installer naming the engine installer"
answer "Instalator" program-connection-failure
answer "Uwaga!" download-required
drive click "Zamknij" >/dev/null
journey_finish 30
code=$?
[ "$code" -eq 15 ] || fail "exit code $code, not 15"
copies=$(cd "$temporary" && ls -d Kanvel-*/ 2>/dev/null)
[ -z "$copies" ] || fail "the kept installer's window run went on from a temporary copy: $copies"
echo "kept copy: ok"
