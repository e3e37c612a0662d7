#!/usr/bin/env bash
# Benchmarks of the whole installer on a 1.44 MB floppy image, each against a floor measured in
# the same run. Prints figures; nothing here passes or fails on a number.
#
#   tools/bench-install.sh [ROUNDS]   (default 3; each round: one install, three starts of each)
#
#   install work  the last answer to the completion question, against cp of the same files
#                 and dd of one 512-byte sector onto a disk of the same kind (target <= 2x)
#   start         launch to the first question on the screen, against a program that only calls
#                 MessageBoxA (target <= 1.3x)
#   size          the 32-bit release program against a minimal i686 GUI program that throws one
#                 exception, built with the same flags (target <= 1.4x); imports checked
#   memory        peak working set of the installer during an install, against the MessageBoxA
#                 program (target: within 2 MiB)
# Needs the builds of tools/check.sh (or tools/demo.sh) and root (loop devices, tmpfs).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/tools/lib/common.sh"
kes_need_root "$@"
ROUNDS=${1:-3}

W64=$KES_BUILD/win64
W32=$KES_BUILD/win32
INSTALLER=$W64/src/installer/kesinst.exe
ROBOT=$W64/tools/robot/kesrobot.exe
LAUNCH=$W64/bench/installer/installer_launch.exe
MSGBOX=$W64/bench/installer/installer_floor_msgbox.exe
SYSTEM=$W64/bench/installer/installer_floor_system.exe
RELEASE=$W32/src/installer/kesinst.exe
for f in "$INSTALLER" "$ROBOT" "$LAUNCH" "$MSGBOX" "$SYSTEM" "$RELEASE"; do
  [ -f "$f" ] || { echo "missing $f: run tools/check.sh (or build its targets) first" >&2; exit 1; }
done

export KES_BUILD
source "$ROOT/tools/floppy.sh"
floppy_begin
WORK=$FLOPPY_WORK/bench
PKG=$WORK/package
mkdir -p "$WORK"
"$ROOT/tools/make-demo-package.sh" "$PKG" >/dev/null

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
kib() { awk -v a="$1" 'BEGIN { printf "%.0f KiB", a / 1024 }'; }
min() { if [ -z "$1" ] || awk -v a="$2" -v b="$1" 'BEGIN { exit !(a < b) }'; then echo "$2"; else echo "$1"; fi; }
max() { if [ -z "$1" ] || awk -v a="$2" -v b="$1" 'BEGIN { exit !(a > b) }'; then echo "$2"; else echo "$1"; fi; }
field() { tr -d '\r' <"$2" | sed -n "s/^$1 //p" | tail -n 1; }

# --- size: no Wine needed -----------------------------------------------------------------------
FLAGS="-Os -s -static -ffunction-sections -fdata-sections -Wl,--gc-sections -mwindows"
# shellcheck disable=SC2086
i686-w64-mingw32-g++-win32 $FLAGS "$ROOT/bench/installer/floor_exception.cpp" -o "$WORK/floor32.exe"
size_floor=$(stat -c %s "$WORK/floor32.exe")
size_release=$(stat -c %s "$RELEASE")
# shellcheck disable=SC2086
x86_64-w64-mingw32-g++-posix $FLAGS "$ROOT/bench/installer/floor_exception.cpp" -o "$WORK/floor64.exe"
size_floor64=$(stat -c %s "$WORK/floor64.exe")
size_installer64=$(stat -c %s "$INSTALLER")
imports=$("$ROOT/tools/check-imports.sh" "$RELEASE" 2>&1) && imports_ok=yes || imports_ok=NO

