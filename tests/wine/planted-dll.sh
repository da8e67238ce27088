#!/usr/bin/env bash
# DLLs planted beside the installer under the names of the system DLLs it
# uses (as a download folder may hold them) must not run inside it. Wine is
# told to prefer a native DLL to its own for each name, as Windows would take
# a DLL found beside the program. A control program that imports WinHTTP the
# ordinary way shows first that the planted DLL is loaded at all; then the
# installer makes a copy of the server (it calls WinHTTP at once, and the
# server is not there) and none of the planted DLLs may have run, while the
# loader's log names the system's winhttp.dll. A second install into the same
# folder asks Restart Manager who holds the program file: rstrtmgr.dll, not a
# known DLL, comes from System32 too. WinHTTP and Winsock load some DLLs of
# their own only when first needed (crypt32 when a request closes, iphlpapi,
# dhcpcsvc and dnsapi for the proxy and names, secur32 for TLS): those are
# planted as well.
set -u
source "$(dirname "$0")/journey-lib.sh"
journey_begin planted-dll mirror "$@"
planted_dll=${PLANTED_DLL:?the planted DLL}
control_program=${CONTROL_PROGRAM:?the program that imports WinHTTP}
c_drive=$(wine_c_drive)
downloads="$c_drive/Pobrane"
on_journey_end 'rm -rf "$downloads"'
rm -rf "$downloads"
mkdir -p "$downloads"
names="winhttp uxtheme wintrust crypt32 bcrypt rstrtmgr secur32 iphlpapi dhcpcsvc dnsapi"
overrides="$WINEDLLOVERRIDES"
for name in $names; do
  cp "$planted_dll" "$downloads/$name.dll"
  overrides="$overrides;$name=n,b"
done
cp "$control_program" "$downloads/ImportsWinHttp.exe"
cp "$KANVEL_INSTALLER_EXE" "$downloads/Instalator.exe"

WINEDLLOVERRIDES="$overrides" timeout 60 wine 'C:\Pobrane\ImportsWinHttp.exe' >/dev/null 2>&1
# The marker takes the name the loader gave the module, in its letter case.
ls "$downloads" | grep -q -i -x 'winhttp\.dll\.loaded' ||
  fail "the control program did not load the planted winhttp.dll: this test could not see a planted DLL"
rm -f "$downloads"/*.loaded

loader_log="$KANVEL_WINE_ROOT/planted-dll-loader.log"
WINEDEBUG=+loaddll WINEDLLOVERRIDES="$overrides" timeout 120 \
  wine 'C:\Pobrane\Instalator.exe' /SILENT /ACCEPTLICENCE /EDITION=Administrator '/DIR=C:\Pobrane' \
  /COMPONENTS=program /NOSHORTCUTS '/LOG=C:\Pobrane\run.log' >/dev/null 2>"$loader_log"
rc=$?
loaded=$(cd "$downloads" && ls *.loaded 2>/dev/null | tr '\n' ' ')
[ -z "$loaded" ] || fail "the installer ran DLLs planted beside it: $loaded"
[ "$rc" -ne 124 ] || fail "the installer did not end within 120 s"
[ -f "$downloads/OR-Vel/Edytor2.exe" ] ||
  fail "the installation did not install the program (exit code $rc): $(tail -n 3 "$downloads/run.log")"
grep -i 'loaddll' "$loader_log" | grep -i -q 'system32\\\\winhttp.dll' ||
  fail "the installer did not load the system's winhttp.dll (exit code $rc): $(grep -i 'winhttp' "$loader_log" | head -n 3)"
taken_beside=$(grep -i 'loaddll' "$loader_log" | grep -i 'Pobrane.*\.dll')
[ -z "$taken_beside" ] || fail "the loader took a DLL from the installer's folder: $(printf '%s\n' "$taken_beside" | head -n 3)"

WINEDEBUG=+loaddll WINEDLLOVERRIDES="$overrides" timeout 120 \
  wine 'C:\Pobrane\Instalator.exe' /SILENT /ACCEPTLICENCE /EDITION=Administrator '/DIR=C:\Pobrane' \
  /COMPONENTS=program /NOSHORTCUTS '/LOG=C:\Pobrane\run.log' >/dev/null 2>"$loader_log"
rc=$?
loaded=$(cd "$downloads" && ls *.loaded 2>/dev/null | tr '\n' ' ')
[ -z "$loaded" ] || fail "the re-install ran DLLs planted beside it: $loaded"
grep -i 'loaddll' "$loader_log" | grep -i -q 'system32\\\\rstrtmgr.dll' ||
  fail "the re-install did not load the system's rstrtmgr.dll (exit code $rc): $(grep -i 'rstrtmgr' "$loader_log" | head -n 3)"
taken_beside=$(grep -i 'loaddll' "$loader_log" | grep -i 'Pobrane.*\.dll')
[ -z "$taken_beside" ] || fail "the re-install took a DLL from the installer's folder: $(printf '%s\n' "$taken_beside" | head -n 3)"
echo "planted DLLs: loaded by a program that imports them, not by the installer (the re-install ended with $rc)"
