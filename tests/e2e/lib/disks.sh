#!/usr/bin/env bash
# Sourced by tests/e2e/e2e.sh. The disks: sessions, the user's own files, and checks of what is on a disk.

DATA_FILES="0000.dat 0100.dat 0200.dat 0201.dat 0202.dat 0203.dat 0300.dat 0301.dat 0400.dat"
MARKER='REM KESTRAND   ** DO NOT MODIFY **'
CONFIG_SYS=$MARKER
AUTOEXEC_BAT="$MARKER\r\n@echo off\r\nksstart.com"

# Without a window manager Wine waits 2 s whenever an active top-level window is hidden or
# destroyed; with its windows unmanaged it does not, and a run takes a quarter of the time.
unmanaged_windows() {
  grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null && return 0
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
}

# E2E_WINDOWS (win98, winxp, ...; "default" or empty: Wine's own) is the Windows version the
# floppy prefix reports. Each version has a prefix of its own, so it is written once. Runs under
# a set version are traced on Wine's vxd channel: collect_record counts the VWIN32 transfers.
windows_version() {
  [ "${E2E_WINDOWS:-default}" != default ] || return 0
  export WINEDEBUG=-all,+vxd
  grep -q "^\"Version\"=\"$E2E_WINDOWS\"" "$WINEPREFIX/user.reg" 2>/dev/null && return 0
  wine reg add 'HKCU\Software\Wine' /v Version /d "$E2E_WINDOWS" /f >/dev/null 2>&1 || return 1
  wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1; wineserver -p >/dev/null 2>&1
}

# disk [floppy_setup options]: a fresh session with the program and the package in C:\kes.
disk() {
  floppy_setup "$@" --install "$INSTALL" || { fail "the disk could not be set up ($*)"; return 1; }
  unmanaged_windows
  windows_version || { fail "the prefix could not be set to Windows $E2E_WINDOWS"; return 1; }
  save_sector0
}

# The user's own things: an old DOS on the disk (command.com makes it bootable) and some files
# that must come through untouched.
USER_DIR=$WORK/user
mkdir -p "$USER_DIR/DOCS"
python3 - "$USER_DIR" <<'PY'
import os, sys
d = sys.argv[1]
def put(name, data):
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)
put("COMMAND.COM", bytes((i * 7 + 3) & 0xFF for i in range(5000)))
put("CONFIG.SYS", b"DEVICE=HIMEM.SYS\r\nFILES=30\r\n")
put("AUTOEXEC.BAT", b"@ECHO OFF\r\nPROMPT $P$G\r\n")
put("NOTES.TXT", b"Backup of the BIOS settings, do not lose.\r\n" * 40)
put("DATA.BIN", bytes((i * 2654435761 >> 13) & 0xFF for i in range(20000)))
put(os.path.join("DOCS", "LETTER.TXT"), b"A letter in a folder.\r\n" * 10)
PY
USER_FILES="NOTES.TXT DATA.BIN DOCS/LETTER.TXT"

# user_image KIND [os]: an image with the user's files, and with the old DOS when asked.
user_image() {
  local img=$WORK/user-$1.img files="$USER_DIR/NOTES.TXT $USER_DIR/DATA.BIN"
  [ "${2:-}" = os ] && files="$files $USER_DIR/COMMAND.COM $USER_DIR/CONFIG.SYS $USER_DIR/AUTOEXEC.BAT"
  # shellcheck disable=SC2086
  floppy_make_image "$1" "$img" $files && mmd -i "$img" ::DOCS &&
    mcopy -i "$img" "$USER_DIR/DOCS/LETTER.TXT" ::DOCS/ && echo "$img"
}

# Sector 0 as it was when the session began.
ORIG0=$WORK/sector0.bin
# Sector 0 of the volume; on a stick also the disk's own sector 0, its master boot record.
ORIG_MBR=$WORK/mbr.bin
volume_sector0() { dd if="$FLOPPY_IMAGE" bs=512 skip=$((FLOPPY_OFFSET / 512)) count=1 status=none; }
save_sector0() {
  volume_sector0 >"$ORIG0"
  dd if="$FLOPPY_IMAGE" of="$ORIG_MBR" bs=512 count=1 status=none
}
sector0_unchanged() {
  cmp -s <(volume_sector0) "$ORIG0" || { echo "    sector 0 was changed"; return 1; }
}
mbr_unchanged() {
  cmp -s <(dd if="$FLOPPY_IMAGE" bs=512 count=1 status=none) "$ORIG_MBR" ||
    { echo "    the master boot record was changed:"; cmp -l <(dd if="$FLOPPY_IMAGE" bs=512 count=1 status=none) \
        "$ORIG_MBR" | head -5 | sed 's/^/      /'; return 1; }
}
# The stick made startable: bytes 0-439 the installer's code (the assembled CODE-FILE), its one
# entry active, every other byte as it was.
mbr_startable() { # CODE-FILE
  python3 - "$FLOPPY_IMAGE" "$ORIG_MBR" "$1" <<'EOF'
import sys
now, was = open(sys.argv[1], "rb").read(512), open(sys.argv[2], "rb").read(512)
code = open(sys.argv[3], "rb").read()
want = code[:440] + was[440:446] + b"\x80" + was[447:]
if now != want:
    print("    the master boot record is not the startable one; bytes that differ:",
          [i for i in range(512) if now[i] != want[i]][:12])
    sys.exit(1)
EOF
}
# The installer's boot sector: boot.dat's bytes 0-10 and 62-511 around the disk's own 11-61.
sector0_merged() {
  python3 "$HERE/../../tools/check-boot-sector.py" <(volume_sector0) "$ORIG0" "$PKG/boot.dat"
}