# --- the floor of the install work: the same files and one sector with cp and dd ------------------
# Each file is its own cp, as the installer copies each file with its own call.
copy_floor() { # -> ms
  local img=$WORK/floor.img dir=$WORK/floor loop t0 t1 src dst
  floppy_make_image fat12 "$img"
  loop=$(losetup -f --show "$img")
  mkdir -p "$dir"
  mount -t tmpfs -o size=1440k tmpfs "$dir"
  sync
  t0=$(date +%s%N)
  for pair in kernel._ys:kernel.sys command._om:command.com ksstart._om:ksstart.com kestrand._xe:kestrand.exe \
    0000.dat:0000.dat 0100.dat:0100.dat 0200.dat:0200.dat 0201.dat:0201.dat 0202.dat:0202.dat \
    0203.dat:0203.dat 0300.dat:0300.dat 0301.dat:0301.dat 0400.dat:0400.dat; do
    src=${pair%%:*} dst=${pair#*:}
    cp "$PKG/$src" "$dir/$dst"
  done
  dd if="$PKG/boot.dat" of="$loop" bs=512 count=1 conv=notrunc status=none
  t1=$(date +%s%N)
  umount "$dir"
  losetup -d "$loop"
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f", (b - a) / 1e6 }'
}

# Runs a Windows program in C:\kes with a time limit, its output into a file.
wine_in_kes() { # <output file> <program and arguments...>
  local out=$1
  shift
  (cd "$FLOPPY_PROGDIR" && timeout 120 wine "$@") >"$out" 2>&1 </dev/null
}

# One program under the launcher; adds its figures to the named floor or installer variables.
launch() { # <output file> <launcher arguments...>
  wine_in_kes "$@" || true
  if [ -z "$(field START "$1")" ] || [ -z "$(field PEAK "$1")" ]; then
    echo "no figures from $*:" >&2
    cat "$1" >&2
    exit 1
  fi
}

best_copy="" best_work="" best_start="" best_floor_start="" peak="" floor_peak="" best_system_start="" system_peak=""
for round in $(seq 1 "$ROUNDS"); do
  copy=$(copy_floor)
  best_copy=$(min "$best_copy" "$copy")

  # shellcheck disable=SC2046
  floppy_setup --kind fat12 --install "$INSTALLER $ROBOT $LAUNCH $MSGBOX $SYSTEM $(ls "$PKG"/*)" >/dev/null 2>&1
  # The first program after the fixture's Wine restart pays for warming it up: not counted.
  launch "$WORK/floor.txt" 'C:\kes\installer_launch.exe' --class '#32770' --close 'C:\kes\installer_floor_msgbox.exe'
  # Starts, taken in turns so that all three see the same load from whatever else runs: the
  # installer is ended at its first question with the close box (then it says it was aborted).
  for _ in 1 2 3; do
    launch "$WORK/floor.txt" 'C:\kes\installer_launch.exe' --class '#32770' --close 'C:\kes\installer_floor_msgbox.exe'
    launch "$WORK/system.txt" 'C:\kes\installer_launch.exe' --class '#32770' --close 'C:\kes\installer_floor_system.exe'
    launch "$WORK/start.txt" 'C:\kes\installer_launch.exe' --close 'C:\kes\kesinst.exe'
    best_floor_start=$(min "$best_floor_start" "$(field START "$WORK/floor.txt")")
    best_system_start=$(min "$best_system_start" "$(field START "$WORK/system.txt")")
    best_start=$(min "$best_start" "$(field START "$WORK/start.txt")")
    floor_peak=$(max "$floor_peak" "$(field PEAK "$WORK/floor.txt")")
    system_peak=$(max "$system_peak" "$(field PEAK "$WORK/system.txt")")
  done

  # A whole install: the robot answers every question the default way, the launcher times the
  # last stretch and weighs the installer.
  (cd "$FLOPPY_PROGDIR" && timeout 120 wine 'C:\kes\kesrobot.exe' --defaults --timeout 8) >"$WORK/robot.txt" 2>&1 </dev/null &
  robot=$!
  launch "$WORK/install.txt" 'C:\kes\installer_launch.exe' 'C:\kes\kesinst.exe'
  wait $robot || true
  floppy_finish >/dev/null 2>&1 || true
  code=$(field EXIT "$WORK/install.txt")
  if [ "$code" = "" ] || [ "$code" = 0 ] || grep -q '^ROBOT:' "$WORK/robot.txt"; then
    echo "the installation did not complete:" >&2
    cat "$WORK/install.txt" "$WORK/robot.txt" >&2
    exit 1
  fi
  mdir -b -i "$FLOPPY_IMAGE" ::0400.dat >/dev/null 2>&1 || { echo "the disk lacks the last package file" >&2; exit 1; }
  floppy_end

  best_start=$(min "$best_start" "$(field START "$WORK/install.txt")")
  best_work=$(min "$best_work" "$(field LASTWORK "$WORK/install.txt")")
  peak=$(max "$peak" "$(field PEAK "$WORK/install.txt")")
  echo "round $round of $ROUNDS: install work $(field LASTWORK "$WORK/install.txt") ms (cp and dd $copy ms)," \
    "peak $(kib "$(field PEAK "$WORK/install.txt")")" >&2
done

echo "== installer benchmarks (x86-64 build under Wine; times: the best of all tries, memory: the worst)"
printf '%-14s %12s %12s %8s   %s\n' "" installer floor ratio target
printf '%-14s %9s ms %9s ms %8s   %s\n' "install work" "$best_work" "$best_copy" "$(ratio "$best_work" "$best_copy")x" "<= 2x (floor: cp and dd)"
printf '%-14s %9s ms %9s ms %8s   %s\n' "start" "$best_start" "$best_floor_start" "$(ratio "$best_start" "$best_floor_start")x" "<= 1.3x (floor: MessageBoxA)"
printf '%-14s %12s %12s %8s   %s\n' "size (i686)" "$(kib "$size_release")" "$(kib "$size_floor")" "$(ratio "$size_release" "$size_floor")x" "<= 1.4x (floor: one exception)"
printf '%-14s %12s %12s %8s   %s\n' "peak memory" "$(kib "$peak")" "$(kib "$floor_peak")" \
  "+$(kib $((peak - floor_peak)))" "<= +2048 KiB (floor: MessageBoxA)"
echo "imports of the release program (Windows system DLLs only: $imports_ok): ${imports#*imports: }"
echo "for comparison, not targets:"
printf '  %-40s %s\n' "x86-64 program and floor" "$(kib "$size_installer64") and $(kib "$size_floor64") ($(ratio "$size_installer64" "$size_floor64")x)"
printf '  %-40s %s\n' "MessageBoxA after COM and ShellExecuteA," "start $best_system_start ms, peak $(kib "$system_peak");"
printf '  %-40s %s\n' "  with the installer's system DLLs:" "the installer's start $(ratio "$best_start" "$best_system_start")x, peak +$(kib $((peak - system_peak)))"
