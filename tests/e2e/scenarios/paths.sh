#!/usr/bin/env bash
# Sourced by tests/e2e/e2e.sh. Scenarios: the three paths through the sequence, on floppies and
# sticks, with the mouse and with the keyboard.

# What a finished installation on a blank disk leaves: FreeDOS and the package, nothing else.
blank_disk_finished() {
  check no_probe_in_session
  floppy_finish
  check freedos_installed
  check package_installed
  check root_is $FREEDOS_NAMES $PACKAGE_NAMES
}

# A blank floppy: FreeDOS, the boot sector, the package; then it boots.
path_not_bootable() {
  begin path_not_bootable
  disk --kind fat12 || return
  run_installer default default default default
  expect_questions Welcome Drive FreeDos Completed
  expect_exit completed
  blank_disk_finished
  check boots "$FLOPPY_IMAGE" floppy KESTEST
  floppy_end
}

# A disk with an old DOS: FreeDOS replaces its shell and boot sector; the old start-up files are
# kept as .zeb backups and the user's files are untouched. The GPL licence is asked for twice on
# the way: each time the same question comes back.
path_install_freedos() {
  begin path_install_freedos
  local img
  img=$(user_image fat12 os) && disk --image "$img" || return
  run_installer default default Install_FreeDos Show_GPL_license Show_GPL_license Continue default
  expect_questions Welcome Drive Bootable FreeDos FreeDos FreeDos Completed
  expect_exit completed
  check licence_opened 2
  check no_probe_in_session
  floppy_finish
  check freedos_installed
  check package_installed
  check user_startup_kept
  check root_is $FREEDOS_NAMES $PACKAGE_NAMES config.zeb autoexec.zeb NOTES.TXT DATA.BIN DOCS
  floppy_end
}

# Started in another folder (a command prompt elsewhere, a shortcut without a start folder), the
# installer still finds the whole package beside itself.
path_started_elsewhere() {
  begin path_started_elsewhere
  disk --kind fat12 || return
  START_FOLDER='C:\windows' run_installer default default default default
  expect_questions Welcome Drive FreeDos Completed
  expect_exit completed
  blank_disk_finished
  floppy_end
}

# Modify current OS keeps the old DOS: its boot sector and shell stay, no kernel.sys comes.
# A second run on the finished disk finds the installer's own start-up files and keeps the
# backups of the user's.
path_modify_os() {
  begin path_modify_os
  local img run
  img=$(user_image fat12 os) && disk --image "$img" || return
  for run in first second; do
    echo "-- $run run"
    run_installer default default Modify_current_OS default
    expect_questions Welcome Drive Bootable Completed
    expect_exit completed
  done
  check no_probe_in_session
  floppy_finish
  check sector0_unchanged
  check same_as command.com "$USER_DIR/COMMAND.COM"
  check absent kernel.sys
  check package_installed
  check user_startup_kept
  check root_is $MODIFIED_ROOT
  floppy_end
}

# Modify current OS needs neither sector access nor a FAT12/16 file system: here the drive has
# no raw device (Wine then reports NTFS), and the installation still completes.
path_modify_os_no_sectors() {
  begin path_modify_os_no_sectors
  local img
  img=$(user_image fat12 os) && disk --image "$img" --no-raw || return
  run_installer default default Modify_current_OS default
  expect_questions Welcome Drive Bootable Completed
  expect_exit completed
  floppy_finish
  check sector0_unchanged
  check package_installed
  check user_files_intact
  floppy_end
}

# A 16 MB FAT16 stick: the full default installation, booted as the first hard disk. The user
# closes the progress window (Alt+F4) while the completion message is open: that takes the
# message with it, and the exit code still says the installation completed.
path_fat16() {
  begin path_fat16
  disk --kind fat16 --tmpfs 16m || return
  run_installer default default default closewindow=KESTRAND_Install_-_Progress
  expect_questions Welcome Drive FreeDos Completed
  expect_exit completed
  floppy_finish
  check freedos_installed
  check package_installed
  check root_is $FREEDOS_NAMES $PACKAGE_NAMES
  check boots "$FLOPPY_IMAGE" hd KESTEST
  floppy_end
}

