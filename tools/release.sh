#!/usr/bin/env bash
# Builds the installer for publication: Release, stripped, reproducible (the
# same commit gives the same bytes in any folder), and Authenticode-signed when
# a certificate is given. Prints the file, its size and its SHA-256.
#
# Usage: tools/release.sh --base-url URL (--publisher SHA256 | --unverified) [options]
#   --base-url URL        the download server the installer fetches from: https://, ends in /
#   --publisher SHA256    the maker's code-signing certificate (its SHA-256, as certificate
#                         tools print it; several separated by ";" during a renewal): the
#                         installer starts only downloaded programs signed with it
#   --unverified          ... or say explicitly that it starts them unchecked
#   --out DIR             where Instalator.exe goes (default: build/release/out)
#   --build-dir DIR       the build folder (default: build/release)
#   --pfx FILE            sign with this PKCS#12 file ...
#   --password-file FILE  ... whose password is the file's first line
#   --cert FILE --key FILE  or sign with a PEM certificate (chain) and its key
#   --timestamp URL       an RFC 3161 time-stamping service for the signature; required
#                         for signing: a signature without a time stamp stops
#                         validating when the certificate expires
#   --no-timestamp        sign without one all the same (test builds)
#   --server-tree DIR     the download server's tree of this release (its programs already
#   --release VERSION     signed): its release list Kanvel-pliki.txt and the list's signature
#                         are written into DIR with the same certificate (tools/release-list.sh);
#                         upload the tree with them, the list last
# SOURCE_DATE_EPOCH, when set, is used as it is; otherwise it is the time of
# the checkout's last commit. The file's modification time is set to it.
# A signature is verified right after signing; Instalator.exe.sha256 is
# written beside the file (sha256sum -c reads it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
base_url="" out="" build="" pfx="" password_file="" cert="" key="" timestamp="" no_timestamp=""
server_tree="" release_version=""
publisher="" unverified=""
max_size=$(( 1280 * 1024 ))

usage() { sed -n '2,27p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
while [ $# -gt 0 ]; do
  case "$1" in
    --base-url) base_url=${2:?}; shift 2 ;;
    --publisher) publisher=${2:?}; shift 2 ;;
    --unverified) unverified=yes; shift ;;
    --out) out=${2:?}; shift 2 ;;
    --build-dir) build=${2:?}; shift 2 ;;
    --pfx) pfx=${2:?}; shift 2 ;;
    --password-file) password_file=${2:?}; shift 2 ;;
    --cert) cert=${2:?}; shift 2 ;;
    --key) key=${2:?}; shift 2 ;;
    --timestamp) timestamp=${2:?}; shift 2 ;;
    --no-timestamp) no_timestamp=yes; shift ;;
    --server-tree) server_tree=${2:?}; shift 2 ;;
    --release) release_version=${2:?}; shift 2 ;;
    -h|--help) usage ;;
    *) echo "release: unknown option $1" >&2; usage ;;
  esac
done
[ -n "$base_url" ] || { echo "release: --base-url is required" >&2; usage; }
# What is shipped downloads over HTTPS only, whatever a build folder was once
# configured with (the build below always turns plain HTTP off).
case "$base_url" in
  [Hh][Tt][Tt][Pp][Ss]://*) ;;
  *) echo "release: --base-url must be an https:// URL (the installer runs what it downloads)" >&2; exit 2 ;;
esac
if [ -z "$publisher" ] && [ -z "$unverified" ]; then
  echo "release: name the publisher of the downloaded programs (--publisher SHA256), or --unverified" >&2; exit 2
fi
if [ -n "$publisher" ] && [ -n "$unverified" ]; then
  echo "release: --publisher and --unverified exclude each other" >&2; exit 2
fi
if { [ -n "$cert" ] && [ -z "$key" ]; } || { [ -z "$cert" ] && [ -n "$key" ]; }; then
  echo "release: --cert and --key go together" >&2; exit 2
fi
if [ -n "$pfx" ] && [ -n "$cert" ]; then
  echo "release: sign with --pfx or with --cert/--key, not both" >&2; exit 2
fi
if [ -n "$timestamp" ] && [ -n "$no_timestamp" ]; then
  echo "release: --timestamp and --no-timestamp exclude each other" >&2; exit 2
fi
if { [ -n "$server_tree" ] && [ -z "$release_version" ]; } || { [ -z "$server_tree" ] && [ -n "$release_version" ]; }; then
  echo "release: --server-tree and --release go together" >&2; exit 2
fi
if [ -n "$server_tree" ] && [ -z "$pfx" ] && [ -z "$cert" ]; then
  echo "release: the release list is signed with the programs' certificate: give --pfx or --cert/--key" >&2; exit 2
fi
if { [ -n "$pfx" ] || [ -n "$cert" ]; } && [ -z "$timestamp" ] && [ -z "$no_timestamp" ]; then
  echo "release: signing needs --timestamp URL: a signature without a time stamp stops validating when" \
       "the certificate expires (--no-timestamp signs without one all the same)" >&2
  exit 2
fi

"$root/tools/ensure-packages.sh"
build=$(mkdir -p "${build:-$root/build/release}" && cd "${build:-$root/build/release}" && pwd)
out=$(mkdir -p "${out:-$build/out}" && cd "${out:-$build/out}" && pwd)

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) || {
    echo "release: not a git checkout: set SOURCE_DATE_EPOCH" >&2; exit 2; }
