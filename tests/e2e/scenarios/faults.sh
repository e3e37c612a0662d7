#!/usr/bin/env bash
# Sourced by tests/e2e/e2e.sh. Scenarios: faults of the disk and the package.
# Faults: one message, exit 0, and what was written before the fault stays.

# The package lacks 0300.dat: the files before it are on the disk, the ones after it are not.
fault_missing_data_file() {
  begin fault_missing_data_file
  disk --kind fat12 || return
  rm -f "$FLOPPY_PROGDIR/0300.dat"
  run_installer default default default default
  expect_questions Welcome Drive FreeDos "Package(Could not copy 0300.dat)"
  expect_exit failed
  floppy_finish
  check freedos_installed
  check same_as kestrand.exe "$PKG/kestrand._xe"
  local f
  for f in 0000.dat 0100.dat 0200.dat 0201.dat 0202.dat 0203.dat; do check same_as "$f" "$PKG/$f"; done
  check root_is $FREEDOS_NAMES kestrand.exe ksstart.com config.sys autoexec.bat \
    0000.dat 0100.dat 0200.dat 0201.dat 0202.dat 0203.dat
  floppy_end
}

# The tmpfs pages (4 KiB each) that the given files take on the disk behind A:.
pages_of() {
  local f n=0
  for f in "$@"; do n=$((n + ($(stat -c %s "$f") + 4095) / 4096)); done
  echo "$n"
}

# A disk with room for everything up to 0200.dat (tmpfs pages of 4 KiB): 0201.dat does not fit.
fault_disk_full() {
  begin fault_disk_full
  local pages
  # and config.sys and autoexec.bat, one page each
  pages=$(($(cd "$PKG" && pages_of kernel._ys command._om ksstart._om kestrand._xe 0000.dat 0100.dat 0200.dat) + 2))
  disk --kind fat12 --tmpfs $((pages * 4))k || return
  run_installer default default default default
  expect_questions Welcome Drive FreeDos "Package(Could not copy 0201.dat)"
  expect_exit failed
  floppy_finish
  check freedos_installed
  check same_as 0200.dat "$PKG/0200.dat"
  check absent 0202.dat
  floppy_end
}

# FAT32, large (a volume of 76800 clusters) or small (8 MiB, known only by its name), and a disk
# without any file system are refused before anything is written.
fault_fat32() {
  begin fault_fat32
  disk --kind fat32 --tmpfs 300m || return
  run_installer default default default default
  expect_questions Welcome Drive FreeDos "Disk(The FreeDos installation requires a FAT12/16 formatted disk! ...)"
  expect_exit failed
  floppy_finish
  check sector0_unchanged
  check root_is
  floppy_end

  begin fault_fat32_small
  local img=$WORK/fat32-small.img
  rm -f "$img"
  mkfs.fat -C -F 32 -n KESTEST "$img" 8192 >/dev/null && disk --image "$img" --tmpfs 8m || return
  cp "$FLOPPY_IMAGE" "$WORK/fat32-before.img"
  run_installer default default default default
  expect_questions Welcome Drive FreeDos "Disk(The FreeDos installation requires a FAT12/16 formatted disk! ...)"
  expect_exit failed
  check test -z "$(ls -A "$FLOPPY_DIR")"
  floppy_finish
  check cmp -s "$FLOPPY_IMAGE" "$WORK/fat32-before.img"
  floppy_end
}

# A nearly full disk with an old DOS, a large config.sys and an older backup of it: ksstart.com
# still fits, the new backup does not. The user's config.sys and the older backup keep their
# bytes, nothing half-made is left, and the message is the config.sys one.
fault_backup_no_room() {
  begin fault_backup_no_room
  local img=$WORK/user-full.img pages
  python3 - "$WORK/BIG" <<'PY'
import os, sys
os.makedirs(sys.argv[1], exist_ok=True)
lines = b"".join(b"DEVICE=C:\\DRIVERS\\DRV%04d.SYS\r\n" % i for i in range(1500))
open(os.path.join(sys.argv[1], "CONFIG.SYS"), "wb").write(lines)          # about 40 KB
open(os.path.join(sys.argv[1], "CONFIG.ZEB"), "wb").write(b"FILES=20\r\n")  # an older backup
PY
  local files="$USER_DIR/NOTES.TXT $USER_DIR/DATA.BIN $USER_DIR/COMMAND.COM $USER_DIR/AUTOEXEC.BAT
    $WORK/BIG/CONFIG.SYS $WORK/BIG/CONFIG.ZEB"
  # shellcheck disable=SC2086
  floppy_make_image fat12 "$img" $files || return
  # Room (4 KiB tmpfs pages) for the user's files, ksstart.com and one page more.
  # shellcheck disable=SC2086
  pages=$(pages_of $files "$PKG/ksstart._om")
  disk --image "$img" --tmpfs $(((pages + 1) * 4))k || return
  run_installer default default Modify_current_OS default
  expect_questions Welcome Drive Bootable "Disk(Could not create/update config.sys)"
  expect_exit failed
  floppy_finish
  check same_as config.sys "$WORK/BIG/CONFIG.SYS"
  check same_as config.zeb "$WORK/BIG/CONFIG.ZEB"
  check same_as autoexec.bat "$USER_DIR/AUTOEXEC.BAT"
  check same_as ksstart.com "$PKG/ksstart._om"
  check root_is command.com ksstart.com config.sys config.zeb autoexec.bat NOTES.TXT DATA.BIN
  floppy_end

  # Room for the backup of config.sys but not for that of a large autoexec.bat: both backups come
  # before either file is rewritten, so neither start-up file changes and the message names the
  # second one.
  begin fault_backup_no_room_second
  img=$WORK/user-full2.img
  python3 - "$WORK/BIG" <<'PY'
import os, sys
lines = b"".join(b"CALL C:\\TOOLS\\TOOL%04d.BAT\r\n" % i for i in range(1500))
open(os.path.join(sys.argv[1], "AUTOEXEC.BAT"), "wb").write(lines)       # about 40 KB
PY
  files="$USER_DIR/NOTES.TXT $USER_DIR/DATA.BIN $USER_DIR/COMMAND.COM $USER_DIR/CONFIG.SYS $WORK/BIG/AUTOEXEC.BAT"
  # shellcheck disable=SC2086
  floppy_make_image fat12 "$img" $files || return
  # Room for the user's files, ksstart.com, config.zeb and one page more.
  # shellcheck disable=SC2086
  pages=$(pages_of $files "$PKG/ksstart._om")
  disk --image "$img" --tmpfs $(((pages + 2) * 4))k || return
  run_installer default default Modify_current_OS default
  expect_questions Welcome Drive Bootable "Disk(Could not create/update autoexec.bat)"
  expect_exit failed
  check no_temporary_copies
  floppy_finish
  check same_as config.sys "$USER_DIR/CONFIG.SYS"
  check same_as autoexec.bat "$WORK/BIG/AUTOEXEC.BAT"
  check same_as config.zeb "$USER_DIR/CONFIG.SYS"
  check root_is command.com ksstart.com config.sys config.zeb autoexec.bat NOTES.TXT DATA.BIN
  floppy_end
}

