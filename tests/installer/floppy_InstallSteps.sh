#!/usr/bin/env bash
# InstallFreeDos, UpdateStartupFiles and CopyPackageFile on loop-backed disk images as drive A: of
# the floppy prefix. Each group of tests gets a fresh disk; the disk is then read with mtools.
# Usage: floppy_InstallSteps.sh <test exe>
set -uo pipefail
EXE=$1
source "$(dirname "$0")/../../tools/floppy.sh"
fail=0
check() { if ! "$@"; then echo "FAILED: $*" >&2; fail=1; fi; }

floppy_begin
PKG=$FLOPPY_WORK/pkg
mkdir -p "$PKG/short"
# Made-up package files: only their bytes matter here.
python3 - "$PKG" <<'PY'
import os, sys
d = sys.argv[1]
boot = bytearray((i * 3 + 7) & 0xFF for i in range(600))
boot[510:512] = b"\x55\xaa"
open(os.path.join(d, "boot.dat"), "wb").write(boot)
open(os.path.join(d, "short", "boot.dat"), "wb").write(boot[:300])
open(os.path.join(d, "kernel._ys"), "wb").write(b"KERNEL" * 3400)       # 20400 bytes
open(os.path.join(d, "command._om"), "wb").write(b"COMMAND" * 300)
open(os.path.join(d, "ksstart._om"), "wb").write(b"K" * 8192)            # two tmpfs pages
open(os.path.join(d, "config.sys"), "wb").write(b"DEVICE=HIMEM.SYS\r\nFILES=30\r\n")
open(os.path.join(d, "autoexec.bat"), "wb").write(b"@ECHO OFF\r\nPROMPT $P$G\r\n")
PY
PACKAGE="$EXE $PKG/boot.dat $PKG/kernel._ys $PKG/command._om $PKG/ksstart._om"

# The disk's sector 0 before the run, to compare with afterwards.
ORIG=$FLOPPY_WORK/orig.bin
save_sector0() { dd if="$FLOPPY_IMAGE" of="$ORIG" bs=512 count=1 status=none; }
sector0_unchanged() { cmp -s <(dd if="$FLOPPY_IMAGE" bs=512 count=1 status=none) "$ORIG"; }
# Bytes 11..61 are the disk's own, every other byte is boot.dat's.
sector0_merged() {
  python3 "$(dirname "$0")/../../tools/check-boot-sector.py" "$FLOPPY_IMAGE" "$ORIG" "$PKG/boot.dat"
}
file_is() { cmp -s <(mtype -i "$FLOPPY_IMAGE" "::$1") <(printf '%b' "$2"); }
same_as() { cmp -s <(mtype -i "$FLOPPY_IMAGE" "::$1") "$2"; }
absent() { ! mdir -b -i "$FLOPPY_IMAGE" "::$1" >/dev/null 2>&1; }
no_files() { [ -z "$(mdir -b -i "$FLOPPY_IMAGE" :: 2>/dev/null)" ]; }
MARKER='REM KESTRAND   ** DO NOT MODIFY **'
AUTOEXEC="$MARKER\r\n@echo off\r\nksstart.com"

# group FILTER SETUP-OPTIONS...: a fresh disk, the group's tests, the disk's files back in the image.
# Every filter is remembered, so that a test no group selects fails the script at the end.
selected=()
group() {
  local filter=$1
  shift
  selected+=("$filter")
  echo "== $filter"
  floppy_setup "$@" || { echo "FAILED: setup for $filter" >&2; fail=1; return 1; }
  save_sector0
  check floppy_run "$FLOPPY_PROGDIR/$(basename "$EXE")" --gtest_filter="$filter"
  check floppy_finish
}

