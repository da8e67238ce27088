#!/usr/bin/env bash
# The signed release list under Wine, with the installer that names a
# throwaway test maker (installers/signed) and a mirror of its own whose list
# is made and signed here by tools/release-list.sh (the test CA trusted in
# this build's prefix only). Runs without a window, one rule at a time:
#   the maker's list             installed; DisplayVersion is the list's release
#   a table changed after it     refused (12) and not stored; the other tables stored
#   the list changed after       refused before any file (18)
#   another signer's list        refused before any file (18)
#   the maker's expired cert     refused before any file (18)
#   a server certificate         refused before any file (18)
#   a signature cut short, or    refused before any file (18)
#     its value changed
#   no list                      refused before any file (18)
#   an older release's list      refused (16); accepted with /ALLOWDOWNGRADE
#   /LAYOUT                      the copy holds the list and its signature unchanged
#   /SOURCE, list changed and    refused before any file (18)
#     sealed again
# The log of each refused list gives what Wine's crypt32 answered (the code
# after "kod"), printed at the end.
# Usage: release-list.sh BUILD_DIR BASE_URL
set -u
work="$(cd "${1:?build folder}" && pwd)/tests/wine/release-list"
export KANVEL_MIRROR_DIR="$work/mirror"
source "$(dirname "$0")/journey-lib.sh"
# The signed installer's maker, made when that installer was configured.
pki="$(cd "$1" && pwd)/tests/wine/signed-programs/pki"
mkdir -p "$work"
cmake --build "${1:?build folder}" --target Instalator_signed >"$work/build.log" 2>&1 \
  || { tail -n 30 "$work/build.log"; echo "FAIL: the signed installer" >&2; exit 1; }

journey_begin release-list mirror-tree "$@"
export KANVEL_INSTALLER_EXE="$1/installers/signed/Instalator.exe"
c_drive=$(wine_c_drive)
log_file="$c_drive/wydanie.log"
copy="$c_drive/kopia"
on_journey_end 'rm -rf "$log_file" "$copy"'
"$KANVEL_SOURCE_DIR/tools/wine/trust-test-ca.sh" "$KANVEL_BUILD_DIR" "$pki/ca.crt" || fail "the test CA was not trusted"
# The runs below follow each other within a second, while the Wine server that
# the last run's end stops may still be ending: a server kept until the
# journey's end leaves no such moment. (The journey's end stops it.)
wine_stop
wineserver -p || fail "the Wine server did not start"

