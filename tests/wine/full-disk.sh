#!/usr/bin/env bash
# Installation without a window onto a drive of 4 MiB (a tmpfs mapped as
# drive K:): a program larger than the drive's free space ends the run with
# the disk code, 13, and leaves no part of it; a drive that another program
# fills while the program arrives (the mirror sends it slowly) ends the same
# way, the partial file removed; and a run from a copy of the server whose
# files each fit but together do not writes nothing and ends with 13. Mounting the small file system needs root.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin full-disk mirror "$@"
exe=$KANVEL_INSTALLER_EXE
k_root=$(mktemp -d)
mount -t tmpfs -o size=4m,mode=0777 tmpfs "$k_root" || { rmdir "$k_root"; fail "cannot mount a small file system"; }
on_journey_end 'rm -f "$WINEPREFIX/dosdevices/k:"; umount "$k_root"; rmdir "$k_root"'
ln -sfn "$k_root" "$WINEPREFIX/dosdevices/k:"
mkdir -p "$k_root/Programy"
installed="$k_root/Programy/OR-Vel"
program_size=$(stat -c %s "$KANVEL_BUILD_DIR/mirror/root/programy/wersja7/poprawki/Edytor2._exe")
log_dir=$(mktemp -d)
on_journey_end 'rm -rf "$log_dir"'
log_windows="Z:${log_dir//\//\\}\\pelny-dysk.log"

free_bytes() { echo $(( $(stat -f -c '%a * %S' "$k_root") )); }
# fill_leaving BYTES: a file of another program takes all of the drive's free space but BYTES.
fill_leaving() {
  local take=$(( $(free_bytes) - $1 ))
  [ "$take" -le 0 ] || fallocate -l "$take" "$k_root/filler-$RANDOM" || fail "cannot fill the drive"
}
install_onto_k() {
  rm -f "$log_dir/pelny-dysk.log"
  journey_start "$exe" /SILENT /ACCEPTLICENCE /EDITION=Administrator "/DIR=K:\\Programy" /COMPONENTS=program \
    "/LOG=$log_windows"
}
expect_disk_full_outcome() {
  [ "$1" = 13 ] || fail "$2: exit code $1, expected 13"
  [ ! -e "$installed/Edytor2.exe" ] || fail "$2: the program was stored"
  [ ! -e "$installed/Edytor2.exe.part" ] || fail "$2: the partial file was left"
  grep -aq 'za mało wolnego miejsca na dysku, aby zapisać plik K:\\Programy\\OR-Vel\\Edytor2.exe' \
    "$log_dir/pelny-dysk.log" || fail "$2: the log does not name the file that did not fit"
  grep -aq '\] kod wyjścia 13: ' "$log_dir/pelny-dysk.log" || fail "$2: the log does not end with code 13"
}

# --- Less room than the program's declared size: refused before writing.
fill_leaving $(( program_size / 2 ))
install_onto_k
journey_finish 120; rc=$?
expect_disk_full_outcome "$rc" "too little room"
rm -f "$k_root"/filler-*

# --- Room enough at the start; another program takes it while the body arrives.
mirror_start 32k
fill_leaving $(( 1024 * 1024 ))
install_onto_k
partial_growing() { [ -s "$installed/Edytor2.exe.part" ]; }
wait_for 60 partial_growing || fail "the partial file never appeared"
[ "$(stat -c %s "$installed/Edytor2.exe.part")" -lt "$program_size" ] || fail "the program arrived before the drive filled"
# Written block by block until the drive has no room left (dd ends on the full drive).
dd if=/dev/zero of="$k_root/filler-rest" bs=64k 2>/dev/null
[ "$(free_bytes)" = 0 ] || fail "the drive still has room"
journey_finish 120; rc=$?
expect_disk_full_outcome "$rc" "drive filled mid-way"
rm -f "$k_root"/filler-*

# --- A copy of the server (/SOURCE) lists every size: a run whose files each
# fit but together do not (program, engine, tables and their working copies)
# is refused before anything is written.
mirror_start
copy_dir=$(mktemp -d)
on_journey_end 'rm -rf "$copy_dir"'
copy_windows="Z:${copy_dir//\//\\}"
journey_start "$exe" /SILENT "/LAYOUT=$copy_windows" "/LOG=$log_windows"
journey_finish 300; rc=$?
[ "$rc" = 0 ] || fail "/LAYOUT: exit code $rc"
mirror_stop
engine_size=$(stat -c %s "$copy_dir/sterowniki/bde/setup._exe")
tables_size=$(cat "$copy_dir"/programy/wersja7/bkp6/* | wc -c)
largest=$(( program_size > engine_size ? program_size : engine_size ))
room=$(( largest + 65536 ))
[ $(( program_size + engine_size + 2 * tables_size )) -gt $(( room + 65536 )) ] || fail "the copy is too small for this case"
fill_leaving "$room"
rm -f "$log_dir/pelny-dysk.log"
journey_start "$exe" /SILENT /ACCEPTLICENCE /EDITION=Administrator "/DIR=K:\\Programy" \
  /COMPONENTS=program,database,engine "/SOURCE=$copy_windows" "/LOG=$log_windows"
journey_finish 120; rc=$?
[ "$rc" = 13 ] || fail "a run too large for the drive: exit code $rc, expected 13"
written=$(find "$installed" -type f 2>/dev/null | wc -l)
[ "$written" = 0 ] || fail "a run too large for the drive wrote $written files"
grep -aq '\] kod wyjścia 13: ' "$log_dir/pelny-dysk.log" || fail "a run too large for the drive: no code 13 in the log"
rm -f "$k_root"/filler-*
echo "full-disk: OK"
