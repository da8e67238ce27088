#!/usr/bin/env bash
# The installer built for the TLS mirror meets a mirror whose certificate
# authority this prefix does not trust: the program file's download fails
# with the download's other-failure message naming the secure connection,
# the older program file stays byte for byte, no partial file stays, and no
# request (so no credentials) reaches the server.
# Usage: untrusted-mirror.sh BUILD_DIR --installer-build INSTALLER_DIR
set -u
# A mirror of its own, with test certificates made for it alone and never trusted.
export KANVEL_MIRROR_DIR="$1/tests/wine/untrusted-mirror"
rm -rf "$KANVEL_MIRROR_DIR/tls"
source "$(dirname "$0")/journey-lib.sh"
journey_begin untrusted-mirror mirror "$@"
c_drive=$(wine_c_drive)
program="$c_drive/OR-Vel/Edytor3.exe"
: >"$KANVEL_MIRROR_DIR/logs/access.log"
mkdir -p "$c_drive/OR-Vel"
printf 'MZ older program' >"$program"

accept_and_choose_koordynator
drive click "Instaluj" >/dev/null
answer_warning replace-notice
wait_for 30 control_is "Nieudane pobranie pliku: Nie można nawiązać bezpiecznego połączenia z serwerem." \
  "enabled=1 checked=0 visible=1" || fail "no message about the secure connection"
shot refused
xdotool key --window "$(xdotool search --name '^Instalator$' | head -n 1)" Return 2>/dev/null
answer_warning aborted   # "Instalacja przerwana."
[ "$(cat "$program")" = "MZ older program" ] || fail "the older program file changed"
[ -z "$(find "$c_drive/OR-Vel" -name '*.part')" ] || fail "a partial file stayed"
[ ! -s "$KANVEL_MIRROR_DIR/logs/access.log" ] || fail "requests reached the server: $(cat "$KANVEL_MIRROR_DIR/logs/access.log")"
drive click "Zamknij" >/dev/null
journey_finish 30 || fail "exit code $?"
echo "untrusted mirror: ok"