group 'InstallStepsTest.Fat12_*' --kind fat12 --install "$PACKAGE"
check sector0_merged
check file_is config.sys "$MARKER"
check file_is autoexec.bat "$AUTOEXEC"
check absent config.zeb
check absent autoexec.zeb
check same_as kernel.sys "$PKG/kernel._ys"
check same_as command.com "$PKG/command._om"
check same_as ksstart.com "$PKG/ksstart._om"
check absent 0000.dat
floppy_end

group 'InstallStepsTest.OldStartupFiles_*' --kind fat12 --files "$PKG/config.sys $PKG/autoexec.bat" \
  --install "$PACKAGE"
check sector0_unchanged
check same_as config.zeb "$PKG/config.sys"
check same_as autoexec.zeb "$PKG/autoexec.bat"
check file_is config.sys "$MARKER"
check absent 'config.ze$'
check absent 'autoexec.ze$'
check absent kernel.sys
floppy_end

# Read-only files and moves that fail (through import hooks); the tests check the files themselves.
group 'UserStartupFilesTest.*' --kind fat12 --install "$PACKAGE"
check absent 'config.ze$'
check absent 'autoexec.ze$'
check same_as config.sys "$PKG/config.sys"
floppy_end

group 'InstallStepsTest.Fat16_*' --kind fat16 --tmpfs 16m --install "$PACKAGE"
check sector0_merged
check same_as kernel.sys "$PKG/kernel._ys"
floppy_end

group 'InstallStepsTest.Fat32_*' --kind fat32 --tmpfs 300m --install "$PACKAGE"
check sector0_unchanged
check no_files
floppy_end

group 'InstallStepsTest.NotFat_*' --kind raw --install "$PACKAGE"
check sector0_unchanged
floppy_end

# The raw device must vanish after the file-system test (which reads it) and before the boot
# sector is read. boot.dat is a FIFO here: opening it comes between the two, and the read of it
# waits until the link is gone and the image's bytes are written.
echo "== InstallStepsTest.SectorReadFails_*"
selected+=('InstallStepsTest.SectorReadFails_*')
if floppy_setup --kind fat12 --install "$PACKAGE"; then
  save_sector0
  rm -f "$FLOPPY_PROGDIR/boot.dat"
  mkfifo "$FLOPPY_PROGDIR/boot.dat"
  floppy_run "$FLOPPY_PROGDIR/$(basename "$EXE")" --gtest_filter='InstallStepsTest.SectorReadFails_*' &
  run=$!
  check timeout 60 bash -c 'exec 3>"$1"; rm -f "$2"; cat "$3" >&3' _ \
    "$FLOPPY_PROGDIR/boot.dat" "$WINEPREFIX/dosdevices/a::" "$PKG/boot.dat"
  check wait $run
  check floppy_finish
  check sector0_unchanged
  check same_as command.com "$PKG/command._om"
else
  echo "FAILED: setup for SectorReadFails" >&2; fail=1
fi
floppy_end

group 'InstallStepsTest.SectorWriteFails_*' --kind fat12 --ro-loop --install "$PACKAGE"
check sector0_unchanged
floppy_end

group 'InstallStepsTest.DiskFull_Kernel*' --kind fat12 --tmpfs 8k --install "$PACKAGE"
check sector0_unchanged
floppy_end

group 'InstallStepsTest.DiskFull_Autoexec*' --kind fat12 --tmpfs 12k --install "$PACKAGE"
check file_is config.sys "$MARKER"
floppy_end

group 'InstallStepsTest.DriveE_*' --kind fat12 --drive e --install "$PACKAGE"
check sector0_merged
check same_as kernel.sys "$PKG/kernel._ys"
check same_as command.com "$PKG/command._om"
floppy_end

group 'InstallStepsTest.ShortBootDat_*' --kind fat12 \
  --install "$EXE $PKG/short/boot.dat $PKG/kernel._ys $PKG/command._om $PKG/ksstart._om"
check sector0_unchanged
floppy_end

echo "== every test selected"
check floppy_unselected "$EXE" "${selected[@]}"

exit $fail
