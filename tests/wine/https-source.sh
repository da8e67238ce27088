#!/usr/bin/env bash
# A copy of the server served over HTTPS: the installer built for the TLS
# mirror makes a copy in a folder the mirror serves (/LAYOUT), then installs
# without a window from its address (/SOURCE=https://...): every request of
# the install asks the copy's address (its list, the program file, the 73
# tables), none the server's own folders, and none carries the maker's
# credentials.
# Usage: https-source.sh BUILD_DIR --installer-build INSTALLER_DIR
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin https-source mirror "$@"
exe=$KANVEL_INSTALLER_EXE
c_drive=$(wine_c_drive)
mirror="$KANVEL_BUILD_DIR/mirror/root"
copy="$mirror/kopia"
access_log="$KANVEL_BUILD_DIR/mirror/logs/access.log"
on_journey_end 'rm -rf "$copy"'
rm -rf "$copy"
"$KANVEL_SOURCE_DIR/tools/wine/trust-test-ca.sh" "$KANVEL_BUILD_DIR" "$KANVEL_BUILD_DIR/mirror/tls/ca.crt" \
  || fail "test CA not trusted"

run() {
  wine "$exe" "$@" >/dev/null 2>&1 &
  INSTALLER_PID=$!
  journey_finish 300; RC=$?
}

mkdir -p "$copy"
run "/LAYOUT=$(winepath -w "$copy" 2>/dev/null)" "/LOG=C:\\kopia.log"
[ "$RC" = 0 ] || fail "/LAYOUT over HTTPS: exit code $RC; log: $(tail -n 3 "$c_drive/kopia.log")"
[ -f "$copy/Kanvel-pliki.txt" ] || fail "no list in the copy"

before=$(wc -l <"$access_log")
run /SILENT /ACCEPTLICENCE /EDITION=Koordynator /COMPONENTS=program,database \
  "/SOURCE=${BASE_URL}kopia/" "/LOG=C:\\instalacja.log"
[ "$RC" = 0 ] || fail "install from the HTTPS copy: exit code $RC; log: $(tail -c +4 "$c_drive/instalacja.log" | tail -n 5)"
asked=$(tail -n +"$(( before + 1 ))" "$access_log")
[ "$(printf '%s\n' "$asked" | grep -c '"GET /kopia/.* 200 ')" = 76 ] \
  || fail "expected 76 answers from the copy (list, its signature, program, 73 tables): $(printf '%s\n' "$asked" | head -n 5)"
[ -z "$(printf '%s\n' "$asked" | grep -v '"GET /kopia/')" ] || fail "requests outside the copy: $(printf '%s\n' "$asked" | grep -v '"GET /kopia/')"
[ -z "$(printf '%s\n' "$asked" | grep -v '"-"$')" ] || fail "credentials were sent to the copy"
cmp -s "$c_drive/OR-Vel/Edytor3.exe" "$copy/programy/wersja7/poprawki/Edytor3._exe" || fail "program file differs"
[ "$(ls "$c_drive/OR-Vel/Format/Bkp6" | wc -l)" = 73 ] || fail "the pristine folder does not hold the 73 tables"
echo "https source: ok"
