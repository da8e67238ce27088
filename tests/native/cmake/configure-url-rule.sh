#!/usr/bin/env bash
# Configures the project in scratch folders: a plain http:// download base URL
# on another host stops the configure and says why; with
# KANVEL_ALLOW_PLAIN_HTTP=ON the same URL is accepted and built in.
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
echo "configure rule: ok"
