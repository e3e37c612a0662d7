#!/usr/bin/env bash
# Boots the demo package's boot sector and kernel in QEMU, without the installer: FAT12 and FAT16
# images are made with mkfs.fat and mtools, boot.dat is merged with each image's parameter block
# (bytes 11-61) as the installer does, and the kernel's report on COM1 is compared line by line.
#   tests/demo/boot-test.sh <work folder>
# Exit status 0 when every case passes, 1 otherwise, 77 when a tool is missing.
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
WORK=${1:?usage: boot-test.sh <work folder>}
export MTOOLS_SKIP_CHECK=1

for tool in nasm mkfs.fat mcopy mdel qemu-system-i386 python3 timeout; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

rm -rf "$WORK"
mkdir -p "$WORK"
PKG=$WORK/package
"$ROOT/tools/make-demo-package.sh" "$PKG" >/dev/null || { echo "FAIL: the demo package does not build"; exit 1; }
nasm -f bin -DFORCE_CHS -I "$ROOT/demo/" -o "$WORK/boot-chs.dat" "$ROOT/demo/boot.asm" || exit 1

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# FAT helper: the cluster chain of a root-directory file, and swapping two of its clusters.
FATPY=$WORK/fat.py
cat >"$FATPY" <<'PY'
import struct, sys
def layout(img):
    bps, spc, rsvd, nfats, roots, tot16 = struct.unpack_from('<HBHBHH', img, 11)
    spf = struct.unpack_from('<H', img, 22)[0]
    tot = tot16 or struct.unpack_from('<I', img, 32)[0]
    root = rsvd + nfats * spf
    data = root + (roots * 32 + bps - 1) // bps
    fat16 = (tot - data) // spc >= 4085
    return bps, spc, rsvd, root, roots, data, fat16
