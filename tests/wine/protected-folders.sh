#!/usr/bin/env bash
# The installation's folders under Wine. An all-users installation over a
# "C:\OR-Vel" that is a symbolic link to another folder (which Wine shows as
# a reparse point by its name) is refused with exit code 2 and writes
# nothing where the link leads. Then an all-users installation, a repeat of
# it over the folder it made, and a per-user one: each ends with 0, and the
# descriptors of their folders are read back and printed. Wine turns a
# descriptor into Unix mode bits and reads back one made from them, so the
# printed text is what Wine keeps, not what Windows would; the rights
# themselves are checked by the native tests.
# Usage: protected-folders.sh BUILD_DIR BASE_URL (FOLDER_DESCRIPTOR: the reading program)
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin protected-folders mirror "$@"
exe=$KANVEL_INSTALLER_EXE
c_drive=$(wine_c_drive)
target="$c_drive/Cel"
on_journey_end 'rm -rf "$c_drive/OR-Vel" "$target" "$c_drive/Jeden"'
rm -rf "$c_drive/OR-Vel" "$target" "$c_drive/Jeden"
mkdir -p "$target"
ln -s "$target" "$c_drive/OR-Vel"

# The run logs are UTF-8 with a byte-order mark.
expect_logged() { grep -q -- "$2" "$1" || fail "$1 lacks: $2"; }

install() {  # install LOG ARGS...: a silent installation of the program and database; sets RC
  local log=$1; shift
  timeout 180 wine "$exe" /SILENT /ACCEPTLICENCE /EDITION=Administrator /COMPONENTS=program,database /NOSHORTCUTS \
    "/LOG=C:\\$log" "$@" >/dev/null 2>&1
  RC=$?
}

install link.log /ALLUSERS
[ "$RC" = 2 ] || fail "over a link: exit code $RC, expected 2"
[ -z "$(ls -A "$target")" ] || fail "files were written through the link: $(ls -A "$target" | tr '\n' ' ')"
expect_logged "$c_drive/link.log" 'folder odrzucony: C:\\OR-Vel'
expect_logged "$c_drive/link.log" '"C:\\OR-Vel" jest łączem do innego miejsca na dysku'
rm "$c_drive/OR-Vel"

descriptors() {  # descriptors FOLDER...: prints each folder's descriptor
  wine "$FOLDER_DESCRIPTOR" "$@" 2>/dev/null | tr -d '\r' | sed 's/^/  /'
}
install all.log /ALLUSERS
[ "$RC" = 0 ] || fail "all users: exit code $RC, expected 0 ($(tail -n 3 "$c_drive/all.log"))"
[ -f "$c_drive/OR-Vel/Edytor2.exe" ] || fail "all users: no program file"
echo "all users:"
descriptors 'C:\OR-Vel' 'C:\OR-Vel\Edytor2.exe' 'C:\OR-Vel\Format' 'C:\OR-Vel\Format\Bkp6' \
  'C:\OR-Vel\Format\Zestaw' 'C:\OR-Vel\Format\Dbf6' 'C:\OR-Vel\Format\Cfg'
install again.log /ALLUSERS
[ "$RC" = 0 ] || fail "all users over the earlier installation: exit code $RC ($(tail -n 3 "$c_drive/again.log"))"
echo "all users, over the earlier installation:"
descriptors 'C:\OR-Vel' 'C:\OR-Vel\Format\Dbf6'
install one.log '/DIR=C:\Jeden\Programy'
[ "$RC" = 0 ] || fail "one user: exit code $RC, expected 0 ($(tail -n 3 "$c_drive/one.log"))"
echo "one user:"
descriptors 'C:\Jeden' 'C:\Jeden\Programy' 'C:\Jeden\Programy\OR-Vel' 'C:\Jeden\Programy\OR-Vel\Format\Dbf6'
echo "protected folders: ok"