# No backup's temporary copy (*.ze$) on the disk of the running session.
no_temporary_copies() {
  [ -z "$(find "$FLOPPY_DIR" -maxdepth 1 -iname '*.ze$')" ] ||
    { echo "    a temporary copy was left: $(cd "$FLOPPY_DIR" && ls -- *.[zZ][eE]\$)"; return 1; }
}
# The file NAME of the running session's disk is there and not read-only (Wine keeps the
# read-only attribute as a file without write permission).
writable_in_session() {
  local f
  f=$(find "$FLOPPY_DIR" -maxdepth 1 -iname "$1" | head -n 1)
  [ -n "$f" ] || { echo "    $1 is missing"; return 1; }
  [ -n "$(find "$f" -perm /222)" ] || { echo "    $1 is read-only"; return 1; }
}

# A first run stops at a missing package file after the start-up files were replaced; once the
# package is complete a second run finishes, and the backups still hold the user's files.
fault_then_rerun() {
  begin fault_then_rerun
  local img
  img=$(user_image fat12 os) && disk --image "$img" || return
  mv "$FLOPPY_PROGDIR/0300.dat" "$WORK/0300.dat"
  run_installer default default Modify_current_OS default
  expect_questions Welcome Drive Bootable "Package(Could not copy 0300.dat)"
  expect_exit failed
  mv "$WORK/0300.dat" "$FLOPPY_PROGDIR/0300.dat"
  run_installer default default Modify_current_OS default
  expect_questions Welcome Drive Bootable Completed
  expect_exit completed
  floppy_finish
  check package_installed
  check user_startup_kept
  check root_is $MODIFIED_ROOT
  floppy_end

  # A read-only config.sys stops the run before either start-up file changes, with both backups
  # made and writable; once the user clears the attribute, a second run completes.
  begin fault_read_only_config_then_rerun
  img=$(user_image fat12 os) && disk --image "$img" || return
  local config
  config=$(find "$FLOPPY_DIR" -maxdepth 1 -iname config.sys)
  chmod a-w "$config"
  run_installer default default Modify_current_OS default
  expect_questions Welcome Drive Bootable "Disk(Could not create/update config.sys)"
  expect_exit failed
  check cmp -s "$config" "$USER_DIR/CONFIG.SYS"
  check cmp -s "$(find "$FLOPPY_DIR" -maxdepth 1 -iname autoexec.bat)" "$USER_DIR/AUTOEXEC.BAT"
  check writable_in_session config.zeb
  check writable_in_session autoexec.zeb
  check no_temporary_copies
  chmod u+w "$config"
  run_installer default default Modify_current_OS default
  expect_questions Welcome Drive Bootable Completed
  expect_exit completed
  check no_temporary_copies
  floppy_finish
  check package_installed
  check user_startup_kept
  check root_is $MODIFIED_ROOT
  floppy_end
}

fault_not_fat() {
  begin fault_not_fat
  disk --kind raw || return
  cp "$FLOPPY_IMAGE" "$WORK/raw-before.img"
  run_installer default default default default
  expect_questions Welcome Drive FreeDos "Disk(The FreeDos installation requires a FAT12/16 formatted disk! ...)"
  expect_exit failed
  check test -z "$(ls -A "$FLOPPY_DIR")"
  floppy_finish
  check cmp -s "$FLOPPY_IMAGE" "$WORK/raw-before.img"
  floppy_end
}

# Sector writes fail: the FreeDOS files are copied by then, the boot sector stays the old one.
fault_sector_write() {
  begin fault_sector_write
  disk --kind fat12 --ro-loop || return
  run_installer default default default default
  expect_questions Welcome Drive FreeDos "Disk(Could not write the bootsector)"
  expect_exit failed
  floppy_finish
  check sector0_unchanged
  check root_is $FREEDOS_NAMES
  floppy_end
}

group_faults() {
  fault_missing_data_file; fault_disk_full; fault_fat32; fault_not_fat; fault_sector_write
  fault_backup_no_room; fault_then_rerun
}
