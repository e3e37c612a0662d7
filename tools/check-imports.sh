#!/usr/bin/env bash
# Fails when a Windows program imports a function that is not in the import baseline, and names
# each one as DLL!Function (or DLL!#ordinal). The baseline lists what Windows 98 SE and Windows
# 2000 export; a program importing anything else does not load there at all.
#
#   tools/check-imports.sh PROGRAM.EXE [BASELINE]     (default: tools/imports-baseline.txt)
set -euo pipefail
exe=${1:?usage: check-imports.sh PROGRAM.EXE [BASELINE]}
baseline=${2:-$(dirname "${BASH_SOURCE[0]}")/imports-baseline.txt}
[ -f "$exe" ] || { echo "missing: $exe"; exit 1; }
[ -f "$baseline" ] || { echo "missing: $baseline"; exit 1; }
# Debian's python3, where python3-pefile is installed (as tools/check-resources.py).
/usr/bin/python3 - "$exe" "$baseline" <<'PY'
import os, sys
import pefile

exe, baseline = sys.argv[1], sys.argv[2]
allowed, dll = {}, None
for n, line in enumerate(open(baseline), 1):
    line = line.strip()
    if not line or line.startswith("#"):
        continue
    if line.startswith("[") and line.endswith("]"):
        dll = line[1:-1].upper()
        allowed.setdefault(dll, set())
    elif dll is None:
        sys.exit("%s:%d: a function before the first [DLL]" % (baseline, n))
    else:
        allowed[dll].add(line.split()[0])

pe = pefile.PE(exe, fast_load=True)
pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"],
                                       pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT"]])
imported = []
for attr in ("DIRECTORY_ENTRY_IMPORT", "DIRECTORY_ENTRY_DELAY_IMPORT"):
    for entry in getattr(pe, attr, []):
        name = entry.dll.decode()
        for imp in entry.imports:
            imported.append((name, imp.name.decode() if imp.name else "#%d" % imp.ordinal))

outside = ["%s!%s" % (d, f) for d, f in imported if f not in allowed.get(d.upper(), ())]
dlls = sorted({d for d, _ in imported}, key=str.upper)
print("%s: %d bytes, %d functions from %s" % (os.path.basename(exe), os.path.getsize(exe),
                                              len(imported), " ".join(dlls)))
if outside:
    print("imports outside %s (Windows 98 SE or 2000 may lack them; look them up with "
          "GetProcAddress, or add them with a source once known to be there):" % baseline)
    for o in outside:
        print("  " + o)
    sys.exit(1)
print("every import is in %s" % os.path.basename(baseline))
PY
