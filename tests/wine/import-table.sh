#!/usr/bin/env bash
# The installer must run on a bare Windows machine: its import table may name
# only the system's own DLLs, and it must carry its manifest.
set -u
exe="$1/Instalator.exe"
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|comdlg32|UxTheme|SHELL32|ole32|WINHTTP|CRYPT32|WINTRUST|msvcrt|ADVAPI32)\.dll$'
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[ -n "$dlls" ] || { echo "FAIL: no import table read from $exe"; exit 1; }
bad=$(printf '%s\n' "$dlls" | grep -v -i -E "$allowed")
[ -z "$bad" ] || { echo "FAIL: imports DLLs that are not Windows' own: $bad"; exit 1; }
x86_64-w64-mingw32-objdump -h "$exe" | grep -q '\.rsrc' || { echo "FAIL: no resources"; exit 1; }
grep -a -q 'requestedExecutionLevel level="asInvoker"' "$exe" || { echo "FAIL: no asInvoker manifest"; exit 1; }
grep -a -q 'Microsoft.Windows.Common-Controls' "$exe" || { echo "FAIL: no common controls 6 manifest"; exit 1; }
echo "import table: $(printf '%s ' $dlls)"
