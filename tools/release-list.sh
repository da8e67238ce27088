#!/usr/bin/env bash
# Writes the release list of a download server's tree and its signature:
#   SERVER_FOLDER/Kanvel-pliki.txt      every file of the tree with its size and
#                                       SHA-256, and the release's version
#   SERVER_FOLDER/Kanvel-pliki.txt.p7s  a detached CMS (PKCS #7) signature of it,
#                                       SHA-256, by the maker's code-signing
#                                       certificate (the one that signs the programs)
# The list's format is the one the installer reads (a copy's list, with a
# release line):
#   kanvel-layout 2
#   release <version>
#   <SHA-256> <size> <path below the folder, "/"-separated>   (in the order of the paths)
#   end <number of files> <SHA-256 of every byte above this line>
# Run it once the tree is complete and its programs are signed: a file
# changed afterwards no longer matches the list, and the installer refuses it.
# CERTIFICATE may hold the certificates of the chain after the signer's; they
# go into the signature too.
# Usage: release-list.sh SERVER_FOLDER VERSION CERTIFICATE.pem KEY.pem
set -euo pipefail
usage="usage: release-list.sh SERVER_FOLDER VERSION CERTIFICATE.pem KEY.pem"
folder=${1:?$usage}
version=${2:?$usage}
certificate=${3:?$usage}
key=${4:?$usage}
list_name=Kanvel-pliki.txt

[ -d "$folder" ] || { echo "release-list: $folder is not a folder" >&2; exit 2; }
[[ "$version" =~ ^[0-9]+(\.[0-9]+)*$ ]] && [ ${#version} -le 32 ] ||
  { echo "release-list: the version must be numbers with dots between (such as 8.0.1): $version" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
body="$work/body"
printf 'kanvel-layout 2\nrelease %s\n' "$version" >"$body"
count=0
while IFS= read -r -d '' path; do
  path=${path#./}
  case "$path" in "$list_name" | "$list_name.p7s") continue ;; esac
  # The installer takes only printable ASCII names without \ : * ? " < > |.
  if ! LC_ALL=C awk -v p="$path" 'BEGIN { exit !(p ~ /^[ -~]+$/ && p !~ /[\\:*?"<>|]/) }'; then
    echo "release-list: a name the installer cannot list: $path" >&2
    exit 1
  fi
  [ -L "$folder/$path" ] && { echo "release-list: a link in the tree: $path" >&2; exit 1; }
  digest=$(sha256sum <"$folder/$path")
  size=$(stat -c %s "$folder/$path")
  printf '%s %s %s\n' "${digest%% *}" "$size" "$path" >>"$body"
  count=$((count + 1))
done < <(cd "$folder" && find . \( -type f -o -type l \) -print0 | LC_ALL=C sort -z)

seal=$(sha256sum <"$body")
cp "$body" "$work/list"
printf 'end %s %s\n' "$count" "${seal%% *}" >>"$work/list"

# The chain's other certificates, when the file holds any, go with the signer's.
awk '/-----BEGIN CERTIFICATE-----/ { n++ } n > 1' "$certificate" >"$work/chain.pem"
chain=()
if [ -s "$work/chain.pem" ]; then chain=(-certfile "$work/chain.pem"); fi
openssl cms -sign -binary -outform DER -md sha256 -nosmimecap -in "$work/list" -signer "$certificate" \
  -inkey "$key" "${chain[@]}" -out "$work/list.p7s"

install -m 644 "$work/list" "$folder/$list_name"
install -m 644 "$work/list.p7s" "$folder/$list_name.p7s"
echo "release-list: $folder/$list_name: release $version, $count files, signed by $(openssl x509 -in "$certificate" -noout -subject)"