fi
export SOURCE_DATE_EPOCH LC_ALL=C TZ=UTC

cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DKANVEL_DOWNLOAD_BASE_URL="$base_url" -DKANVEL_ALLOW_PLAIN_HTTP=OFF \
      "-DKANVEL_PUBLISHER=$publisher" >/dev/null
cmake --build "$build" --target Instalator -j"$(nproc)" >/dev/null

unsigned="$build/Instalator-stripped.exe"
x86_64-w64-mingw32-strip --strip-all -o "$unsigned" "$build/Instalator.exe"
result="$out/Instalator.exe"
rm -f "$result"

# The signature just made must verify, by the very certificate it was made
# with (its leaf's hash), against that certificate's chain and the system's
# authorities; a time stamp must verify too.
verify_signature() {
  local certs="$build/signing-chain.pem" leaf_hash
  if [ -n "$pfx" ]; then
    openssl pkcs12 -in "$pfx" -nokeys ${password_file:+-passin file:"$password_file"} -out "$certs" 2>/dev/null
    leaf_hash=$(openssl pkcs12 -in "$pfx" -nokeys -clcerts ${password_file:+-passin file:"$password_file"} 2>/dev/null |
                openssl x509 -outform DER | sha256sum | cut -d' ' -f1)
  else
    cp "$cert" "$certs"
    leaf_hash=$(openssl x509 -in "$cert" -outform DER | sha256sum | cut -d' ' -f1)
  fi
  [ -f /etc/ssl/certs/ca-certificates.crt ] && cat /etc/ssl/certs/ca-certificates.crt >>"$certs"
  if ! osslsigncode verify -in "$result" -CAfile "$certs" -TSA-CAfile "$certs" \
         -require-leaf-hash "sha256:$leaf_hash" >"$build/verify.log" 2>&1; then
    cat "$build/verify.log" >&2
    echo "release: the signature of $result does not verify" >&2
    rm -f "$result" "$certs"
    exit 1
  fi
  rm -f "$certs"
}

sign_options=()
if [ -n "$pfx" ]; then
  sign_options=(-pkcs12 "$pfx")
  [ -n "$password_file" ] && sign_options+=(-readpass "$password_file")
elif [ -n "$cert" ]; then
  sign_options=(-certs "$cert" -key "$key")
  [ -n "$password_file" ] && sign_options+=(-readpass "$password_file")
fi

if [ ${#sign_options[@]} -gt 0 ]; then
  sign_options+=(-h sha256 -n "Instalator programu Kanvel" -i "https://www.velmarin.example/")
  [ -n "$timestamp" ] && sign_options+=(-ts "$timestamp")
  # A fixed signing time keeps a signature without time stamp reproducible too.
  help=$(osslsigncode --help 2>&1 || true)
  if grep -q -- '-time <unix-time>' <<<"$help"; then
    sign_options+=(-time "$SOURCE_DATE_EPOCH")
  fi
  osslsigncode sign "${sign_options[@]}" -in "$unsigned" -out "$result" >/dev/null
  verify_signature
  signed="signed"
else
  cp "$unsigned" "$result"
  signed="UNSIGNED (no certificate given: Windows will warn about an unknown publisher)"
fi
touch -d "@$SOURCE_DATE_EPOCH" "$result"

# The release list of the server's tree, signed with the same certificate.
if [ -n "$server_tree" ]; then
  list_cert=$cert list_key=$key
  if [ -n "$pfx" ]; then
    keys=$(mktemp -d)
    trap 'rm -rf "$keys"' EXIT
    openssl pkcs12 -in "$pfx" -nokeys ${password_file:+-passin file:"$password_file"} -out "$keys/chain.pem" 2>/dev/null
    openssl pkcs12 -in "$pfx" -nocerts -nodes ${password_file:+-passin file:"$password_file"} -out "$keys/key.pem" 2>/dev/null
    # The signer's certificate first, the rest of the chain after it.
    openssl pkcs12 -in "$pfx" -nokeys -clcerts ${password_file:+-passin file:"$password_file"} 2>/dev/null |
      openssl x509 >"$keys/cert.pem"
    openssl pkcs12 -in "$pfx" -nokeys -cacerts ${password_file:+-passin file:"$password_file"} 2>/dev/null \
      >>"$keys/cert.pem"
    list_cert="$keys/cert.pem" list_key="$keys/key.pem"
  fi
  "$root/tools/release-list.sh" "$server_tree" "$release_version" "$list_cert" "$list_key"
fi
(cd "$out" && sha256sum Instalator.exe >Instalator.exe.sha256)

size=$(stat -c %s "$result")
echo "Instalator.exe: $result"
echo "  download server: $base_url"
if [ -n "$publisher" ]; then
  echo "  downloaded programs: started only when signed by $publisher"
else
  echo "  downloaded programs: STARTED UNVERIFIED (--unverified)"
fi
echo "  size: $size bytes ($(( (size + 1023) / 1024 )) KiB)"
echo "  sha256: $(cut -d' ' -f1 "$out/Instalator.exe.sha256") (in Instalator.exe.sha256)"
echo "  $signed"
if [ "$size" -gt "$max_size" ]; then
  echo "release: the installer is larger than 1280 KiB" >&2
  exit 1
fi
