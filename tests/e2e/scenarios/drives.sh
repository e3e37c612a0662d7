#!/usr/bin/env bash
# Sourced by tests/e2e/e2e.sh. Scenarios: the drive list.
# Drives.

NO_DRIVE="Disk(No removable drive was found. Connect a floppy drive or a USB stick and start the installer again.)"

# No drive A: at all, and an A: that is a fixed disk: one message, nothing asked about a drive.
drives_none() {
  begin drives_none
  disk --no-files --no-raw || return
  run_installer default default
  expect_questions Welcome "$NO_DRIVE"
  expect_exit failed
  floppy_end

  begin drives_fixed_only
  disk --kind fat12 --type hd || return
  remember_disk
  run_installer default default
  expect_questions Welcome "$NO_DRIVE"
  expect_exit failed
  check disk_unchanged
  floppy_end
}

# Fixed, network and optical drives beside three removable ones: B: (a folder, so no FAT volume),
# E: (the FAT12 image) and G: (a folder with an old DOS). The list offers B:, E: and G: in letter
# order, each with what it holds, and chooses E:, the first with a FAT12/16 volume; choosing the
# third entry installs onto G:, E: stays as it was.
drives_removable_only() {
  begin drives_removable_only
  local img
  img=$(user_image fat12) && disk --image "$img" --drive e || return
  local dd=$WINEPREFIX/dosdevices d
  for d in b d f g n; do mkdir -p "$WORK/drive-$d"; ln -sfn "$WORK/drive-$d" "$dd/$d:"; done
  cp "$USER_DIR/COMMAND.COM" "$WORK/drive-g/command.com"
  printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n"b:"="floppy"\n"d:"="hd"\n"n:"="network"\n"f:"="cdrom"\n"g:"="floppy"\n' \
    >"$FLOPPY_PREFIX/drive_c/drives.reg"
  wine regedit /S 'C:\drives.reg' >/dev/null 2>&1
  wineserver -k; wineserver -w; wineserver -p
  remember_disk
  run_installer default select=2,Continue Modify_current_OS default
  expect_questions Welcome Drive Bootable Completed
  expect_exit completed
  local list
  list=$(sed -n 's/^Q2 .*| static "Please select the drive which to install KESTRAND to ..."; combo \(.*\)$/\1/p' <<<"$RECORD")
  [[ $list =~ ^sel=1\ \"B:\ \ [^\|]*\|E:\ \ KESTEST\ \ 1\.4\ MB\ \ FAT12\|G:\ \ [^\|]*\"$ ]] ||
    fail "the drive list is not B:, E: (chosen, with label, size and FAT12) and G:: $list"
  check disk_unchanged
  check cmp -s "$WORK/drive-g/ksstart.com" "$PKG/ksstart._om"
  check cmp -s "$WORK/drive-g/kestrand.exe" "$PKG/kestrand._xe"
  # The other drives go again, registry entries included, so later sessions see A: alone.
  printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n"b:"=-\n"d:"=-\n"n:"=-\n"f:"=-\n"g:"=-\n' \
    >"$FLOPPY_PREFIX/drive_c/drives.reg"
  wine regedit /S 'C:\drives.reg' >/dev/null 2>&1
  rm -f "$dd/b:" "$dd/d:" "$dd/n:" "$dd/f:" "$dd/g:" "$FLOPPY_PREFIX/drive_c/drives.reg"
  floppy_end
}

group_drives() {
  drives_none; drives_removable_only
}
