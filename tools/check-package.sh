#!/usr/bin/env bash
# tools/check-package.sh BUILD NAME KESINST.EXE DEMO-PACKAGE: makes the release zip as the README
# says (`cmake --build BUILD --target package`) and checks that BUILD/NAME.zip holds, in the folder
# NAME, exactly the program, the notes for package makers and the demo package in example/ with
# its own copy of the program (so that it runs as extracted), each file the same as the one built.
set -euo pipefail
build=$1 name=$2 exe=$3 demo=$4
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
zip=$build/$name.zip
rm -f "$zip"
cmake --build "$build" --target package >"$build/package.log" 2>&1 ||
  { cat "$build/package.log"; echo "FAILED: the package target"; exit 1; }
[ -f "$zip" ] || { echo "FAILED: $zip was not made"; exit 1; }
/usr/bin/python3 - "$zip" "$name" "$exe" "$ROOT/docs/package-makers.txt" "$demo" <<'PY'
import os, sys, zipfile
zip_path, name, exe, notes, demo = sys.argv[1:6]
want = {name + "/kesinst.exe": exe, name + "/example/kesinst.exe": exe, name + "/package-makers.txt": notes}
for f in os.listdir(demo):
    want[name + "/example/" + f] = os.path.join(demo, f)
problems = []
with zipfile.ZipFile(zip_path) as z:
    have = {i.filename: i for i in z.infolist() if not i.is_dir()}
    for entry in sorted(set(want) - set(have)):
        problems.append("missing: " + entry)
    for entry in sorted(set(have) - set(want)):
        problems.append("not expected: " + entry)
    for entry in sorted(set(want) & set(have)):
        if z.read(entry) != open(want[entry], "rb").read():
            problems.append("differs from the build: " + entry)
for p in problems:
    print("FAILED " + os.path.basename(zip_path) + ": " + p)
if not problems:
    print("%s: %d files as expected" % (os.path.basename(zip_path), len(want)))
sys.exit(1 if problems else 0)
PY
