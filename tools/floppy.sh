#!/usr/bin/env bash
# A floppy (or small USB stick) as drive A: of a private Wine prefix, for the tests that need a
# real disk. Source this file and call the floppy_* functions, or run it with a subcommand:
#
#   tools/floppy.sh image KIND IMAGE [FILE...]    make a disk image (see floppy_make_image)
#   tools/floppy.sh run [SETUP OPTIONS] -- CMD... set up drive A:, run CMD, put A:'s files into the
#                                                 image and tear everything down
#
# Two links make the disk drive A: (the kernel here has no vfat driver, so the files cannot come
# from the image itself):
#   a::  the image on a loop device     -> raw sector access through "\\.\A:", volume information
#   a:   a tmpfs sized like the disk     -> the files of A:\, and the free-space numbers
# At the end the tmpfs files are copied back into the image with mtools, so the image is the whole
# disk. Changing drives needs `wineserver -k`, so all this happens in a prefix of its own
# ($FLOPPY_PREFIX), never in the prefix of the other Wine tests; callers serialise on the CTest
# resource lock "floppy". Needs root (loop devices, mounts).
#
# A typical test driver:
#   source tools/floppy.sh
#   floppy_setup --kind fat12 --files "$pkg/config.sys" --tmpfs 1440k --install "$exe $pkg/boot.dat"
#   floppy_run "$FLOPPY_PROGDIR/test.exe" --gtest_filter='Fat12.*'
#   floppy_finish                      # files back into $FLOPPY_IMAGE, loop and tmpfs gone
#   mtype -i "$FLOPPY_IMAGE" ::config.sys
#   floppy_end                         # next disk: floppy_setup again ($FLOPPY_WORK stays)
#   floppy_cleanup                     # removes the work folder with the image (the trap does too)
#
# Faults, all real: --ro-loop (sector writes fail), --no-raw (no sector access; the volume then
# reports NTFS), --ro-files or `mount -o remount,ro|rw "$FLOPPY_DIR"` during a run (read-only
# disk), a small --tmpfs (disk full: 4 KiB clusters), --no-files (no drive A: at all), --type hd
# (not removable), --kind fat32 --tmpfs 300m (a FAT32-sized volume), --kind raw (no file system).
# Programs run on $DISPLAY, an Xvfb of the session's own (1024x768), so screenshots can be taken
# with `import -display "$DISPLAY" -window root out.png` while a program runs in the background.

export MTOOLS_SKIP_CHECK=1
FLOPPY_ROOT=${FLOPPY_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
FLOPPY_PREFIX=${FLOPPY_PREFIX:-${KES_BUILD:-$FLOPPY_ROOT/build}/win64/wineprefix-floppy}
FLOPPY_TIMEOUT=${FLOPPY_TIMEOUT:-120}

FLOPPY_WORK=""      # work folder of the current session (image, mount point)
FLOPPY_IMAGE=""     # the disk image
FLOPPY_LOOP=""      # its loop device while attached (a stick: over the partition only)
FLOPPY_DISK_LOOP="" # a stick's whole disk on a loop device, linked as physicaldrive0
FLOPPY_OFFSET=0     # where the volume starts in the image, in bytes (a stick: its partition)
FLOPPY_VOLUME=""    # the volume as mtools takes it: the image, or "image@@offset"
FLOPPY_DIR=""       # the tmpfs mount point while mounted (A:\)
FLOPPY_PROGDIR=""   # Unix path of C:\kes in the floppy prefix, where programs are put
FLOPPY_PROGDIR_WIN='C:\kes'
FLOPPY_XVFB=""      # pid of the session's own Xvfb
FLOPPY_OLD_DISPLAY=${DISPLAY:-}

floppy_log() { echo "floppy: $*" >&2; }

# A work folder and the trap that tears everything down on every exit path.
floppy_begin() {
  if [ -z "$FLOPPY_WORK" ]; then
    FLOPPY_WORK=$(mktemp -d "${TMPDIR:-/tmp}/floppy.XXXXXX")
    trap 'floppy_cleanup' EXIT
    trap 'exit 130' INT TERM
  fi
}

# floppy_make_image KIND IMAGE [FILE...]
#   KIND: fat12 (1.44 MB floppy), fat16 (16 MiB), fat32 (64 MiB), raw (1.44 MB without any file
#   system: every byte is its offset's low byte XOR its sector number's low byte), or
#   raw:SIZE (a sparse raw image of SIZE as `truncate -s` takes it, zero-filled).
#   stick (a 64 MiB USB stick as it comes from the factory: a master boot record without boot code
#   whose one entry, not active, holds a FAT16 volume from sector 2048 to the end; see
#   floppy_stick_mbr). FILEs go into the root folder (FAT kinds only).
floppy_make_image() {
  local kind=$1 image=$2 volume=$2
  shift 2
  rm -f "$image"
  case $kind in
    stick)
      truncate -s 64M "$image" && floppy_stick_mbr "$image" 00 06 || return 1
      mkfs.fat -F 16 --offset $FLOPPY_STICK_FIRST -h $FLOPPY_STICK_FIRST -n KESTEST "$image" \
        $((65536 - FLOPPY_STICK_FIRST / 2)) >/dev/null || return 1
      volume="$image@@$((FLOPPY_STICK_FIRST * 512))" ;;
    fat12) mkfs.fat -C -F 12 -n KESTEST "$image" 1440 >/dev/null ;;
    fat16) mkfs.fat -C -F 16 -n KESTEST "$image" 16384 >/dev/null ;;
    fat32) mkfs.fat -C -F 32 -n KESTEST "$image" 65536 >/dev/null ;;
    raw) python3 - "$image" <<'EOF'
