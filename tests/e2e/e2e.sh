#!/usr/bin/env bash
# End-to-end tests: the real installer on a real disk image as drive A: of the floppy prefix
# (tools/floppy.sh), every question answered by the dialog robot as a person would. Each scenario
# checks what that person would judge: the questions in order, the exit code, the files and bytes
# on the disk, sector 0, and for finished disks that they boot.
#
#   tests/e2e/e2e.sh GROUP KESINST.EXE KESROBOT.EXE PACKAGE-FOLDER
#   GROUP: paths | aborts | faults | drives | all, or a single scenario function name
#
# Scenarios that share a disk (the abort cases) run one after the other in one session; the
# others get a fresh disk each. Needs root (loop devices, mounts), Wine, mtools, qemu-system-i386.
# E2E_WINDOWS=win98 (or winxp, ...) runs them with the floppy prefix reporting that Windows
# version (give each version a FLOPPY_PREFIX of its own); as win98 the installer's sectors must
# go through the VWIN32 device.
set -uo pipefail
GROUP=${1:?usage: e2e.sh GROUP KESINST KESROBOT PACKAGE}
KESINST=${2:?}
KESROBOT=${3:?}
PKG=${4:?}
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$HERE/../../tools/floppy.sh"

for f in "$KESINST" "$KESROBOT" "$PKG/readme.txt" "$PKG/boot.dat"; do
  [ -f "$f" ] || { echo "FAILED: $f is missing (build kesinst, kesrobot and the demo package)"; exit 1; }
done

floppy_begin
WORK=$FLOPPY_WORK
[ "${E2E_WINDOWS:-default}" = default ] || echo "== as Windows $E2E_WINDOWS (prefix $FLOPPY_PREFIX)"
INSTALL="$KESINST $KESROBOT $(ls "$PKG"/*)"

# The library: questions, disks, the boot check; then one file of scenarios per group, each
# ending in its group_<name> function.
for part in lib/questions lib/disks lib/boot scenarios/paths scenarios/aborts scenarios/faults scenarios/drives; do
  # shellcheck source=/dev/null
  source "$HERE/$part.sh"
done

case $GROUP in
  paths | aborts | faults | drives) "group_$GROUP" ;;
  all) "$0" paths "$2" "$3" "$4"; a=$?; "$0" aborts "$2" "$3" "$4"; b=$?
       "$0" faults "$2" "$3" "$4"; c=$?; "$0" drives "$2" "$3" "$4"; d=$?
       exit $((a || b || c || d)) ;;
  *) if declare -F "$GROUP" >/dev/null; then "$GROUP"; else echo "unknown group $GROUP"; exit 2; fi ;;
esac

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all scenarios passed"
