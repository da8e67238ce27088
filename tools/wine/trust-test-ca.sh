#!/usr/bin/env bash
# Adds the test certificate authority to the Root store of BUILD_DIR's own
# Wine prefix, and of no other: WinHTTP in that prefix then trusts the test
# mirror's certificate, while the host's certificates and every other prefix
# stay as they are. Uses kanvel-trust-ca.exe of that build (CryptoAPI).
# Usage: trust-test-ca.sh BUILD_DIR CA_CRT
# Run, or source, after tools/wine/env.sh BUILD_DIR and wine_prepare; it
# changes no shell option and defines nothing when sourced.
_kanvel_trust_test_ca() {
  unset -f _kanvel_trust_test_ca
  local build_dir ca_crt windows_path
  build_dir=$(cd "${1:?build folder}" && pwd) || return 1
  ca_crt=${2:?CA certificate}
  if [ "${WINEPREFIX:-}" != "$build_dir/wine/prefix" ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "trust-test-ca: source tools/wine/env.sh $build_dir and run wine_prepare first" >&2
    return 1
  fi
  if [ ! -f "$build_dir/kanvel-trust-ca.exe" ]; then
    echo "trust-test-ca: $build_dir/kanvel-trust-ca.exe is missing: build it first" >&2
    return 1
  fi
  windows_path=$(winepath -w "$ca_crt" 2>/dev/null) || return 1
  wine "$build_dir/kanvel-trust-ca.exe" "$windows_path" 2>&1 | grep -v '^$' | tr -d '\r' >&2
  return "${PIPESTATUS[0]}"
}

if [ "${BASH_SOURCE[0]}" != "$0" ]; then
  _kanvel_trust_test_ca "$@"
  return
fi
_kanvel_trust_test_ca "$@"
