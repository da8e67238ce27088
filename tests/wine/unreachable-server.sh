#!/usr/bin/env bash
# The download server is down (nothing listens where the installer looks for
# it): an unattended install of the program and the database ends within a
# minute: each of the 73 tables is reported on its own line of the run's log,
# the database step then ends at its first missing table (so the program is
# not asked for), and the exit code says that a download failed. The first
# file that finds no connection is tried again after its pauses; every later
# one is tried once.
# Usage: unreachable-server.sh BUILD_DIR BASE_URL
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin unreachable-server plain "$@"
target_seconds=60
log="$KANVEL_WINE_ROOT/unreachable-server.log"
rm -f "$log"
on_journey_end 'rm -f "$log"'

# Nothing may answer at the server's address.
server=${BASE_URL#*://}
server=${server%%/*}
host=${server%%:*}
port=${server##*:}
if (exec 3<>"/dev/tcp/$host/$port") 2>/dev/null; then fail "something listens on $server"; fi

started=$(date +%s%N)
journey_start "$KANVEL_INSTALLER_EXE" /SILENT /ACCEPTLICENCE /EDITION=Koordynator /COMPONENTS=program,database \
  "/LOG=$(winepath -w "$log" 2>/dev/null)"
journey_finish "$target_seconds"; rc=$?
taken_ms=$(( ($(date +%s%N) - started) / 1000000 ))
echo "with the server down the run ended after $taken_ms ms (target: ${target_seconds} s)"

[ "$rc" = 4 ] || fail "exit code $rc, expected 4; log: $(tail -n 5 "$log")"
reports=$(tr -d '\r' <"$log" | grep -c 'Błąd połączenia z internetem$')
[ "$reports" = 73 ] || fail "$reports files reported a failed connection, expected the 73 tables"
tr -d '\r' <"$log" | grep -q 'Niemożliwe przekazanie danych do bazy tymczasowej' ||
  fail "the database step did not end at its first missing table"
tr -d '\r' <"$log" | grep -q 'kod wyjścia 4: ' || fail "the log does not name exit code 4"
[ ! -e "$(wine_c_drive)/OR-Vel/Edytor3.exe" ] || fail "a program file appeared"
echo "unreachable server: ok"
