#!/usr/bin/env bash
# The test command: installs what is missing, builds all three builds and runs every test.
# Exits non-zero on any failure. Safe to run again; needs root (loop devices, tmpfs mounts).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/tools/lib/common.sh"
kes_need_root "$@"
kes_install_packages
# The runner of the 32-bit program is made while the builds compile: about 6 minutes the first
# time on a machine, then taken from its cache outside the clone.
mkdir -p "$KES_BUILD"
"$ROOT/tools/win32-runner.sh" setup >"$KES_BUILD/win32-runner.log" 2>&1 &
runner=$!
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

echo "== win32: resources, release zip, and the tests under 32-bit Wine"
if wait $runner; then
  cat "$KES_BUILD/win32-runner.log"
  t0=$SECONDS
  # The wine of tools/wine32 runs the 32-bit Wine; the wineserver is the host's for both. One
  # test at a time: under CPU emulation two would make each other's questions slow to come.
  PATH=$ROOT/tools/wine32:$PATH KES_WINEPREFIX=$KES_BUILD/win32/wineprefix \
    KES_W32_STATE=$KES_BUILD/win32/win32-runner \
    kes_with_wine_display ctest --test-dir "$KES_BUILD/win32" --output-on-failure \
    | tee -a "$log" || status=1
  echo "32-bit tests: $((SECONDS - t0)) s"
  KES_W32_STATE=$KES_BUILD/win32/win32-runner "$ROOT/tools/win32-runner.sh" stop || true
else
  cat "$KES_BUILD/win32-runner.log"
  echo "the 32-bit runner could not be made"
  status=1
fi

echo
# One closing line over all test runs, from the CTest totals.
read -r total failed < <(awk '/tests passed, [0-9]+ tests failed out of/ {f += $4; t += $NF} END {print t+0, f+0}' "$log")
if [ $status -ne 0 ] && [ "$failed" -eq 0 ]; then
  failed=1  # a failure outside CTest (build, fuzz, imports) counts too
fi
echo "$((total - failed)) passed, $failed failed"
exit $status
