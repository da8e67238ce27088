#!/usr/bin/env bash
# The installer must run on a bare Windows machine: its import table may name
# only the system's own DLLs, and it must carry its manifest (with the Windows
# versions it is made for and long-path awareness).
set -u
exe="$1/Instalator.exe"
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|comdlg32|UxTheme|SHELL32|ole32|WINHTTP|CRYPT32|WINTRUST|bcrypt|msvcrt|ADVAPI32)\.dll$'
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[ -n "$dlls" ] || { echo "FAIL: no import table read from $exe"; exit 1; }
bad=$(printf '%s\n' "$dlls" | grep -v -i -E "$allowed")
[ -z "$bad" ] || { echo "FAIL: imports DLLs that are not Windows' own: $bad"; exit 1; }
x86_64-w64-mingw32-objdump -h "$exe" | grep -q '\.rsrc' || { echo "FAIL: no resources"; exit 1; }
grep -a -q 'requestedExecutionLevel level="asInvoker"' "$exe" || { echo "FAIL: no asInvoker manifest"; exit 1; }
grep -a -q 'Microsoft.Windows.Common-Controls' "$exe" || { echo "FAIL: no common controls 6 manifest"; exit 1; }
# Without Windows 10's identifier, a version check on Windows 10 or 11 is told 8.
grep -a -q 'supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"' "$exe" || { echo "FAIL: the manifest does not name Windows 10 and 11"; exit 1; }
grep -a -q '<longPathAware[^>]*>true</longPathAware>' "$exe" || { echo "FAIL: the manifest is not long-path aware"; exit 1; }
echo "import table: $(printf '%s ' $dlls)"
