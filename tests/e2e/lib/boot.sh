#!/usr/bin/env bash
# Sourced by tests/e2e/e2e.sh. The boot check: the finished disk started in QEMU.

# boots IMAGE floppy|hd LABEL: QEMU runs the disk to the demo's end. The kernel's report on COM1
# must name the volume label, list exactly the root folder with the sizes DOS sees, show the new
# start-up files, and tell that AUTOEXEC.BAT started ksstart.com and that it started KESTRAND.EXE.
# Lines not named here (boot sector name, file-system numbers) belong to the demo's own test.
boots() {
  local img=$1 how=$2 label=$3 drive="if=floppy -boot a" status name
  [ "$how" = hd ] && drive="if=ide -boot c"
  # shellcheck disable=SC2086
  timeout 60 qemu-system-i386 -display none -drive file="$img",format=raw,$drive -serial stdio \
    -device isa-debug-exit,iobase=0xf4,iosize=0x04 -no-reboot -monitor none \
    </dev/null >"$WORK/com1.raw" 2>"$WORK/qemu.err"
  status=$?
  tr -d '\r' <"$WORK/com1.raw" >"$WORK/com1.txt"
  local volume=$img
  [ "$img" = "$FLOPPY_IMAGE" ] && volume=$FLOPPY_VOLUME
  mdir -b -i "$volume" :: | sed 's|^::/||' | while read -r name; do
    printf '  %-12s%11d\n' "$(tr a-z A-Z <<<"$name")" "$(on_disk "$name" | wc -c)"
  done >"$WORK/root.want"
  {
    echo "KESTRAND demo kernel 1.0"
    echo "Kernel image: $(stat -c %s "$PKG/kernel._ys") bytes loaded, all blocks in place"
    echo "Volume label: $label"
    echo "CONFIG.SYS:"
    echo "  $MARKER"
    echo "AUTOEXEC.BAT:"
    printf '  %s\n' "$MARKER" "@echo off" "ksstart.com"
    echo "AUTOEXEC.BAT runs ksstart.com"
    echo "KESTRAND demo start-up program: starting KESTRAND.EXE"
    echo "KESTRAND demo diagnostic program."
    echo "ksstart.com ended, exit code 0"
    echo "End of the KESTRAND demo. System halted."
  } >"$WORK/com1.want"
  python3 - "$WORK/com1.txt" "$WORK/com1.want" "$WORK/root.want" "$status" <<'PY'
import sys
got = open(sys.argv[1]).read().splitlines()
want = open(sys.argv[2]).read().splitlines()
root = open(sys.argv[3]).read().splitlines()
problems = []
if sys.argv[4] != "33":
    problems.append("QEMU ended with status %s, not 33 (the demo kernel's end)" % sys.argv[4])
# Every expected line, in this order; other lines may come between them.
i = 0
for line in want:
    while i < len(got) and got[i] != line:
        i += 1
    if i == len(got):
        problems.append("missing or out of order: %r" % line)
        break
    i += 1
if "Root directory:" in got:
    at = got.index("Root directory:") + 1
    listed = []
    while at < len(got) and got[at].startswith("  "):
        listed.append(got[at])
        at += 1
    if listed != root:
        problems.append("the root directory listed is not the disk's:")
        problems += ["  - " + l for l in root if l not in listed]
        problems += ["  + " + l for l in listed if l not in root]
else:
    problems.append("no root directory listed")
for p in problems:
    print("    " + p)
if problems:
    print("    COM1:")
    for line in got:
        print("      " + line)
sys.exit(1 if problems else 0)
PY
}
