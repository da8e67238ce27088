#!/usr/bin/env bash
# Downloaded programs are started only when they are the maker's. The
# installer built with a publisher naming a throwaway test maker (and its
# expired earlier certificate, as after a renewal) meets a mirror of its own
# that serves, signed with certificates made here (the test CA trusted in
# this build's prefix only):
#   Koordynator (Edytor3)     the maker's signature            stored, started from "Uruchom"
#   Procesor (Edytor2p)       no signature                     refused
#   Administrator (Edytor2)   someone else's, unrelated        refused
#   Asystent (Edytor1a)       the maker's, changed after       refused
#   Konstruktor (Edytor1)     the maker's expired certificate, refused
#                             no time stamp
# Wine 8's WinVerifyTrust accepts the last two signers (0, as for any signature
# that matches its file): the publisher match and the certificate's validity
# at signing are the installer's own and refuse them here. The runs without a
# window end with exit code 7; "Uruchom" checks the file again and starts
# neither an unsigned nor a foreign-signed file put in its place.
# Usage: signed-programs.sh BUILD_DIR BASE_URL
set -u
work="$(cd "${1:?build folder}" && pwd)/tests/wine/signed-programs"
export KANVEL_MIRROR_DIR="$work/mirror"
source "$(dirname "$0")/journey-lib.sh"
pki="$work/pki"
mkdir -p "$work"
# The verifying installer (installers/signed, for the same download server as
# the build's own) names the maker of the certificates the build made in
# $pki; building it again does nothing unless they were made anew.
cmake --build "${1:?build folder}" --target Instalator_signed >"$work/build.log" 2>&1 \
  || { tail -n 30 "$work/build.log"; echo "FAIL: the signed installer" >&2; exit 1; }
installer_dir="$1/installers/signed"

journey_begin signed-programs mirror-tree "$@"
export KANVEL_INSTALLER_EXE="$installer_dir/Instalator.exe"
c_drive=$(wine_c_drive)
log_file="$c_drive/podpisy.log"
on_journey_end 'rm -f "$log_file"'
"$KANVEL_SOURCE_DIR/tools/wine/trust-test-ca.sh" "$KANVEL_BUILD_DIR" "$pki/ca.crt" || fail "the test CA was not trusted"

served="$KANVEL_MIRROR_DIR/root/programy/wersja7/poprawki"
sign() {  # sign CERTIFICATE FILE
  osslsigncode sign -certs "$pki/$1.crt" -key "$pki/$1.key" -h sha256 -in "$2" -out "$2.signed" >/dev/null \
    && mv "$2.signed" "$2" || fail "could not sign $2"
}
sign signing "$served/Edytor3._exe"
sign signing-other "$served/Edytor2._exe"
sign signing "$served/Edytor1a._exe"
printf 'X' | dd of="$served/Edytor1a._exe" bs=1 seek=2000 conv=notrunc 2>/dev/null
sign signing-expired "$served/Edytor1._exe"
sign signing "$KANVEL_MIRROR_DIR/root/sterowniki/bde/setup._exe"
# The maker publishes the list of the tree as it now is (the program changed
# after signing included: the list does not make it the maker's).
"$KANVEL_SOURCE_DIR/tools/release-list.sh" "$KANVEL_MIRROR_DIR/root" 7.0.0 "$pki/signing.crt" "$pki/signing.key" \
  >/dev/null || fail "the release list was not made"
mirror_start

# silent EDITION [OPTIONS...]: a run without a window; sets RC.
silent() {
  rm -f "$log_file"
  timeout -k 10 120 wine "$KANVEL_INSTALLER_EXE" /SILENT /ACCEPTLICENCE "/EDITION=$1" "${@:2}" '/LOG=C:\podpisy.log' \
    >/dev/null 2>&1
  RC=$?
}
# logged PATTERN: the log (UTF-8) has a matching line.
logged() { grep -Eq -- "$1" "$log_file" 2>/dev/null; }
partial_files() { find "$c_drive/OR-Vel" -name '*.part' 2>/dev/null; }

# --- Without a window: every program that is not the maker's is refused.
for refused in Procesor:Edytor2p Administrator:Edytor2 Asystent:Edytor1a Konstruktor:Edytor1; do
  edition=${refused%%:*} file="$c_drive/OR-Vel/${refused#*:}.exe"
  silent "$edition"
  [ "$RC" = 7 ] || fail "$edition: exit code $RC, expected 7; log: $(tail -n 3 "$log_file" 2>/dev/null)"
  [ ! -e "$file" ] || fail "$edition: the refused program was stored"
  [ -z "$(partial_files)" ] || fail "$edition: a partial file stayed: $(partial_files)"
  logged '\[Instalator\] Nieudane pobranie pliku: plik nie ma ważnego podpisu cyfrowego producenta' \
    || fail "$edition: the log does not say why"
done
# The maker's program and engine installer are stored; the engine installer
# would be started (the run without a window names it instead).
silent Koordynator /COMPONENTS=program,engine
[ "$RC" = 0 ] || fail "Koordynator: exit code $RC, expected 0; log: $(tail -n 3 "$log_file")"
cmp -s "$c_drive/OR-Vel/Edytor3.exe" "$served/Edytor3._exe" || fail "Koordynator: the program was not stored"
logged 'nie uruchomiono: C:\\OR-Vel\\Sterowniki\\BDE\\setup\.exe' || fail "Koordynator: the engine installer was not accepted"

# --- In the window, "Uruchom" checks the program file right before it starts it.
accept_and_choose_koordynator
drive click "Instaluj" >/dev/null
answer_warning replace-notice
wait_for 60 status_is "Instalacja zakończona pomyślnie" || fail "install did not finish: $(drive status)"
not_started="\"C:\\OR-Vel\\Edytor3.exe\" nie ma ważnego podpisu cyfrowego producenta i nie zostanie uruchomiony."
for replacement in "$KANVEL_BUILD_DIR/tools/demo/Edytor3.exe:unsigned" "$served/Edytor2._exe:foreign"; do
  cp "${replacement%:*}" "$c_drive/OR-Vel/Edytor3.exe"
  click_on "Uruchom"
  wait_for 30 control_is "Plik $not_started" "enabled=1 checked=0 visible=1" \
    || fail "${replacement##*:} program: no notice that it is not started"
  answer_warning "${replacement##*:}-not-started"
  kill -0 "$INSTALLER_PID" 2>/dev/null || fail "${replacement##*:} program: the installer ended"
  window_gone "Kanvel Koordynator 7\.0 \(wersja demonstracyjna\)" || fail "${replacement##*:} program: it was started"
done
cp "$served/Edytor3._exe" "$c_drive/OR-Vel/Edytor3.exe"
click_on "Uruchom"
wait_for 30 xdotool search --name '^Kanvel Koordynator 7\.0 \(wersja demonstracyjna\)$' \
  || fail "the maker's program was not started"
shot started
journey_finish 30 || fail "exit code $?"
drive close "Kanvel Koordynator 7.0 (wersja demonstracyjna)" >/dev/null
echo "signed programs: ok"