def chain(img, name):
    bps, spc, rsvd, root, roots, data, fat16 = layout(img)
    for e in range(roots):
        off = root * bps + e * 32
        if img[off:off + 11] == name.encode():
            c = struct.unpack_from('<H', img, off + 26)[0]
            break
    else:
        sys.exit('no ' + name)
    fat, out = rsvd * bps, []
    while 2 <= c < (0xFFF8 if fat16 else 0xFF8):
        out.append(c)
        if fat16:
            c = struct.unpack_from('<H', img, fat + 2 * c)[0]
        else:
            v = struct.unpack_from('<H', img, fat + c * 3 // 2)[0]
            c = v >> 4 if c & 1 else v & 0xFFF
    return out
img = bytearray(open(sys.argv[2], 'rb').read())
clusters = chain(img, sys.argv[3])
if sys.argv[1] == 'fragments':
    print(sum(1 for a, b in zip(clusters, clusters[1:]) if b != a + 1) + 1)
elif sys.argv[1] == 'swap-last-two':
    bps, spc, _, _, _, data, _ = layout(img)
    size = spc * bps
    a, b = [(data + (c - 2) * spc) * bps for c in clusters[-2:]]
    img[a:a + size], img[b:b + size] = img[b:b + size], img[a:a + size]
    open(sys.argv[2], 'wb').write(img)
PY

# Merges the boot sector image with the disk's bytes 11-61, the way the installer writes it.
merge_boot() { # <image> <boot.dat> [<offset of the volume in sectors>]
  local img=$1 boot=$2 sector=${3:-0} merged=$WORK/merged.bin
  dd if="$boot" of="$merged" bs=512 count=1 status=none
  dd if="$img" of="$merged" bs=1 skip=$((sector * 512 + 11)) seek=11 count=51 conv=notrunc status=none
  dd if="$merged" of="$img" bs=512 seek="$sector" count=1 conv=notrunc status=none
}

# A disk with the installer's start-up files, a few package files and a kernel that does not lie
# in one piece: small files are copied and some deleted first, so the chain has to be followed.
make_disk() { # <image> <label> <size in KiB> <mkfs.fat options...>
  local img=$1 label=$2 size=$3
  shift 3
  mkfs.fat -C -n "$label" "$@" "$img" "$size" >/dev/null || return 1
  fill_disk "$img" 0
}

# The files of make_disk onto the volume that starts at sector <first> of the image.
fill_disk() { # <image> <first sector of the volume>
  local img=$1 first=$2 gap=$WORK/gap.bin cs
  [ "$first" = 0 ] || img="$img@@$((first * 512))"
  cs=$(python3 -c "import struct,sys;f=open(sys.argv[1],'rb');f.seek(int(sys.argv[2])*512);d=f.read(32);print(d[13]*struct.unpack_from('<H',d,11)[0])" "$1" "$first")
  head -c "$cs" /dev/zero >"$gap"
  for i in 1 2 3 4 5; do mcopy -i "$img" "$gap" "::GAP$i.TMP" || return 1; done
  mdel -i "$img" ::GAP2.TMP ::GAP4.TMP || return 1
  mcopy -i "$img" "$PKG/kernel._ys" ::KERNEL.SYS || return 1
  mdel -i "$img" ::GAP1.TMP ::GAP3.TMP ::GAP5.TMP || return 1
  printf 'REM KESTRAND   ** DO NOT MODIFY **' >"$WORK/CONFIG.SYS"
  printf 'REM KESTRAND   ** DO NOT MODIFY **\r\n@echo off\r\nksstart.com' >"$WORK/AUTOEXEC.BAT"
  mcopy -i "$img" "$PKG/command._om" ::COMMAND.COM || return 1
  mcopy -i "$img" "$WORK/CONFIG.SYS" "$WORK/AUTOEXEC.BAT" "$PKG/0400.dat" :: || return 1
  mcopy -i "$img" "$PKG/ksstart._om" ::KSSTART.COM || return 1
  mcopy -i "$img" "$PKG/kestrand._xe" ::KESTRAND.EXE || return 1
}

# mtools puts COMMAND.COM into the first slot freed by the deleted gap files.
expected_report() { # <label> <file-system line> <drive>
  cat <<TXT
KESTRAND demo kernel 1.0
Boot sector: KESDEMO, BIOS drive $3h
Kernel image: 8192 bytes loaded, all blocks in place
Volume label: $1
$2
Root directory:
  COMMAND.COM         127
  KERNEL.SYS         8192
  CONFIG.SYS           34
  AUTOEXEC.BAT         58
  0400.DAT           6931
  KSSTART.COM         694
  KESTRAND.EXE        198
CONFIG.SYS:
  REM KESTRAND   ** DO NOT MODIFY **
AUTOEXEC.BAT:
  REM KESTRAND   ** DO NOT MODIFY **
  @echo off
  ksstart.com
AUTOEXEC.BAT runs ksstart.com
KESTRAND demo start-up program: starting KESTRAND.EXE
KESTRAND demo diagnostic program.
The real package tests ATA/IDE drives; this demo only shows that it was
installed and started from the boot disk.
ksstart.com ended, exit code 0
End of the KESTRAND demo. System halted.
TXT
}

boot() { # <image> <floppy|hd> <seconds> -> COM1 text in $WORK/com1.txt, status in $status
  local drive="if=floppy -boot a"
  [ "$2" = hd ] && drive="if=ide -boot c"
  # shellcheck disable=SC2086
  timeout "$3" qemu-system-i386 -display none -drive file="$1",format=raw,$drive \
    -serial stdio -device isa-debug-exit,iobase=0xf4,iosize=0x04 -no-reboot \
    -monitor none </dev/null >"$WORK/com1.raw" 2>"$WORK/qemu.err"
  status=$?
  tr -d '\r' <"$WORK/com1.raw" >"$WORK/com1.txt"
}

check_boot() { # <case> <image> <floppy|hd> <expected report file>
  boot "$2" "$3" 20
  # The boot sector prints nothing unless it fails, so COM1 holds the kernel's report alone.
  if [ $status -ne 33 ]; then
    fail "$1: QEMU ended with status $status, not 33 (the kernel's exit); COM1 said:"
    sed 's/^/    /' "$WORK/com1.txt"
  elif ! diff -u "$4" "$WORK/com1.txt" >"$WORK/diff.txt"; then
    fail "$1: the kernel's report differs from the expected one:"
    sed 's/^/    /' "$WORK/diff.txt"
  else
    echo "ok: $1"
    sed 's/^/    /' "$WORK/com1.txt"
  fi
}

check_merge() { # <case> <image before> <image after>
  cmp -s <(head -c 62 "$2" | tail -c 51) <(head -c 62 "$3" | tail -c 51) ||
    fail "$1: bytes 11-61 are not the disk's own after the merge"
  cmp -s <(head -c 11 "$PKG/boot.dat") <(head -c 11 "$3") ||
    fail "$1: bytes 0-10 are not boot.dat's"
  cmp -s <(tail -c +63 "$PKG/boot.dat") <(head -c 512 "$3" | tail -c +63) ||
    fail "$1: bytes 62-511 are not boot.dat's"
}

# 1. FAT12 floppy, the package's boot sector (extended reads where the BIOS has them).
F12=$WORK/fat12.img
make_disk "$F12" DEMOFLOPPY 1440 -F 12 || fail "FAT12: the image could not be made"
[ "$(python3 "$FATPY" fragments "$F12" 'KERNEL  SYS')" -ge 3 ] ||
  fail "FAT12: KERNEL.SYS is not fragmented, the test would not follow a chain"
cp "$F12" "$WORK/fat12-before.img"
merge_boot "$F12" "$PKG/boot.dat"
check_merge "FAT12 merge" "$WORK/fat12-before.img" "$F12"
expected_report DEMOFLOPPY "File system: FAT12, 2847 clusters of 512 bytes" 00 >"$WORK/expect-fat12.txt"
check_boot "FAT12 floppy" "$F12" floppy "$WORK/expect-fat12.txt"

# 2. The same floppy with CHS reads only, as on a BIOS without the extended read.
cp "$WORK/fat12-before.img" "$WORK/fat12-chs.img"
merge_boot "$WORK/fat12-chs.img" "$WORK/boot-chs.dat"
check_boot "FAT12 floppy, CHS reads" "$WORK/fat12-chs.img" floppy "$WORK/expect-fat12.txt"

# 3. FAT16, 16 MB, booted as the first hard disk (several sectors per cluster).
F16=$WORK/fat16.img
make_disk "$F16" DEMOHD 16384 -F 16 || fail "FAT16: the image could not be made"
[ "$(python3 "$FATPY" fragments "$F16" 'KERNEL  SYS')" -ge 2 ] ||
  fail "FAT16: KERNEL.SYS is not fragmented, the test would not follow a chain"
cp "$F16" "$WORK/fat16-before.img"
merge_boot "$F16" "$PKG/boot.dat"
check_merge "FAT16 merge" "$WORK/fat16-before.img" "$F16"
expected_report DEMOHD "File system: FAT16, 8167 clusters of 2048 bytes" 80 >"$WORK/expect-fat16.txt"
check_boot "FAT16 hard disk" "$F16" hd "$WORK/expect-fat16.txt"

# 4. FAT16 with CHS reads: works when the parameter block's geometry is the BIOS's (16 heads,
#    63 sectors per track is what QEMU gives a 16 MB disk).
make_disk "$WORK/fat16-chs.img" DEMOHD 16384 -F 16 -g 16/63 || fail "FAT16 CHS: the image could not be made"
merge_boot "$WORK/fat16-chs.img" "$WORK/boot-chs.dat"
expected_report DEMOHD "File system: FAT16, 8165 clusters of 2048 bytes" 80 >"$WORK/expect-fat16-chs.txt"
check_boot "FAT16 hard disk, CHS reads" "$WORK/fat16-chs.img" hd "$WORK/expect-fat16-chs.txt"

# 5. The start-up program without KESTRAND.EXE says so and ends with code 1.
cp "$WORK/fat12-before.img" "$WORK/no-exe.img"
mdel -i "$WORK/no-exe.img" ::KESTRAND.EXE
merge_boot "$WORK/no-exe.img" "$PKG/boot.dat"
boot "$WORK/no-exe.img" floppy 20
if [ $status -eq 33 ] && grep -qx "KESTRAND.EXE could not be started." "$WORK/com1.txt" &&
   grep -qx "ksstart.com ended, exit code 1" "$WORK/com1.txt"; then
  echo "ok: KSSTART.COM without KESTRAND.EXE"
else
  fail "KSSTART.COM without KESTRAND.EXE: status $status, COM1 said:"
  sed 's/^/    /' "$WORK/com1.txt"
fi

# 6. Two kernel clusters swapped on the disk: the kernel must notice, so the cases above
#    really prove that the chain was followed in order.
cp "$F12" "$WORK/swapped.img"
python3 "$FATPY" swap-last-two "$WORK/swapped.img" 'KERNEL  SYS'
boot "$WORK/swapped.img" floppy 20
if grep -q "Kernel image: damaged" "$WORK/com1.txt" && [ $status -eq 33 ]; then
  echo "ok: swapped kernel clusters are reported"
else
  fail "swapped kernel clusters: no damage reported (status $status):"
  sed 's/^/    /' "$WORK/com1.txt"
fi

# 7. No KERNEL.SYS: the boot sector reports it and waits for a key instead of jumping anywhere.
mkfs.fat -C -n NOKERNEL -F 12 "$WORK/empty.img" 1440 >/dev/null
merge_boot "$WORK/empty.img" "$PKG/boot.dat"
boot "$WORK/empty.img" floppy 5
if [ $status -eq 124 ] && [ "$(cat "$WORK/com1.txt")" = "Boot error" ]; then
  echo "ok: a disk without KERNEL.SYS stops at \"Boot error\""
else
  fail "no KERNEL.SYS: expected \"Boot error\" and a wait for a key, got status $status and:"
  sed 's/^/    /' "$WORK/com1.txt"
fi

# 8. A partitioned 64 MiB stick as the installer leaves it: the installer's own MBR code, the FAT16
#    partition from sector 2048 active, boot.dat merged into the volume's first sector (whose hidden
#    sectors say 2048); booted as a hard disk. Then with CHS reads only, in the MBR code and in the
#    boot sector, on a volume with QEMU's geometry for that disk (16 heads, 63 sectors per track).
# shellcheck source=/dev/null
source "$ROOT/tools/floppy.sh"
MBR_ASM=$ROOT/src/installer/boot/StickMbr.asm
nasm -f bin -o "$WORK/mbr.bin" "$MBR_ASM" && nasm -f bin -DFORCE_CHS -o "$WORK/mbr-chs.bin" "$MBR_ASM" || exit 1
make_stick() { # <image> <MBR code> <label> <mkfs.fat options...>
  local img=$1 code=$2 label=$3
  shift 3
  rm -f "$img"
  truncate -s 64M "$img" && floppy_stick_mbr "$img" 80 06 "$code" &&
    mkfs.fat -F 16 --offset $FLOPPY_STICK_FIRST -h $FLOPPY_STICK_FIRST -n "$label" "$@" "$img" \
      $((65536 - FLOPPY_STICK_FIRST / 2)) >/dev/null && fill_disk "$img" $FLOPPY_STICK_FIRST
}
make_stick "$WORK/stick.img" "$WORK/mbr.bin" DEMOSTICK || fail "stick: the image could not be made"
merge_boot "$WORK/stick.img" "$PKG/boot.dat" $FLOPPY_STICK_FIRST
expected_report DEMOSTICK "File system: FAT16, 32183 clusters of 2048 bytes" 80 >"$WORK/expect-stick.txt"
check_boot "partitioned stick" "$WORK/stick.img" hd "$WORK/expect-stick.txt"
make_stick "$WORK/stick-chs.img" "$WORK/mbr-chs.bin" DEMOSTICK -g 16/63 || fail "stick CHS: the image could not be made"
merge_boot "$WORK/stick-chs.img" "$WORK/boot-chs.dat" $FLOPPY_STICK_FIRST
check_boot "partitioned stick, CHS reads" "$WORK/stick-chs.img" hd "$WORK/expect-stick.txt"

# 9. The MBR code finds no active entry: it says so instead of starting anything.
floppy_stick_mbr "$WORK/stick.img" 00 06 "$WORK/mbr.bin"
boot "$WORK/stick.img" hd 5
# Its message goes to the screen only, so the stop is what can be seen here.
if [ $status -eq 124 ] && [ ! -s "$WORK/com1.txt" ]; then
  echo "ok: an MBR without an active entry starts nothing"
else
  fail "no active entry: expected a stop, got status $status and:"
  sed 's/^/    /' "$WORK/com1.txt"
fi

if [ $failures -ne 0 ]; then
  echo "$failures case(s) failed"
  exit 1
fi
echo "all boot cases passed"