# While a session runs, the disk is the tmpfs (files) plus the image (sectors): a fingerprint
# of both tells whether a run changed anything.
disk_state() {
  ( md5sum <"$FLOPPY_IMAGE"; cd "$FLOPPY_DIR" && find . -printf '%p %s %M\n' | sort &&
      find . -type f -exec md5sum {} + | sort ) 2>&1
}
SNAPSHOT=$WORK/snapshot.txt
remember_disk() { disk_state >"$SNAPSHOT"; }
disk_unchanged() {
  local now
  now=$(disk_state)
  if [ "$now" != "$(cat "$SNAPSHOT")" ]; then
    echo "    the disk was changed:"
    diff "$SNAPSHOT" <(echo "$now") | sed 's/^/      /'
    return 1
  fi
}
no_probe_in_session() {
  [ -z "$(find "$FLOPPY_DIR" -maxdepth 1 -iname '$zebcro$.zeb')" ] ||
    { echo "    the probe file \$ZEBCRO\$.ZEB was left on the disk"; return 1; }
}

# Checks on the finished image (after floppy_finish), by name as DOS sees it.
on_disk() { mtype -i "$FLOPPY_VOLUME" "::$1" 2>/dev/null; }
present() { mdir -b -i "$FLOPPY_VOLUME" "::$1" >/dev/null 2>&1 || { echo "    $1 is missing"; return 1; }; }
absent() { ! mdir -b -i "$FLOPPY_VOLUME" "::$1" >/dev/null 2>&1 || { echo "    $1 should not be on the disk"; return 1; }; }
same_as() { # NAME-ON-DISK FILE
  cmp -s <(on_disk "$1") "$2" || { echo "    $1 on the disk differs from $2"; return 1; }
}
holds() { # NAME-ON-DISK TEXT (printf %b escapes)
  cmp -s <(on_disk "$1") <(printf '%b' "$2") || {
    echo "    $1 holds:"; on_disk "$1" | od -c | head -5 | sed 's/^/      /'; return 1; }
}
# The root folder holds exactly these names (case does not matter on FAT).
root_is() {
  local want have
  want=$(printf '%s\n' "$@" | tr a-z A-Z | sort)
  have=$(mdir -b -i "$FLOPPY_VOLUME" :: 2>/dev/null | sed 's|^::/||; s|/$||' | tr a-z A-Z | sort)
  [ "$want" = "$have" ] || {
    echo "    the root folder differs (- expected, + found):"
    diff <(echo "$want") <(echo "$have") | grep '^[<>]' | sed 's/^</      -/; s/^>/      +/'
    return 1
  }
}
user_files_intact() {
  local f ok=0
  for f in $USER_FILES; do same_as "$f" "$USER_DIR/$f" || ok=1; done
  return $ok
}
# After an installation that kept the old DOS: its start-up files are the backups, the other
# files are untouched, and the root holds these names.
user_startup_kept() {
  local ok=0
  same_as config.zeb "$USER_DIR/CONFIG.SYS" || ok=1
  same_as autoexec.zeb "$USER_DIR/AUTOEXEC.BAT" || ok=1
  user_files_intact || ok=1
  return $ok
}

# The whole package as a finished installation leaves it.
PACKAGE_NAMES="kestrand.exe ksstart.com config.sys autoexec.bat $DATA_FILES"
FREEDOS_NAMES="kernel.sys command.com"
MODIFIED_ROOT="command.com $PACKAGE_NAMES config.zeb autoexec.zeb NOTES.TXT DATA.BIN DOCS"
package_installed() {
  local ok=0 f
  same_as kestrand.exe "$PKG/kestrand._xe" || ok=1
  same_as ksstart.com "$PKG/ksstart._om" || ok=1
  for f in $DATA_FILES; do same_as "$f" "$PKG/$f" || ok=1; done
  holds config.sys "$CONFIG_SYS" || ok=1
  holds autoexec.bat "$AUTOEXEC_BAT" || ok=1
  return $ok
}
freedos_installed() {
  same_as kernel.sys "$PKG/kernel._ys" && same_as command.com "$PKG/command._om" && sector0_merged &&
    sectors_through_vwin32
}