import sys
with open(sys.argv[1], "wb") as f:
    f.write(bytes((i ^ (i >> 9)) & 0xFF for i in range(1474560)))
EOF
      ;;
    raw:*) truncate -s "${kind#raw:}" "$image" ;;
    *) floppy_log "unknown image kind $kind"; return 1 ;;
  esac
  if [ $# -gt 0 ]; then
    mcopy -o -i "$volume" "$@" :: || return 1
  fi
}

# The partitioned sticks: one volume from this sector on.
FLOPPY_STICK_FIRST=2048

# floppy_stick_mbr IMAGE STATUS TYPE [CODE-FILE]: writes sector 0 of a stick image: the disk
# signature 4B455354h and one partition entry (status and type in hex) from sector
# $FLOPPY_STICK_FIRST to the end of the image, the other three empty; bytes 0-439 are CODE-FILE's
# first 440 bytes, or zeros without one.
floppy_stick_mbr() {
  python3 - "$@" "$FLOPPY_STICK_FIRST" <<'EOF'
import os, struct, sys
image, status, ptype = sys.argv[1], int(sys.argv[2], 16), int(sys.argv[3], 16)
code_file = sys.argv[4] if len(sys.argv) > 5 else None
first = int(sys.argv[-1])
count = os.path.getsize(image) // 512 - first
code = open(code_file, "rb").read(440).ljust(440, b"\0") if code_file else bytes(440)
# CHS fields as a tool writes them for partitions beyond CHS reach; the boot code must not need them.
entry = struct.pack("<B3sB3sII", status, b"\xfe\xff\xff", ptype, b"\xfe\xff\xff", first, count)
sector = code + struct.pack("<IH", 0x4B455354, 0) + entry + bytes(48) + b"\x55\xaa"
with open(image, "r+b") as f:
    f.write(sector)
EOF
}

# floppy_attach IMAGE [ro]: the image on a loop device (read-only: every sector write fails).
floppy_attach() {
  local ro=() part=()
  [ "${2:-}" = ro ] && ro=(-r)
  if [ "$FLOPPY_OFFSET" != 0 ]; then
    # A stick: the whole disk for \\.\PhysicalDrive0, the partition alone for \\.\A:.
    FLOPPY_DISK_LOOP=$(losetup -f --show "${ro[@]}" "$1") || return 1
    part=(-o "$FLOPPY_OFFSET" --sizelimit $(($(stat -c %s "$1") - FLOPPY_OFFSET)))
  fi
  FLOPPY_LOOP=$(losetup -f --show "${ro[@]}" "${part[@]}" "$1") || return 1
}

