#!/usr/bin/env bash
# Builds the release installer from two copies of the sources in two folders
# and compares the results byte for byte; signs one with a throwaway
# code-signing certificate (signing without a time stamp is refused unless
# asked for), verifies the signature against that certificate (and not
# against another one), checks the .sha256 file beside each release and
# starts the signed file under Wine. The script refuses a plain http://
# server and a release that neither names the publisher of the downloaded
# programs nor says --unverified, and never ships plain HTTP from a build
# folder once configured to allow it.
# Usage: release-test.sh SOURCE_DIR WINDOWS_BUILD_DIR
set -u
source_dir=$(cd "${1:?sources}" && pwd)
build_dir=$(cd "${2:?Windows build folder}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/kanvel-release.XXXXXX")
base_url=https://pobieranie.velmarin.example/
failures=0
check() {  # check DESCRIPTION COMMAND...: one line per check
  local what=$1; shift
  if "$@" >/dev/null 2>&1; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

cleanup() {
  declare -F wine_stop >/dev/null && { wine_stop; kanvel_xvfb_stop; }
  rm -rf "$work"
}
trap cleanup EXIT

# Two copies of the checkout's files (committed and new ones alike), at
# paths of different lengths, built with the time of the last commit.
copy_sources() {
  mkdir -p "$1"
  (cd "$source_dir" && git ls-files -co --exclude-standard -z | xargs -0 -I{} sh -c '[ -e "$1" ] && printf "%s\0" "$1"' _ {} \
     | tar --null -T - -cf -) | tar -xf - -C "$1"
}
copy_sources "$work/a"
copy_sources "$work/second/copy/of the sources"
# A build folder someone once configured for plain HTTP to another machine.
cmake -S "$work/a" -B "$work/a/build/release" -DCMAKE_TOOLCHAIN_FILE="$work/a/cmake/mingw-w64-x86_64.cmake" \
  -DKANVEL_ALLOW_PLAIN_HTTP=ON -DKANVEL_DOWNLOAD_BASE_URL=http://pobieranie.velmarin.example/ >/dev/null 2>&1
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git -C "$source_dir" log -1 --format=%ct)
release() {  # release SOURCES OPTIONS...
  local sources=$1; shift
  "$sources/tools/release.sh" --base-url "$base_url" --build-dir "$sources/build/release" "$@"
}
check "the release refuses a plain http:// server" sh -c \
  "! '$work/a/tools/release.sh' --base-url http://pobieranie.velmarin.example/ --unverified --build-dir '$work/refused'"
check "the release wants the publisher or --unverified" sh -c \
  "'$work/a/tools/release.sh' --base-url '$base_url' --build-dir '$work/refused' 2>&1 | grep -q 'name the publisher'"
check "nothing was built for a refused release" test ! -e "$work/refused/CMakeCache.txt"
release "$work/a" --unverified --out "$work/out-a" >"$work/a.log" 2>&1 || { cat "$work/a.log"; exit 1; }
release "$work/second/copy/of the sources" --unverified --out "$work/out-b" >"$work/b.log" 2>&1 || { cat "$work/b.log"; exit 1; }
cat "$work/a.log"
check "a build folder once allowing plain HTTP ships without it" \
  grep -qx 'KANVEL_ALLOW_PLAIN_HTTP:BOOL=OFF' "$work/a/build/release/CMakeCache.txt"
check "an unverified release says so" grep -q 'STARTED UNVERIFIED' "$work/a.log"

unsigned="$work/out-a/Instalator.exe"
check "two builds in two folders give the same bytes" cmp "$unsigned" "$work/out-b/Instalator.exe"
check "the release is at most 1280 KiB" test "$(stat -c %s "$unsigned")" -le $((1280 * 1024))
check "the release is stripped" sh -c "! x86_64-w64-mingw32-objdump -h '$unsigned' | grep -q '\.debug'"
check "the PE header's time is the last commit's, not the build's" python3 - "$unsigned" "$SOURCE_DATE_EPOCH" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
header = struct.unpack_from("<I", data, 0x3C)[0]
sys.exit(0 if struct.unpack_from("<I", data, header + 8)[0] == int(sys.argv[2]) else 1)
PY
check "the release says it is unsigned" grep -q UNSIGNED "$work/a.log"
check "the download server is built in" sh -c "grep -q 'pobieranie.velmarin.example' '$work/a.log'"
check "the version resource holds the project version" sh -c \
  "iconv -f UTF-16LE -t UTF-8 -c '$unsigned' | tr -d '\\000' | grep -a -q 'FileVersion7\.0\.0\.0' &&
   iconv -f UTF-16LE -t UTF-8 -c '$unsigned' | tr -d '\\000' | grep -a -q 'ProductVersion7\.0\.0'"

