#!/usr/bin/env bash
# The installer must run on a bare Windows machine and must not run a DLL that
# lies beside it (in a download folder, the installation, a temporary folder).
# Its import table may name only Windows' known DLLs, which the loader always
# takes from System32 (with what they import); every other system DLL, comctl32
# included, is delay-loaded after the entry point has called
# SetDefaultDllDirectories, whose import is checked too. It must carry its manifest (with the Windows versions it is made for
# and long-path awareness).
set -u
exe="$1/Instalator.exe"
known='^(KERNEL32|USER32|GDI32|comdlg32|SHELL32|ole32|OLEAUT32|SHLWAPI|msvcrt|ADVAPI32)\.dll$'
table=$(x86_64-w64-mingw32-objdump -p "$exe")
dlls=$(printf '%s\n' "$table" | sed -n '/^The Import Tables/,/^The Export Tables\|^The Delay Import\|^The Function Table\|^PE File Base Relocations/s/^\s*DLL Name: //p')
[ -n "$dlls" ] || { echo "FAIL: no import table read from $exe"; exit 1; }
bad=$(printf '%s\n' "$dlls" | grep -v -i -E "$known")
[ -z "$bad" ] || { echo "FAIL: imports DLLs the loader would look for beside the executable: $(printf '%s ' $bad)"; exit 1; }
printf '%s\n' "$table" | grep -q -E '^\s+[0-9a-f]+\s+[0-9]+\s+SetDefaultDllDirectories$' ||
  { echo "FAIL: SetDefaultDllDirectories is not called: delay-loaded DLLs would be looked for beside the executable"; exit 1; }
x86_64-w64-mingw32-objdump -h "$exe" | grep -q '\.rsrc' || { echo "FAIL: no resources"; exit 1; }
grep -a -q 'requestedExecutionLevel level="asInvoker"' "$exe" || { echo "FAIL: no asInvoker manifest"; exit 1; }
grep -a -q 'Microsoft.Windows.Common-Controls' "$exe" || { echo "FAIL: no common controls 6 manifest"; exit 1; }
# Without Windows 10's identifier, a version check on Windows 10 or 11 is told 8.
grep -a -q 'supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"' "$exe" || { echo "FAIL: the manifest does not name Windows 10 and 11"; exit 1; }
grep -a -q '<longPathAware[^>]*>true</longPathAware>' "$exe" || { echo "FAIL: the manifest is not long-path aware"; exit 1; }
echo "import table: $(printf '%s ' $dlls)"
