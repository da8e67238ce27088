#!/usr/bin/env bash
# How fast the window answers a screen reader while a file downloads. The
# real installer under Wine and Xvfb, against the local mirror sending at
# RATE bytes a second (default 16k), is taken to the install panel; the
# driver then walks the window's controls as assistive technology does
# (window texts and MSAA objects), WALKS times while the window is idle and
# WALKS times while the program file arrives, and prints each walk's time
# and the medians.
# Usage: run-busy-window-bench.sh BUILD_DIR [WALKS] [RATE] [INSTALLER_BUILD]
#   BUILD_DIR: the Windows build, made for a plain http loopback download URL.
#   INSTALLER_BUILD: the build folder of another Instalator.exe for the same
#   URL to measure instead (an older version, to compare).
set -uo pipefail
build_dir=$(cd "${1:?build folder}" && pwd)
walks=${2:-10}
rate=${3:-16k}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
source "$source_dir/bench/bench-lib.sh"
source "$source_dir/tests/wine/journey-lib.sh"
journey_begin busy-window-bench mirror-tree "$build_dir" ${4:+--installer-build "$4"}
mirror_start "$rate"
title="Warunki licencji"
partial="$(wine_c_drive)/OR-Vel/Edytor3.exe.part"

accept_and_choose_koordynator
idle=$(drive walks "$title" "$walks") || fail "the window could not be walked"
drive click "Instaluj" >/dev/null
wait_for 30 test -s "$partial" || fail "the program file's download did not start"
busy=$(drive walks "$title" "$walks") || fail "the window could not be walked during the download"
still_arriving=$(status_is "Pobranie pliku: Edytor3.exe" && echo yes || echo no)

echo "one walk over the window's controls, in ms (rate $rate):"
echo "idle:            $(tr '\n' ' ' <<<"$idle")"
echo "during download: $(tr '\n' ' ' <<<"$busy")"
echo "median idle: $(median <<<"$idle") ms; median during the download: $(median <<<"$busy") ms" \
     "(the download still running after the walks: $still_arriving)"
