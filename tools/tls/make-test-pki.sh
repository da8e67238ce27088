#!/usr/bin/env bash
# Makes the test certificates for the TLS mirror and the TLS fault tests, with
# openssl, in OUT_DIR (never committed; made at build or test time):
#   ca.crt, ca.key                   a test certificate authority
#   localhost.crt, localhost.key     server certificate for the DNS names localhost and
#                                    pliki.kanvel.test (the mirror's name behind the test proxy), from the test CA
#   selfsigned.crt, selfsigned.key   for localhost, signed by itself
#   expired.crt, expired.key         for localhost, from the test CA, expired in 2021
#   otherhost.crt, otherhost.key     from the test CA for another host name (kanvel.invalid)
# and the code-signing certificates of the tests that sign programs:
#   signing.crt, signing.key         the maker's, from the test CA
#   signing-expired.crt, .key        the maker's earlier one, from the test CA, expired in 2021
#   signing-other.crt, .key          someone else's, unrelated: signed by itself
# Usage: make-test-pki.sh OUT_DIR
# Idempotent: a complete set whose server certificate still verifies against
# its CA for another week is kept as it is.
set -euo pipefail
out=$(mkdir -p "${1:?output folder}" && cd "$1" && pwd)
proxied_name=pliki.kanvel.test
names=(ca localhost selfsigned expired otherhost signing signing-expired signing-other)

complete() {
  local name
  for name in "${names[@]}"; do
    [ -s "$out/$name.crt" ] && [ -s "$out/$name.key" ] || return 1
  done
  openssl x509 -in "$out/localhost.crt" -noout -ext subjectAltName 2>/dev/null | grep -q "DNS:$proxied_name" ||
    return 1
  for name in localhost signing; do
    openssl verify -CAfile "$out/ca.crt" -purpose any "$out/$name.crt" >/dev/null 2>&1 &&
      openssl x509 -in "$out/$name.crt" -noout -checkend 604800 >/dev/null 2>&1 || return 1
  done
}
complete && exit 0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

new_key() { openssl genrsa -out "$work/$1.key" 2048 2>/dev/null; }

# What every server certificate carries: its names and its use.
server_extensions() {
  cat <<EXT
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = DNS:$1
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
EXT
}

# The mirror's: also the name only the test proxy resolves.
mirror_extensions() { server_extensions "$1, DNS:$proxied_name"; }

# What a code-signing certificate carries.
signing_extensions() {
  cat <<EXT
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
EXT
}

# The CA signs through "openssl ca", which can set any validity period.
mkdir -p "$work/ca-db"
: >"$work/ca-db/index.txt"
cat >"$work/ca.cnf" <<CNF
[ ca ]
default_ca = test_ca
[ test_ca ]
dir = $work/ca-db
database = \$dir/index.txt
new_certs_dir = \$dir
certificate = $work/ca.crt
private_key = $work/ca.key
default_md = sha256
policy = any_name
unique_subject = no
copy_extensions = none
rand_serial = yes
[ any_name ]
commonName = supplied
[ req ]
distinguished_name = dn
prompt = no
[ dn ]
CN = Kanvel Test CA
[ ca_extensions ]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
CNF

new_key ca
openssl req -new -x509 -config "$work/ca.cnf" -extensions ca_extensions -key "$work/ca.key" \
  -days 3650 -sha256 -out "$work/ca.crt"

# sign_by_ca NAME DNS_NAME START END [EXTENSIONS] (dates as YYYYMMDDHHMMSSZ; a
# server certificate for DNS_NAME unless EXTENSIONS names another kind)
sign_by_ca() {
  local name=$1 dns=$2 start=$3 end=$4 extensions=${5:-server_extensions}
  new_key "$name"
  openssl req -new -key "$work/$name.key" -subj "/CN=$dns" -out "$work/$name.csr"
  "$extensions" "$dns" >"$work/$name.ext"
  openssl ca -batch -config "$work/ca.cnf" -in "$work/$name.csr" -out "$work/$name.pem" \
    -startdate "$start" -enddate "$end" -extfile "$work/$name.ext" 2>/dev/null
  openssl x509 -in "$work/$name.pem" -out "$work/$name.crt"
}

now=$(date -u +%Y%m%d%H%M%SZ)
later=$(date -u +%Y%m%d%H%M%SZ -d '+800 days')
sign_by_ca localhost localhost "$now" "$later" mirror_extensions
sign_by_ca expired localhost 20200101000000Z 20210101000000Z
sign_by_ca otherhost kanvel.invalid "$now" "$later"
sign_by_ca signing "Velmarin Kanvel (test)" "$now" "$later" signing_extensions
sign_by_ca signing-expired "Velmarin Kanvel (test, 2020)" 20200101000000Z 20210101000000Z signing_extensions

new_key selfsigned
openssl req -new -x509 -key "$work/selfsigned.key" -subj "/CN=localhost" -days 800 -sha256 \
  -addext "subjectAltName = DNS:localhost" -addext "extendedKeyUsage = serverAuth" \
  -out "$work/selfsigned.crt"

new_key signing-other
openssl req -new -x509 -key "$work/signing-other.key" -subj "/CN=Someone Else" -days 800 -sha256 \
  -addext "extendedKeyUsage = codeSigning" -out "$work/signing-other.crt"

new_key signing-other
openssl req -new -x509 -key "$work/signing-other.key" -subj "/CN=Someone Else" -days 800 -sha256 \
  -addext "extendedKeyUsage = codeSigning" -out "$work/signing-other.crt"

for name in "${names[@]}"; do
  install -m 600 "$work/$name.key" "$out/$name.key"
  install -m 644 "$work/$name.crt" "$out/$name.crt"
done
complete || { echo "make-test-pki: the certificates in $out do not verify" >&2; exit 1; }