root="$KANVEL_MIRROR_DIR/root"
tables="$root/programy/wersja7/bkp6"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmarin.Kanvel.Koordynator'
for program in "$root"/programy/wersja7/poprawki/*._exe "$root/sterowniki/bde/setup._exe"; do
  osslsigncode sign -certs "$pki/signing.crt" -key "$pki/signing.key" -h sha256 -in "$program" \
    -out "$program.signed" >/dev/null && mv "$program.signed" "$program" || fail "could not sign $program"
done
# list VERSION [SIGNER]: the maker publishes the tree's list (by default signed by the maker).
list() {
  "$KANVEL_SOURCE_DIR/tools/release-list.sh" "$root" "$1" "$pki/${2:-signing}.crt" "$pki/${2:-signing}.key" \
    >/dev/null || fail "release-list.sh $*"
}
list 7.0.5
head -n 3 "$root/Kanvel-pliki.txt" >"$JOURNEY_SHOTS/release-list-first-lines.txt"
openssl cms -cmsout -print -inform DER -in "$root/Kanvel-pliki.txt.p7s" 2>/dev/null |
  grep -E 'contentType|digestAlgorithm|algorithm:' | head -n 6 >>"$JOURNEY_SHOTS/release-list-first-lines.txt"
mirror_start
access_log="$KANVEL_MIRROR_DIR/logs/access.log"

# silent [OPTIONS...]: installs Koordynator without a window; sets RC.
silent() {
  rm -f "$log_file"
  : >"$access_log"
  timeout -k 10 120 wine "$KANVEL_INSTALLER_EXE" /SILENT /ACCEPTLICENCE /EDITION=Koordynator "$@" \
    '/LOG=C:\wydanie.log' >/dev/null 2>"$work/wine-errors.txt"
  RC=$?
}
logged() { grep -Eq -- "$1" "$log_file" 2>/dev/null; }
# reseal LIST SED: changes the list's lines and seals it again (its last line
# right), as whoever may write the list could; only its signature tells.
reseal() {
  grep -v '^end ' "$1" | sed "$2" >"$work/resealed"
  printf 'end %s %s\n' "$(($(wc -l <"$work/resealed") - 2))" "$(sha256sum <"$work/resealed" | cut -d' ' -f1)" \
    >>"$work/resealed"
  cp "$work/resealed" "$1"
}
# The log's last lines; for a run that wrote no log, what Wine printed instead.
log_tail() {
  if [ -s "$log_file" ]; then tail -n 4 "$log_file"; else echo "no log; Wine: $(tail -n 3 "$work/wine-errors.txt")"; fi |
    tr -d '\r'
}
# The files the mirror was asked for, the list and its signature aside.
files_asked() { grep -v 'Kanvel-pliki' "$access_log" | grep -c 'GET /'; }
crypt32_answers=()
# refused WHAT: the run ended with 18 before any file; its log line kept.
refused() {
  [ "$RC" = 18 ] || fail "$1: exit code $RC, expected 18; log: $(log_tail)"
  [ "$(files_asked)" = 0 ] || fail "$1: files were asked for: $(grep -v 'Kanvel-pliki' "$access_log")"
  local why
  why=$(grep -o 'lista plików wydania odrzucona: .*\|serwer nie ma listy plików wydania' "$log_file" | head -n 1 | tr -d '\r')
  [ -n "$why" ] || fail "$1: the log does not say why; $(log_tail)"
  crypt32_answers+=("$1: $why")
}

# --- The maker's list: everything checked against it, the entry names its release.
silent /COMPONENTS=program,database
[ "$RC" = 0 ] || fail "the maker's list: exit code $RC; log: $(log_tail)"
logged 'lista plików wydania 7\.0\.5 \(plików: 79\), każdy plik sprawdzany z listą' || fail "the list was not used: $(log_tail)"
[ "$(registry_value "$key" DisplayVersion)" = 7.0.5 ] || fail "DisplayVersion: $(registry_value "$key" DisplayVersion)"
[ "$(ls "$c_drive/OR-Vel/Format/Bkp6" | wc -l)" = 73 ] || fail "not every table was stored"

# --- A table changed on the server after the list was signed.
rm -rf "$c_drive/OR-Vel/Format"
cp "$tables/baza42.px" "$work/baza42.px"
printf 'X' | dd of="$tables/baza42.px" bs=1 seek=10 conv=notrunc 2>/dev/null
silent /COMPONENTS=database
[ "$RC" = 12 ] || fail "a changed table: exit code $RC, expected 12; log: $(log_tail)"
logged 'Nieudane pobranie pliku: plik niezgodny z listą plików wydania: programy/wersja7/bkp6/baza42\.px' \
  || fail "the changed table is not named: $(log_tail)"
[ ! -e "$c_drive/OR-Vel/Format/Bkp6/baza42.px" ] || fail "the changed table was stored"
[ -z "$(find "$c_drive/OR-Vel" -name '*.part')" ] || fail "a partial file stayed"
stored=$(ls "$c_drive/OR-Vel/Format/Bkp6" | wc -l)
[ "$stored" = 72 ] || fail "the other tables were not all stored: $stored of 72"
cp "$work/baza42.px" "$tables/baza42.px"

# --- Lists that are not the maker's: refused before any file.
reseal "$root/Kanvel-pliki.txt" 's/^release 7\.0\.5$/release 7.0.9/'
silent; refused "the list changed and sealed again after signing"
list 7.0.5 signing-other; silent; refused "another signer (self-signed)"
list 7.0.5 signing-expired; silent; refused "the maker's expired certificate"
list 7.0.5 localhost; silent; refused "the test CA's server certificate (not for code signing)"
list 7.0.5; cp "$root/Kanvel-pliki.txt.p7s" "$work/maker.p7s"
head -c 100 "$work/maker.p7s" >"$root/Kanvel-pliki.txt.p7s"; silent; refused "a signature cut short"
# One bit of the signature value (at the end of the signature) flipped.
cp "$work/maker.p7s" "$root/Kanvel-pliki.txt.p7s"
offset=$(($(stat -c %s "$work/maker.p7s") - 10))
printf "\\x$(printf '%02x' $((0x$(xxd -s "$offset" -l 1 -p "$work/maker.p7s") ^ 1)))" |
  dd of="$root/Kanvel-pliki.txt.p7s" bs=1 seek="$offset" conv=notrunc 2>/dev/null
silent; refused "a signature whose value was changed"
rm -f "$root/Kanvel-pliki.txt" "$root/Kanvel-pliki.txt.p7s"; silent; refused "no list"

# --- An older release's list is a downgrade, unless allowed.
list 7.0.4
silent /COMPONENTS=program
[ "$RC" = 16 ] || fail "an older list: exit code $RC, expected 16; log: $(log_tail)"
[ "$(files_asked)" = 0 ] || fail "an older list: files were asked for"
silent /COMPONENTS=program /ALLOWDOWNGRADE
[ "$RC" = 0 ] || fail "/ALLOWDOWNGRADE: exit code $RC; log: $(log_tail)"
[ "$(registry_value "$key" DisplayVersion)" = 7.0.4 ] || fail "DisplayVersion after /ALLOWDOWNGRADE"

# --- A copy carries the list and its signature; a copy whose list was changed and sealed again is refused.
rm -rf "$copy"
timeout -k 10 300 wine "$KANVEL_INSTALLER_EXE" '/LAYOUT=C:\kopia' '/LOG=C:\wydanie.log' >/dev/null 2>&1
RC=$?
[ "$RC" = 0 ] || fail "/LAYOUT: exit code $RC; log: $(log_tail)"
cmp -s "$copy/Kanvel-pliki.txt" "$root/Kanvel-pliki.txt" && cmp -s "$copy/Kanvel-pliki.txt.p7s" "$root/Kanvel-pliki.txt.p7s" \
  || fail "the copy's list is not the server's"
diff -r "$root" "$copy" >/dev/null || fail "the copy is not the server's tree: $(diff -rq "$root" "$copy" | head -n 3)"
mirror_stop
silent /COMPONENTS=program '/SOURCE=C:\kopia'
[ "$RC" = 0 ] || fail "/SOURCE from the copy: exit code $RC; log: $(log_tail)"
# The copy's table changed and its list written again with a right seal, as
# whoever may write the copy's folder could.
printf 'X' | dd of="$copy/programy/wersja7/bkp6/baza42.px" bs=1 seek=10 conv=notrunc 2>/dev/null
digest=$(sha256sum <"$copy/programy/wersja7/bkp6/baza42.px" | cut -d' ' -f1)
reseal "$copy/Kanvel-pliki.txt" "s|^[0-9a-f]* \([0-9]* programy/wersja7/bkp6/baza42.px\)$|$digest \1|"
rm -rf "$c_drive/OR-Vel/Format"
silent /COMPONENTS=database '/SOURCE=C:\kopia'
[ "$RC" = 18 ] || fail "a resealed copy: exit code $RC, expected 18; log: $(log_tail)"
logged 'lista plików kopii odrzucona \(podpis listy nie jest ważnym podpisem producenta' || fail "no reason: $(log_tail)"
[ ! -e "$c_drive/OR-Vel/Format" ] || fail "a resealed copy: files were stored"
crypt32_answers+=("a copy's list changed and sealed again: $(grep -o 'lista plików kopii odrzucona.*' "$log_file" | tr -d '\r')")

printf '%s\n' "${crypt32_answers[@]}" | tee "$JOURNEY_SHOTS/release-list-crypt32.txt"
echo "release list: ok"
