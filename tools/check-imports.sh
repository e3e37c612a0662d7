#!/usr/bin/env bash
# Fails when a Windows program imports anything but Windows system DLLs.
set -euo pipefail
exe=$1
allowed='^(KERNEL32|USER32|GDI32|COMDLG32|SHELL32|OLE32|msvcrt|ADVAPI32)\.dll$'
[ -f "$exe" ] || { echo "missing: $exe"; exit 1; }
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p')
echo "$(basename "$exe") $(stat -c %s "$exe") bytes, imports: $(echo $dlls)"
bad=$(echo "$dlls" | grep -v -i -E "$allowed" || true)
if [ -n "$bad" ]; then
  echo "unexpected imports: $bad"
  exit 1
fi
