#!/usr/bin/env bash
# Runs the shortcut writer under Wine, then reads the shortcut files it wrote
# on the Linux side: the strings with lnkinfo, the show command and hot key
# straight from the file header (lnkinfo 20181227 prints 0 for both).
# Exits non-zero when the program or any check here fails.
# Usage: run-shortcut-tests.sh BUILD_DIR TEST_EXE
set -uo pipefail
build_dir=$(cd "${1:?build folder}" && pwd)
test_exe=${2:?test program}
source_dir=$(cd "$(dirname "$0")/../../.." && pwd)
links="$build_dir/tests/wine/shortcut/run/links"
program_timeout=150  # below the ctest TIMEOUT, so the cleanup below always runs

if ! command -v lnkinfo >/dev/null; then
  apt-get install -y -q liblnk-utils >/dev/null || { echo "run-shortcut-tests: lnkinfo is missing"; exit 1; }
fi

# shellcheck source=../../../tools/wine/env.sh
source "$source_dir/tools/wine/env.sh" "$build_dir"
program_file="$(wine_c_drive)/OR-Vel/Edytor3.exe"
cleanup() {
  wine_stop
  kanvel_xvfb_stop
  # The program the shortcuts point at is a stand-in made by the test program:
  # remove it again so the other tests sharing this prefix do not find it.
  rm -f "$program_file"
  rmdir "$(dirname "$program_file")" 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

rm -rf "$links"
mkdir -p "$links"
wine_prepare

timeout -k 10 "$program_timeout" wine "$test_exe" "$(winepath -w "$links")"
status=$?
[ "$status" = 124 ] && echo "run-shortcut-tests: the test program ran past $program_timeout s and was stopped"

passed=0
failed=0
check() {  # WHAT EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $1: got \"$3\", expected \"$2\""
  fi
}
# A link file that is there; its contents are read only then.
written() {  # LINK
  [ -f "$links/$1" ] && return 0
  failed=$((failed + 1))
  echo "FAILED: $1 was not written"
  return 1
}
# One "Label : value" line of lnkinfo's summary; nothing when the label is absent.
field() {  # LINK LABEL
  lnkinfo "$links/$1" | sed -n "s/^\t$2\t*: //p"
}
show_command() { od -An -tu4 -j60 -N4 "$links/$1" | tr -d ' '; }
icon_index() { od -An -td4 -j56 -N4 "$links/$1" | tr -d ' '; }
hot_key() { printf '0x%04X' "$(od -An -tu2 -j64 -N2 "$links/$1")"; }

# Nothing else: no folder for the link in a missing folder, no link without a program.
check "files in the link folder" "koordynator.lnk male-k.lnk zminimalizowany.lnk" "$(ls "$links" | sort | xargs)"

link=koordynator.lnk
if written $link; then
  check "$link target" 'C:\OR-Vel\Edytor3.exe' "$(field $link 'Local path')"
  check "$link working directory" 'C:\OR-Vel' "$(field $link 'Working directory')"
  check "$link description" "Skrót do programu Kanvel Koordynator 8.0" "$(field $link 'Description')"
  check "$link show command" 1 "$(show_command $link)"
  check "$link hot key" 0x064B "$(hot_key $link)"
fi

link=male-k.lnk
if written $link; then
  check "$link target" 'C:\OR-Vel\Edytor3.exe' "$(field $link 'Local path')"
  check "$link working directory" 'C:\OR-Vel\' "$(field $link 'Working directory')"
  check "$link has no description" "" "$(field $link 'Description')"
  check "$link show command" 1 "$(show_command $link)"
  check "$link hot key" 0x064B "$(hot_key $link)"
fi

link=zminimalizowany.lnk
if written $link; then
  check "$link target" 'C:\OR-Vel\Edytor3.exe' "$(field $link 'Local path')"
  check "$link arguments" '/baza C:\OR-Vel\Dane' "$(field $link 'Command line arguments')"
  check "$link icon" 'C:\windows\system32\shell32.dll' "$(field $link 'Icon location')"
  check "$link icon index" 3 "$(icon_index $link)"
  check "$link show command" 7 "$(show_command $link)"
  check "$link hot key" 0x0000 "$(hot_key $link)"
fi

echo "run-shortcut-tests: $passed passed, $failed failed"
[ "$status" = 0 ] || exit "$status"
[ "$failed" = 0 ]
