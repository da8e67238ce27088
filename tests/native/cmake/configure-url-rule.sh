#!/usr/bin/env bash
# Configures the project in scratch folders: a plain http:// download base URL
# on another host stops the configure and says why; with
# KANVEL_ALLOW_PLAIN_HTTP=ON the same URL is accepted and built in. A
# malformed KANVEL_PUBLISHER stops the configure; a well-formed one is built
# in as the installer reads it; without one, a build for another machine is
# warned that it starts downloaded programs unverified.
# Usage: configure-url-rule.sh SOURCE_DIR
set -u
source_dir=$(cd "${1:?source folder}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if cmake -S "$source_dir" -B "$scratch/refused" -DKANVEL_DOWNLOAD_BASE_URL=http://example.com/ \
     >"$scratch/refused.log" 2>&1; then
  fail "a configure with http://example.com/ passed"
fi
grep -q 'plain HTTP to example.com' "$scratch/refused.log" || { cat "$scratch/refused.log"; fail "no reason given"; }
grep -q 'KANVEL_ALLOW_PLAIN_HTTP=ON' "$scratch/refused.log" || fail "the switch is not named"

cmake -S "$source_dir" -B "$scratch/allowed" -DKANVEL_DOWNLOAD_BASE_URL=http://example.com/ \
  -DKANVEL_ALLOW_PLAIN_HTTP=ON >"$scratch/allowed.log" 2>&1 || { cat "$scratch/allowed.log"; fail "the switch did not let it pass"; }
grep -q '^KANVEL_DOWNLOAD_BASE_URL:STRING=http://example.com/$' "$scratch/allowed/CMakeCache.txt" \
  || fail "the URL did not reach the cache"
if cmake -S "$source_dir" -B "$scratch/publisher" -DKANVEL_DOWNLOAD_BASE_URL=https://example.com/ \
     -DKANVEL_PUBLISHER=29:96:03 >"$scratch/publisher.log" 2>&1; then
  fail "a configure with a publisher of three bytes passed"
fi
grep -q 'KANVEL_PUBLISHER: "29:96:03" is not a SHA-256 value' "$scratch/publisher.log" \
  || { cat "$scratch/publisher.log"; fail "the malformed publisher is not named"; }

maker="29:96:03:BC:AF:39:F9:96:E8:B4:CF:5B:01:FF:7B:88:9A:75:F9:F1:41:1C:DF:59:78:A5:3E:05:DE:D0:2C:D6"
renewed="$(printf 'ab%.0s' $(seq 32))"
cmake -S "$source_dir" -B "$scratch/publisher" -DKANVEL_DOWNLOAD_BASE_URL=https://example.com/ \
  "-DKANVEL_PUBLISHER=$maker; $renewed" >"$scratch/publisher.log" 2>&1 \
  || { cat "$scratch/publisher.log"; fail "a well-formed publisher list was refused"; }
grep -q "L\"299603bcaf39f996e8b4cf5b01ff7b889a75f9f1411cdf5978a53e05ded02cd6;$renewed\"" \
  "$scratch/publisher/generated/BuildSettings.cpp" || fail "the publisher list was not built in as the installer reads it"
! grep -q 'unverified' "$scratch/publisher.log" || fail "a build with a publisher says it is unverified"

cmake -S "$source_dir" -B "$scratch/unverified" -DKANVEL_DOWNLOAD_BASE_URL=https://example.com/ \
  >"$scratch/unverified.log" 2>&1 || { cat "$scratch/unverified.log"; fail "a build without a publisher was refused"; }
grep -q 'CMake Warning' "$scratch/unverified.log" && grep -q 'unverified' "$scratch/unverified.log" \
  || { cat "$scratch/unverified.log"; fail "a build for another machine without a publisher was not warned"; }
echo "configure rule: ok"