# Without a mouse: every question answered with real keys. The focus starts in the licence text,
# Tab reaches the box and Space ticks it; two more Tabs reach Abort, which then looks like the
# default (Enter would press it), and Shift+Tab gives the look back to Continue; Alt+C
# continues. Shift+Tab goes back from Continue to the drive list, Down keeps its one drive and
# Enter there continues; C alone on the focused Continue button passes the FreeDOS notice; Enter
# on OK ends. The disk ends as with the mouse.
path_keyboard() {
  begin path_keyboard
  disk --kind fat12 || return
  run_installer key=tab,key=space,key=tab,key=tab,look,key=shift+tab,look,key=alt+c \
    key=shift+tab,key=down,key=enter key=c key=enter
  expect_questions Welcome Drive FreeDos Completed
  check grep -qF "key tab, look [&Continue] [+-&Abort], key shift+tab, look [+&Continue] [-&Abort]," <<<"$RECORD"
  expect_exit completed
  blank_disk_finished
  floppy_end
}

# The package copied onto the floppy and started from there: the package files that are their
# own targets count as copied, and the disk boots with the package beside the installation.
path_package_on_disk() {
  begin path_package_on_disk
  disk --kind fat12 || return
  cp "$KESINST" "$PKG"/* "$FLOPPY_DIR/"
  local out=$WORK/robot.out
  floppy_run "$FLOPPY_PROGDIR/kesrobot.exe" --timeout 30 --run 'A:\kesinst.exe' --folder 'A:\' \
    default default default default >"$out" 2>&1
  ROBOT_STATUS=$?
  collect_record "$out"
  expect_questions Welcome Drive FreeDos Completed
  expect_exit completed
  check no_probe_in_session
  floppy_finish
  check freedos_installed
  check package_installed
  # shellcheck disable=SC2046
  check root_is $FREEDOS_NAMES $PACKAGE_NAMES kesinst.exe $(cd "$PKG" && ls | grep -vx '0[0-9]*\.dat')
  check boots "$FLOPPY_IMAGE" floppy KESTEST
  floppy_end
}

# The package where users put it, started from elsewhere: in a folder named with letters outside
# the ANSI code page (a Cyrillic user name on an English Windows), in a folder whose path is 246
# characters long (the program's path 258, the longest package file's 259: Windows' own limit),
# and as the release zip extracted into Downloads. Each installs completely;
# from the Cyrillic folder the GPL licence is opened too (ShellExecute of a name in the current
# folder). The zip's top folder holds no package: its kesinst.exe says where it looked.
path_package_folders() {
  local row rel folder base rows='cyrillic long zip'
  # The 9x family names files in the ANSI code page and within MAX_PATH, as its own Explorer does.
  [ "${E2E_WINDOWS:-default}" = win98 ] && rows=zip
  for row in ${FOLDER_ROWS:-$rows}; do
    begin "path_package_folder_$row"
    disk --kind fat12 || return
    case $row in
      cyrillic) rel='\u041f\u043e\u043b\u044c\u0437\u043e\u0432\u0430\u0442\u0435\u043b\u044c/Downloads/\u041a\u0415\u0421\u0422\u0420\u0410\u041d\u0414'
                rel=$(python3 -c "import sys; print(sys.argv[1].encode().decode('unicode_escape'))" "$rel") ;;
      long) rel=$(python3 -c "p = 'long' + ''.join('/' + 'folder%02d' % i + 'x' * 50 for i in range(4)); print(p + '/' + 'y' * (246 - 3 - len(p) - 1))") ;;
      zip) base=kes-release/Downloads
           if [ -z "${KES_CPACK_CONFIG:-}" ] || [ ! -f "$KES_CPACK_CONFIG" ]; then
             echo "    (KES_CPACK_CONFIG is not set: the release zip is not checked)"; floppy_end; continue
           fi
           rm -rf "$WORK/zip" && mkdir -p "$FLOPPY_PREFIX/drive_c/$base" &&
             cpack -G ZIP --config "$KES_CPACK_CONFIG" -B "$WORK/zip" >"$WORK/cpack.log" 2>&1 &&
             python3 -m zipfile -e "$WORK"/zip/*.zip "$FLOPPY_PREFIX/drive_c/$base" ||
             { fail "the release zip could not be made and extracted"; cat "$WORK/cpack.log"; floppy_end; continue; }
           rel=$base/$(basename "$WORK"/zip/*.zip .zip)
           folder='C:\'${rel//\//\\}
           PROGRAM_EXE="$folder\kesinst.exe" START_FOLDER='C:\windows' run_installer default
           expect_questions "Folder(Could not open readme.txt in $folder ...)"
           expect_exit failed
           rel=$rel/example ;;
    esac
    folder='C:\'${rel//\//\\}
    if [ "$row" != zip ]; then
      mkdir -p "$FLOPPY_PREFIX/drive_c/$rel" && cp -- $INSTALL "$FLOPPY_PREFIX/drive_c/$rel/" ||
        { fail "the package could not be put into $folder"; floppy_end; continue; }
    fi
    [ "$row" = long ] && check test ${#folder} -eq 246
    if [ "$row" = cyrillic ]; then
      PROGRAM_EXE="$folder\kesinst.exe" START_FOLDER='C:\windows' \
        run_installer default default Show_GPL_license Continue default
      expect_questions Welcome Drive FreeDos FreeDos Completed
      check licence_opened 1
    else
      PROGRAM_EXE="$folder\kesinst.exe" START_FOLDER='C:\windows' run_installer default default default default
      expect_questions Welcome Drive FreeDos Completed
    fi
    expect_exit completed
    blank_disk_finished
    rm -rf "${FLOPPY_PREFIX:?}/drive_c/${rel%%/*}"
    floppy_end
  done
}

# USB sticks as they come: sector 0 a master boot record, the FAT16 volume from sector 2048.
# A factory-made one (no boot code, partition not active) ends startable after consent, on the
# FreeDOS path and on the Modify path, and boots; one whose MBR already starts its partition keeps
# it byte for byte and boots; declining, and a GPT disk, leave the MBR as it was.
STICK_MBR=$WORK/stickmbr.bin
path_sticks() {
  local img
  nasm -f bin -o "$STICK_MBR" "$HERE/../../src/installer/boot/StickMbr.asm" || { fail "StickMbr.asm"; return; }

  begin path_stick_made_startable
  disk --kind stick || return
  run_installer default default default Make_the_stick_startable default
  expect_questions Welcome Drive FreeDos Startable Completed
  expect_exit completed
  blank_disk_finished
  check mbr_startable "$STICK_MBR"
  check boots "$FLOPPY_IMAGE" hd KESTEST
  floppy_end

  begin path_stick_modify_os
  img=$WORK/stick-os.img
  floppy_make_image stick "$img" "$USER_DIR/COMMAND.COM" && disk --image "$img" --stick || return
  run_installer default default Modify_current_OS Make_the_stick_startable default
  expect_questions Welcome Drive Bootable Startable Completed
  expect_exit completed
  floppy_finish
  check sector0_unchanged
  check mbr_startable "$STICK_MBR"
  check package_installed
  floppy_end

  begin path_stick_already_startable
  img=$WORK/stick-startable.img
  floppy_make_image stick "$img" && floppy_stick_mbr "$img" 80 06 "$STICK_MBR" && disk --image "$img" --stick || return
  run_installer default default default default
  expect_questions Welcome Drive FreeDos Completed
  expect_exit completed
  blank_disk_finished
  check mbr_unchanged
  check boots "$FLOPPY_IMAGE" hd KESTEST
  floppy_end

  begin path_stick_left_as_it_is
  disk --kind stick || return
  run_installer default default default Leave_it default
  expect_questions Welcome Drive FreeDos Startable Completed
  expect_exit completed
  blank_disk_finished
  check mbr_unchanged
  floppy_end

  begin path_stick_gpt
  img=$WORK/stick-gpt.img
  floppy_make_image stick "$img" && floppy_stick_mbr "$img" 00 ee && disk --image "$img" --stick || return
  run_installer default default default Continue default
  expect_questions Welcome Drive FreeDos LeftAloneGpt Completed
  expect_exit completed
  blank_disk_finished
  check mbr_unchanged
  floppy_end
}

group_paths() {
  path_not_bootable; path_install_freedos; path_modify_os; path_modify_os_no_sectors; path_fat16
  path_keyboard; path_started_elsewhere; path_package_on_disk; path_package_folders
  # The 9x family cannot open the whole disk: it leaves a stick's MBR alone (and asks nothing).
  [ "${E2E_WINDOWS:-default}" = win98 ] || path_sticks
}
