#!/usr/bin/env bash
# The test command: installs what is missing, builds the four builds and runs every test.
# Exits non-zero on any failure. Safe to run again; needs root (loop devices, tmpfs mounts).
# Each long step says what it does and, when done, how long it took.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/tools/lib/common.sh"
kes_need_root "$@"
t_all=$SECONDS
kes_install_packages
# The runner of the 32-bit program is made while the builds compile: about 6 minutes the first
# time on a machine, then taken from its cache outside the clone.
mkdir -p "$KES_BUILD"
"$ROOT/tools/win32-runner.sh" setup >"$KES_BUILD/win32-runner.log" 2>&1 &
runner=$!

status=0
log=$KES_BUILD/test-summary.txt
: >"$log"
built=1
kes_step "configure: native, win64, win32 (release), win32-gtest" \
  kes_configure native win64 win32 win32-gtest || built=0
for tree in native win64 win32 win32-gtest; do
  [ $built = 1 ] || break
  kes_step "build: $tree" kes_build $tree || built=0
done
if [ $built = 0 ]; then
  wait $runner || true
  echo "the build failed"
  exit 1
fi

# Each test run adds its CTest totals to the summary log.
native_tests() { ctest --test-dir "$KES_BUILD/native" --output-on-failure -j"$(nproc)" | tee -a "$log"; }
win64_tests() { kes_with_wine_display ctest --test-dir "$KES_BUILD/win64" --output-on-failure -j2 | tee -a "$log"; }
# The wine of tools/wine32 runs the 32-bit Wine; the wineserver is the host's for both. One test at
# a time: under CPU emulation two would make each other's questions slow to come. Both 32-bit
# trees use win32's prefixes and runner state.
win32_tests() { # TREE
  PATH=$ROOT/tools/wine32:$PATH KES_WINEPREFIX=$KES_BUILD/win32/wineprefix \
    KES_W32_STATE=$KES_BUILD/win32/win32-runner \
    kes_with_wine_display ctest --test-dir "$KES_BUILD/$1" --output-on-failure | tee -a "$log"
}

kes_step "native: platform-free rules" native_tests || status=1
kes_step "fuzz: mark-up, button specification, list values and the chooser's path rules" \
  "$ROOT/tools/fuzz.sh" "$KES_BUILD/native" || status=1
kes_step "win64: Windows tests under Wine" win64_tests || status=1
kes_step "win32: the release program imports only what Windows 98 SE and 2000 export" \
  "$ROOT/tools/check-imports.sh" "$KES_BUILD/win32/src/installer/kesinst.exe" || status=1

echo "== win32: waiting for the 32-bit runner"
if wait $runner; then
  cat "$KES_BUILD/win32-runner.log"
  kes_step "win32-gtest: dialog, start-up and disk-step tests under 32-bit Wine" \
    win32_tests win32-gtest || status=1
  kes_step "win32: the release program end to end (as Wine's default, Windows 98 and XP), resources, zip" \
    win32_tests win32 || status=1
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
  failed=1  # a failure outside CTest (fuzz, imports) counts too
fi
echo "$((total - failed)) passed, $failed failed ($((SECONDS - t_all)) s in all)"
exit $status
