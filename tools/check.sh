#!/usr/bin/env bash
# The test command: installs what is missing, builds all three builds and runs every test.
# Exits non-zero on any failure. Safe to run again; needs root (loop devices, tmpfs mounts).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/tools/lib/common.sh"
kes_need_root "$@"
kes_install_packages
kes_configure_and_build

status=0
log=$KES_BUILD/test-summary.txt
: >"$log"

echo "== native: platform-free rules"
ctest --test-dir "$KES_BUILD/native" --output-on-failure -j"$(nproc)" | tee -a "$log" || status=1

echo "== fuzz: mark-up, button specification, list values and the chooser's path rules"
"$ROOT/tools/fuzz.sh" "$KES_BUILD/native" || status=1

echo "== win64: Windows tests under Wine"
kes_with_wine_display ctest --test-dir "$KES_BUILD/win64" --output-on-failure -j2 \
  | tee -a "$log" || status=1

echo "== win32: release program"
"$ROOT/tools/check-imports.sh" "$KES_BUILD/win32/src/installer/kesinst.exe" || status=1

echo
# One closing line over all test runs, from the CTest totals.
read -r total failed < <(awk '/tests passed, [0-9]+ tests failed out of/ {f += $4; t += $NF} END {print t+0, f+0}' "$log")
if [ $status -ne 0 ] && [ "$failed" -eq 0 ]; then
  failed=1  # a failure outside CTest (build, fuzz, imports) counts too
fi
echo "$((total - failed)) passed, $failed failed"
exit $status