# A throwaway code-signing certificate, and an unrelated one.
make_certificate() {  # make_certificate NAME
  openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=$1" \
    -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
    -keyout "$work/$1.key" -out "$work/$1.crt" >/dev/null 2>&1
}
make_certificate kanvel-test-signing
make_certificate someone-else
printf 'haslo-testowe\n' >"$work/password"
openssl pkcs12 -export -inkey "$work/kanvel-test-signing.key" -in "$work/kanvel-test-signing.crt" \
  -passout file:"$work/password" -out "$work/signing.pfx"
publisher=$(openssl x509 -in "$work/kanvel-test-signing.crt" -outform DER | sha256sum | cut -d' ' -f1)
check "signing without a time stamp is refused unless asked for" sh -c \
  "! '$work/a/tools/release.sh' --base-url '$base_url' --unverified --build-dir '$work/a/build/release' \
       --out '$work/refused' --pfx '$work/signing.pfx' --password-file '$work/password' 2>'$work/refused.log' &&
   grep -q -- '--timestamp' '$work/refused.log' && test ! -e '$work/refused/Instalator.exe'"
release "$work/a" --publisher "$publisher" --out "$work/signed" --pfx "$work/signing.pfx" \
  --password-file "$work/password" --no-timestamp >"$work/signed.log" 2>&1 || { cat "$work/signed.log"; exit 1; }
check "the release names the publisher it checks for" grep -q "started only when signed by $publisher" "$work/signed.log"
signed="$work/signed/Instalator.exe"
check "the signed release says so" grep -qx '  signed' "$work/signed.log"
check "Instalator.exe.sha256 beside each release names the file's hash" sh -c \
  "cd '$work/signed' && sha256sum -c --quiet Instalator.exe.sha256 && cd '$work/out-a' && sha256sum -c --quiet Instalator.exe.sha256"
check "a PEM certificate and key sign and verify too" sh -c \
  "'$work/a/tools/release.sh' --base-url '$base_url' --unverified --build-dir '$work/a/build/release' \
     --out '$work/signed-pem' --cert '$work/kanvel-test-signing.crt' --key '$work/kanvel-test-signing.key' --no-timestamp &&
   osslsigncode verify -in '$work/signed-pem/Instalator.exe' -CAfile '$work/kanvel-test-signing.crt'"
check "the signature verifies against the signing certificate" \
  osslsigncode verify -in "$signed" -CAfile "$work/kanvel-test-signing.crt"
check "the signature does not verify against another certificate" sh -c \
  "! osslsigncode verify -in '$signed' -CAfile '$work/someone-else.crt'"
check "the unsigned release has no signature" sh -c "! osslsigncode verify -in '$unsigned' -CAfile '$work/kanvel-test-signing.crt'"
# Older osslsigncode versions cannot fix the signing time; their signatures
# differ from run to run.
if grep -q -- '-time <unix-time>' <<<"$(osslsigncode --help 2>&1)"; then
  check "signing twice gives the same bytes" sh -c \
    "'$work/a/tools/release.sh' --base-url '$base_url' --publisher '$publisher' --build-dir '$work/a/build/release' \
       --out '$work/signed2' --pfx '$work/signing.pfx' --password-file '$work/password' --no-timestamp &&
     cmp '$signed' '$work/signed2/Instalator.exe'"
else
  echo "skipped: signing twice gives the same bytes (this osslsigncode cannot fix the signing time)"
fi

# The signed file is still a working installer: its window comes up and it
# ends with exit code 0 on "Zamknij".
source "$source_dir/tools/wine/env.sh" "$build_dir"
JOURNEY_NAME=release
source "$source_dir/tests/wine/journey-lib.sh"
wine_prepare
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
runs_signed() {
  journey_start "$signed"
  window_id "Warunki licencji" >/dev/null || return 1
  wait_for 60 control_is "Zamknij" "enabled=1 checked=0 visible=1" || return 1
  drive click "Zamknij" >/dev/null
  journey_finish 30
}
check "the signed installer starts and ends with exit code 0" runs_signed

echo "$failures failed"
[ "$failures" = 0 ]
