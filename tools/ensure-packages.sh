#!/usr/bin/env bash
# Installs the Debian packages the build, the run and the tests need, when
# any of them is missing. Quiet when everything is there.
set -eu
packages=(
  cmake make g++ libgtest-dev
  libssl-dev            # SHA-256 on the test platform
  g++-mingw-w64-x86-64-posix
  wine wine64 xvfb xauth xdotool imagemagick x11-utils
  nginx python3 python3-yaml python3-jsonschema curl liblnk-utils
  openssl libgnutls30   # the test certificates; TLS in Wine
  osslsigncode          # signing the release
  squid                 # the company proxy of the network tests
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}" >&2
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo_cmd apt-get update -qq >/dev/null
$sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
