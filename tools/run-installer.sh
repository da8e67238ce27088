#!/usr/bin/env bash
# Builds the installer and runs it under Wine against the local download
# mirror over HTTPS: the installer built for the TLS mirror
# (build/win/installers/tls), whose test certificate authority is trusted in the
# build's own Wine prefix only. With a display the window appears there and
# the script waits until it is closed; without one, the script starts Xvfb
# and walks through a first installation of "Koordynator" (licence, install
# panel, finished panel), saving a screenshot of each page and saying where.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/win"
tls_build="$build/installers/tls"
"$root/tools/ensure-packages.sh"
"$root/tools/build.sh" win
base_url_of() { head -n 1 "$1/download-base-url.txt"; }
tls_url=$(base_url_of "$tls_build")
# The plain mirror stays where the plain build looks for it.
plain_port=$(base_url_of "$build" | sed -nE 's#^[a-zA-Z]+://[^/]*:([0-9]+)/.*#\1#p')
had_display=${DISPLAY:-}
source "$root/tools/wine/env.sh" "$build"
"$root/tools/mirror/make-tree.sh" "$build" >/dev/null
"$root/tools/mirror/start-for.sh" "$build" "$tls_url" $plain_port >/dev/null
cleanup() { "$root/tools/mirror/stop.sh" "$build" >/dev/null 2>&1 || true; wine_stop; kanvel_xvfb_stop; }
trap cleanup EXIT
wine_prepare
"$root/tools/wine/trust-test-ca.sh" "$build" "$build/mirror/tls/ca.crt"
export KANVEL_INSTALLER_EXE="$tls_build/Instalator.exe"

if [ -n "$had_display" ]; then
  wine "$KANVEL_INSTALLER_EXE"
  exit 0
fi

JOURNEY_NAME=run
source "$root/tests/wine/journey-lib.sh"
fail() { echo "The walk-through stopped: $*" >&2; exit 1; }
clean_installation_traces

# A walk-through of a first installation, with a screenshot of each page.
start_and_wait_for_reveal
shot licence
xdotool click 1   # "Akceptuję"; the cursor then glides onto the editions
wait_for 30 cursor_on "Koordynator" || fail "no glide onto the editions"
xdotool click 1   # "Koordynator"
wait_for 10 status_is "Instalacja programu Kanvel Koordynator 7.0" || fail "the edition was not chosen"
shot install-panel
drive click "Instaluj" >/dev/null
wait_for 60 status_is "Instalacja zakończona pomyślnie" || fail "the installation did not finish"
xdotool mousemove 0 0
shot finished
drive click "Zamknij" >/dev/null
journey_finish 30 || true
echo "No display: the installer ran on Xvfb ($DISPLAY) against the local mirror at $tls_url."
echo "Screenshots: $JOURNEY_SHOTS/run-licence.png, run-install-panel.png, run-finished.png"
