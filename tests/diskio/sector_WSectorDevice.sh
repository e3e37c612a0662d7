#!/usr/bin/env bash
# WSectorDevice on loop-backed images as drive A: of the floppy prefix.
# Usage: sector_WSectorDevice.sh <test exe>
set -uo pipefail
EXE=$1
source "$(dirname "$0")/../../tools/floppy.sh"
fail=0
check() { if ! "$@"; then echo "FAILED: $*" >&2; fail=1; fi; }

# The raw disk's expected bytes at [offset, offset+length), and the bytes written by the tests.
raw_bytes() { python3 -c "import sys; o,n=int(sys.argv[1]),int(sys.argv[2]); sys.stdout.buffer.write(bytes(((i^(i>>9))&255) for i in range(o,o+n)))" "$1" "$2"; }
pattern() { python3 -c "import sys; k=int(sys.argv[1]); sys.stdout.buffer.write(bytes((k^i^(i>>8))&255 for i in range(512)))" "$1"; }
same_bytes() { cmp -s <(dd if="$1" bs=512 skip="$2" count="$3" 2>/dev/null) "$4"; }
# tests FILTER: runs the tests FILTER selects on the disk set up; every filter is remembered, so
# that a test no filter selects fails the script at the end.
selected=()
run_tests() { selected+=("$1"); floppy_run "$FLOPPY_PROGDIR/$(basename "$EXE")" --gtest_filter="$1"; }

echo "== raw disk, read and write"
floppy_setup --kind raw --no-files --install "$EXE"
check run_tests 'RawDisk.*'
floppy_finish
check same_bytes "$FLOPPY_IMAGE" 2 1 <(pattern $((0xA5)))
check same_bytes "$FLOPPY_IMAGE" 0 2 <(raw_bytes 0 1024)
check same_bytes "$FLOPPY_IMAGE" 3 2877 <(raw_bytes 1536 $((2877 * 512)))
floppy_end

echo "== read-only disk"
floppy_setup --kind raw --no-files --ro-loop --install "$EXE"
check run_tests 'ReadOnlyDisk.*'
floppy_finish
check same_bytes "$FLOPPY_IMAGE" 0 2880 <(raw_bytes 0 $((2880 * 512)))
floppy_end

echo "== disk beyond 4 GiB"
floppy_begin
img=$FLOPPY_WORK/huge.img
floppy_make_image raw:5G "$img"
python3 -c "import sys; sys.stdout.buffer.write(bytes([0xC3]) * 512)" |
  dd of="$img" bs=512 seek=8388609 conv=notrunc status=none
floppy_setup --image "$img" --no-files --install "$EXE"
check run_tests 'HugeDisk.*'
floppy_finish
check same_bytes "$img" 8388610 1 <(pattern $((0x69)))
check same_bytes "$img" 1 2 <(head -c 1024 /dev/zero)
floppy_end

echo "== every test selected"
check floppy_unselected "$EXE" "${selected[@]}"

exit $fail