# floppy_mount_files SIZE [from-image] [ro]: a tmpfs of SIZE (as mount's size= takes it) for A:\,
# filled with the root of $FLOPPY_IMAGE when asked, remounted read-only when asked.
floppy_mount_files() {
  local size=$1 opt
  shift
  FLOPPY_DIR=$FLOPPY_WORK/a
  mkdir -p "$FLOPPY_DIR"
  mount -t tmpfs -o "size=$size" tmpfs "$FLOPPY_DIR" || { FLOPPY_DIR=""; return 1; }
  for opt in "$@"; do
    case $opt in
      from-image)
        if [ -n "$(mdir -b -i "$FLOPPY_VOLUME" :: 2>/dev/null)" ]; then
          mcopy -s -n -i "$FLOPPY_VOLUME" '::*' "$FLOPPY_DIR/" || return 1
        fi ;;
      ro) mount -o remount,ro "$FLOPPY_DIR" || return 1 ;;
    esac
  done
}

# The private prefix: created on first use, then reused by every floppy test.
floppy_wine_prefix() {
  export WINEPREFIX=$FLOPPY_PREFIX WINEDEBUG=-all
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    floppy_log "creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
}

# floppy_wine_drives [TYPE [LETTER]]: makes drive LETTER (default a) from whatever is attached and
# mounted (a missing loop device means no raw access, a missing tmpfs means no files), sets its
# drive type (floppy, hd, network, cdrom), removes every other drive but C: (Z: included), and
# restarts the wineserver so that the mount manager rereads the drives.
floppy_wine_drives() {
  local type=${1:-floppy} letter=${2:-a} dd
  floppy_wine_prefix
  floppy_display || return 1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  dd=$WINEPREFIX/dosdevices
  rm -f "$dd"/[abd-z]: "$dd"/[abd-z]:: "$dd"/physicaldrive[01]
  # Wine 8 names the disk of A: as device 1 (IOCTL_STORAGE_GET_DEVICE_NUMBER, measured) and has no
  # volume extents; other versions are said to answer 0: the stick is both.
  if [ -n "$FLOPPY_DISK_LOOP" ]; then
    ln -sfn "$FLOPPY_DISK_LOOP" "$dd/physicaldrive0"
    ln -sfn "$FLOPPY_DISK_LOOP" "$dd/physicaldrive1"
  fi
  [ -n "$FLOPPY_LOOP" ] && ln -sfn "$FLOPPY_LOOP" "$dd/$letter::"
  [ -n "$FLOPPY_DIR" ] && ln -sfn "$FLOPPY_DIR" "$dd/$letter:"
  # The registry write costs a Wine start, so it is made only when the letter or type changes; the
  # type of a letter used before goes, so that no later session finds a drive of that type.
  local cached old
  cached=$(cat "$WINEPREFIX/.floppy-drive-type" 2>/dev/null)
  if [ "$cached" != "$letter $type" ]; then
    old=${cached%% *}
    if [ ${#old} = 1 ] && [ "$old" != "$letter" ]; then
      wine reg delete 'HKLM\Software\Wine\Drives' /v "$old:" /f >/dev/null 2>&1 || true
    fi
    wine reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /t REG_SZ /d "$type" /f >/dev/null 2>&1 || return 1
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    echo "$letter $type" >"$WINEPREFIX/.floppy-drive-type"
  fi
  # One server for the whole session saves its start-up on every program run.
  wineserver -p >/dev/null 2>&1 || true
}

# floppy_install_program FILE...: copies programs and package files to C:\kes ($FLOPPY_PROGDIR),
# emptied first; with Z: gone, programs must lie on a Wine drive.
floppy_install_program() {
  FLOPPY_PROGDIR=$FLOPPY_PREFIX/drive_c/kes
  rm -rf "$FLOPPY_PROGDIR"
  mkdir -p "$FLOPPY_PROGDIR"
  [ $# -eq 0 ] || cp -- "$@" "$FLOPPY_PROGDIR/"
}

# An X display of 1024x768 for the whole session, its own so that its always-on-top windows never
# cover those of tests running beside it (FLOPPY_USE_DISPLAY=1 takes the caller's instead). One
# for the session because the wineserver kept running between programs stays bound to it.
floppy_display() {
  [ -n "$FLOPPY_XVFB" ] && return 0
  [ "${FLOPPY_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ] && return 0
  local fifo=$FLOPPY_WORK/displayfd n
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  FLOPPY_XVFB=$!
  read -r n <"$fifo" || return 1
  export DISPLAY=:$n
}

# floppy_run PROGRAM [ARGS...]: runs a Windows program with C:\kes as its current folder, cut off
# after $FLOPPY_TIMEOUT seconds. Returns the program's exit code.
# Wine's service processes inherit the program's output and outlive it; were that a pipe (CTest's),
# its reader would wait for them, so the output goes through a file.
# Under the 32-bit runner's CPU emulation Wine now and then hangs on start-up before the program
# runs at all (seen about once in 250 runs): cut off without a single line of output, the run is
# tried once more with a fresh wineserver, and says so.
floppy_run() {
  local out rc try
  out=$(mktemp)
  for try in 1 2; do
    (cd "${FLOPPY_PROGDIR:-$FLOPPY_PREFIX/drive_c}" && timeout "$FLOPPY_TIMEOUT" wine "$@") >"$out" 2>&1 </dev/null
    rc=$?
    [ "$rc" = 124 ] && [ ! -s "$out" ] && [ "$try" = 1 ] || break
    echo "(Wine started nothing within $FLOPPY_TIMEOUT s: wineserver restarted, run again)" >&2
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    wineserver -p >/dev/null 2>&1 || true
  done
  cat "$out"
  rm -f "$out"
  return $rc
}

# floppy_setup [options]: one call for the usual session.
#   --kind KIND            image kind for floppy_make_image (default fat12)
#   --image PATH           use this existing image instead of making one
#   --files "F..."         files put into the image's root when it is made
#   --tmpfs SIZE           size of A:\ (default 1440k); --no-files: no A:\ at all
#   --ro-loop              sector writes fail; --no-raw: no sector access at all
#   --ro-files             A:\ read-only
#   --type TYPE            drive type (default floppy)
#   --drive LETTER         the disk's drive letter (default a; c and z are taken)
#   --install "F..."       programs and package files for C:\kes
#   --stick                the image is a partitioned stick (the kind stick is one anyway)
floppy_setup() {
  local stick=0 kind=fat12 image="" files="" size=1440k raw=rw filesdrive=1 rofiles="" type=floppy install="" letter=a
  while [ $# -gt 0 ]; do
    case $1 in
      --kind) kind=$2; shift ;;
      --image) image=$2; shift ;;
      --files) files=$2; shift ;;
      --tmpfs) size=$2; shift ;;
      --no-files) filesdrive=0 ;;
      --ro-loop) raw=ro ;;
      --no-raw) raw=none ;;
      --ro-files) rofiles=ro ;;
      --type) type=$2; shift ;;
      --drive) letter=$2; shift ;;
      --install) install=$2; shift ;;
      --stick) stick=1 ;;
      *) floppy_log "unknown option $1"; return 1 ;;
    esac
    shift
  done
  floppy_begin
  if [ -n "$image" ]; then
    FLOPPY_IMAGE=$image
  else
    FLOPPY_IMAGE=$FLOPPY_WORK/disk.img
    # shellcheck disable=SC2086
    floppy_make_image "$kind" "$FLOPPY_IMAGE" $files || return 1
  fi
  case $kind in stick*) stick=1 ;; esac
  FLOPPY_OFFSET=0
  [ $stick = 1 ] && FLOPPY_OFFSET=$((FLOPPY_STICK_FIRST * 512))
  FLOPPY_VOLUME=$FLOPPY_IMAGE
  [ $stick = 1 ] && FLOPPY_VOLUME="$FLOPPY_IMAGE@@$FLOPPY_OFFSET"
  [ "$raw" = none ] || floppy_attach "$FLOPPY_IMAGE" "$raw" || return 1
  if [ $filesdrive = 1 ]; then
    local opts=()
    case $kind in fat* | stick*) opts+=(from-image) ;; esac
    [ -n "$image" ] && opts+=(from-image)
    [ -n "$rofiles" ] && opts+=(ro)
    floppy_mount_files "$size" "${opts[@]}" || return 1
  fi
  floppy_wine_drives "$type" "$letter" || return 1
  # shellcheck disable=SC2086
  floppy_install_program $install
}

# floppy_unselected PROGRAM FILTER...: fails, naming them, when the GoogleTest program PROGRAM (in
# C:\kes) holds tests that none of the --gtest_filter patterns FILTER selects: a test whose name
# fits no group of its script would be built and never run. Call it after the groups.
floppy_unselected() {
  local program=$1 filters out left
  shift
  filters=$(IFS=:; echo "$*")
  out=$(floppy_run "$FLOPPY_PROGDIR/$(basename "$program")" --gtest_list_tests "--gtest_filter=-$filters") || {
    floppy_log "cannot list the tests of $program"
    return 1
  }
  # The listing names a suite ("Suite.") and then its tests, indented ("  Test").
  left=$(printf '%s\n' "$out" | tr -d '\r' | awk '/^[A-Za-z_][A-Za-z0-9_\/]*\.$/ {s = $1; next}
    /^  [A-Za-z_]/ && s != "" {print s $1}')
  if [ -n "$left" ]; then
    floppy_log "tests of $(basename "$program") that no group runs: $(echo "$left" | tr '\n' ' ')"
    return 1
  fi
}

# Stops Wine and gives the loop device back, so that the image holds every sector written.
floppy_detach() {
  if [ -n "${WINEPREFIX:-}" ] && [ "$WINEPREFIX" = "$FLOPPY_PREFIX" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -n "$FLOPPY_LOOP" ]; then
    blockdev --flushbufs "$FLOPPY_LOOP" 2>/dev/null || true
    losetup -d "$FLOPPY_LOOP" || true
    FLOPPY_LOOP=""
  fi
  if [ -n "$FLOPPY_DISK_LOOP" ]; then
    blockdev --flushbufs "$FLOPPY_DISK_LOOP" 2>/dev/null || true
    losetup -d "$FLOPPY_DISK_LOOP" || true
    FLOPPY_DISK_LOOP=""
  fi
}

# floppy_sync_back: A:\ becomes the image's root folder (files deleted on A:\ go from the image too).
floppy_sync_back() {
  [ -n "$FLOPPY_DIR" ] || return 0
  # A disk without a FAT file system has nowhere to put them.
  minfo -i "$FLOPPY_VOLUME" >/dev/null 2>&1 || return 0
  local name
  mdir -b -i "$FLOPPY_VOLUME" :: 2>/dev/null | while read -r name; do
    name=${name#::/}
    case $name in
      */) mdeltree -i "$FLOPPY_VOLUME" "::${name%/}" ;;
      *) mdel -i "$FLOPPY_VOLUME" "::$name" ;;
    esac
  done
  if [ -n "$(ls -A "$FLOPPY_DIR")" ]; then
    mcopy -s -o -i "$FLOPPY_VOLUME" "$FLOPPY_DIR"/* :: || return 1
  fi
}

floppy_unmount() {
  if [ -n "$FLOPPY_DIR" ]; then
    umount "$FLOPPY_DIR" || umount -l "$FLOPPY_DIR" || true
    FLOPPY_DIR=""
  fi
}

# floppy_finish: Wine stopped, loop device detached, A:'s files copied into the image, tmpfs gone.
# The image stays at $FLOPPY_IMAGE for checks with mtools.
floppy_finish() {
  local rc=0
  floppy_detach
  floppy_sync_back || rc=1
  floppy_unmount
  return $rc
}

# floppy_end: ends one disk (Wine stopped, loop device and tmpfs gone, an image made by
# floppy_setup deleted) but keeps the work folder, so the next floppy_setup starts a new disk.
floppy_end() {
  floppy_detach
  floppy_unmount
  if [ -n "$FLOPPY_WORK" ] && [ "$FLOPPY_IMAGE" = "$FLOPPY_WORK/disk.img" ]; then
    rm -f "$FLOPPY_IMAGE"
  fi
  FLOPPY_IMAGE=""
}

# floppy_cleanup: everything of the session goes, the work folder and the Xvfb included. Safe to
# call again; the EXIT trap calls it.
floppy_cleanup() {
  floppy_end
  if [ -n "$FLOPPY_XVFB" ]; then
    kill "$FLOPPY_XVFB" 2>/dev/null || true
    wait "$FLOPPY_XVFB" 2>/dev/null || true
    FLOPPY_XVFB=""
    if [ -n "$FLOPPY_OLD_DISPLAY" ]; then export DISPLAY=$FLOPPY_OLD_DISPLAY; else unset DISPLAY; fi
  fi
  if [ -n "$FLOPPY_WORK" ]; then
    rm -rf "$FLOPPY_WORK"
    FLOPPY_WORK=""
  fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  case ${1:-} in
    image) shift; floppy_make_image "$@" ;;
    run)
      shift
      setup=()
      while [ $# -gt 0 ] && [ "$1" != -- ]; do setup+=("$1"); shift; done
      [ "${1:-}" = -- ] && shift
      floppy_setup "${setup[@]}"
      status=0
      floppy_run "$@" || status=$?
      floppy_finish
      exit $status ;;
    *) sed -n '2,9p' "$0"; exit 2 ;;
  esac
fi
