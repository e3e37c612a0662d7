#!/usr/bin/env bash
# End-to-end tests: the real installer on a real disk image as drive A: of the floppy prefix
# (tools/floppy.sh), every question answered by the dialog robot as a person would. Each scenario
# checks what that person would judge: the questions in order, the exit code, the files and bytes
# on the disk, sector 0, and for finished disks that they boot.
#
#   tests/e2e/e2e.sh GROUP KESINST.EXE KESROBOT.EXE PACKAGE-FOLDER
#   GROUP: paths | aborts | faults | drives | all, or a single scenario function name
#
# Scenarios that share a disk (the abort cases) run one after the other in one session; the
# others get a fresh disk each. Needs root (loop devices, mounts), Wine, mtools, qemu-system-i386.
set -uo pipefail
GROUP=${1:?usage: e2e.sh GROUP KESINST KESROBOT PACKAGE}
KESINST=${2:?}
KESROBOT=${3:?}
PKG=${4:?}
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$HERE/../../tools/floppy.sh"

for f in "$KESINST" "$KESROBOT" "$PKG/readme.txt" "$PKG/boot.dat"; do
  [ -f "$f" ] || { echo "FAILED: $f is missing (build kesinst, kesrobot and the demo package)"; exit 1; }
done

failures=0
SCENARIO=""
fail() { echo "FAILED [$SCENARIO]: $*"; failures=$((failures + 1)); }
check() { "$@" || fail "$*"; }

floppy_begin
WORK=$FLOPPY_WORK
INSTALL="$KESINST $KESROBOT $(ls "$PKG"/*)"
DATA_FILES="0000.dat 0100.dat 0200.dat 0201.dat 0202.dat 0203.dat 0300.dat 0301.dat 0400.dat"
MARKER='REM KESTRAND   ** DO NOT MODIFY **'
CONFIG_SYS=$MARKER
AUTOEXEC_BAT="$MARKER\r\n@echo off\r\nksstart.com"

# ---------------------------------------------------------------------------------------------
# The questions as the robot records them: "Qn | caption | first message line | [buttons] | controls".
# A question is known by its caption, message and buttons together; anything else shows as "?".
CAPTION='Installer   www.kestrand.example'
declare -A QUESTION=(
  [Welcome]="$CAPTION | Welcome at the KESTRAND installer. KESTRAND is an ATA/IDE diagnostic package. ... | [+&Continue (disabled)] [-&Abort]"
  [Drive]="$CAPTION | KESTRAND requires at bootable formatted disk. Optionally this installer can make a ... | [+&Continue] [-&Abort]"
  [NoDisk]="$CAPTION | There is no disk or the disk is read-only. Please make sure that the disk is writable | [+&Retry] [-&Cancel]"
  [Bootable]="$CAPTION | The disk appears to be bootable. The installed OS can be used but both config.sys and autoexec.bat will be modified. ... | [+&Install FreeDos] [&Modify current OS] [-&Abort install]"
  [FreeDos]="$CAPTION | Since the disk is not bootable (or on your explicit request) the FreeDos kernel will now be installed. ... | [+&Continue] [-&Abort installation] [&Show GPL license]"
  [Completed]="Installation complete | Installation completed, restart the computer to start KESTRAND. ... | [+-&OK]"
  [Aborted]="Installation aborted | Installation aborted, KESTRAND was not installed | [+-&OK]"
)
DISK_ADVICE='static "Due to the reason mentioned above, the installation failed. ..."; line'
PACKAGE_ADVICE='static "A file could not be copied or created. Make sure there is enough space on the disk and that the installation package is complete! ..."; line'

# One name per question line: Welcome, Drive, ..., Disk(message) or Package(message) for the two
# kinds of failure dialog, ?(line) for anything unexpected.
question_name() {
  local line=$1 rest caption message buttons controls name
  rest=${line#Q* | }
  rest="$rest "   # a question without controls ends in " |"
  IFS='|' read -r caption message buttons controls <<<"${rest// | /|}"
  controls=${controls% }
  for name in "${!QUESTION[@]}"; do
    if [ "$caption | $message | $buttons" = "${QUESTION[$name]}" ]; then
      echo "$name"
      return
    fi
  done
  if [ "$caption" = "Installation aborted" ] && [ "$buttons" = "[+-&Ok]" ]; then
    case $controls in
      "$DISK_ADVICE") echo "Disk($message)"; return ;;
      "$PACKAGE_ADVICE") echo "Package($message)"; return ;;
    esac
  fi
  echo "?($rest)"
}

# run_installer ANSWER...: the installer started by the robot from C:\kes (or START_FOLDER), one
# answer per question. Sets RECORD (the robot's lines), ASKED (question names, one line each),
# EXIT_CODE (the installer's) and ROBOT_STATUS.
run_installer() {
  local out=$WORK/robot.out
  floppy_run "$FLOPPY_PROGDIR/kesrobot.exe" --timeout 30 --run 'C:\kes\kesinst.exe' \
    --folder "${START_FOLDER:-C:\kes}" "$@" >"$out" 2>&1
  ROBOT_STATUS=$?
  collect_record "$out"
}

collect_record() {
  RECORD=$(grep -aE '^(Q[0-9]+|A[0-9]+|EXIT|ROBOT:|VISIBLE)' "$1" | tr -d '\r')
  ASKED=$(grep -E '^Q[0-9]+ ' <<<"$RECORD" | while IFS= read -r l; do question_name "$l"; done)
  EXIT_CODE=$(sed -n 's/^EXIT \([0-9]*\)$/\1/p' <<<"$RECORD")
}

# expect_questions NAME...: the questions asked, in this order, and nothing else.
expect_questions() {
  local want
  want=$(printf '%s\n' "$@")
  if [ "$ASKED" != "$want" ]; then
    fail "questions differ"
    diff <(echo "$want") <(echo "$ASKED") | sed 's/^/    /'
    echo "    robot record:"; sed 's/^/      /' <<<"$RECORD"
    # Nothing recorded: what the robot's run printed instead (Wine's own messages, a time-out).
    [ -n "$RECORD" ] || { echo "    robot output:"; tail -n 15 "$WORK/robot.out" | sed 's/^/      /'; }
    return 1
  fi
  if [ "$ROBOT_STATUS" -ne 0 ]; then
    fail "the robot gave up (status $ROBOT_STATUS)"
    sed 's/^/      /' <<<"$RECORD"
  fi
}

# expect_exit completed|failed: nonzero after a completed installation, 0 otherwise.
expect_exit() {
  case $1 in
    completed) [ -n "$EXIT_CODE" ] && [ "$EXIT_CODE" != 0 ] || fail "exit code '$EXIT_CODE', expected nonzero" ;;
    failed) [ "$EXIT_CODE" = 0 ] || fail "exit code '$EXIT_CODE', expected 0" ;;
  esac
}

# ---------------------------------------------------------------------------------------------
# Disks.

# Without a window manager Wine waits 2 s whenever an active top-level window is hidden or
# destroyed; with its windows unmanaged it does not, and a run takes a quarter of the time.
unmanaged_windows() {
  grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null && return 0
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
}

# disk [floppy_setup options]: a fresh session with the program and the package in C:\kes.
disk() {
  floppy_setup "$@" --install "$INSTALL" || { fail "the disk could not be set up ($*)"; return 1; }
  unmanaged_windows
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
save_sector0() { dd if="$FLOPPY_IMAGE" of="$ORIG0" bs=512 count=1 status=none; }
sector0_unchanged() {
  cmp -s <(dd if="$FLOPPY_IMAGE" bs=512 count=1 status=none) "$ORIG0" ||
    { echo "    sector 0 was changed"; return 1; }
}
# The installer's boot sector: boot.dat's bytes 0-10 and 62-511 around the disk's own 11-61.
sector0_merged() {
  python3 "$HERE/../../tools/check-boot-sector.py" "$FLOPPY_IMAGE" "$ORIG0" "$PKG/boot.dat"
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
on_disk() { mtype -i "$FLOPPY_IMAGE" "::$1" 2>/dev/null; }
present() { mdir -b -i "$FLOPPY_IMAGE" "::$1" >/dev/null 2>&1 || { echo "    $1 is missing"; return 1; }; }
absent() { ! mdir -b -i "$FLOPPY_IMAGE" "::$1" >/dev/null 2>&1 || { echo "    $1 should not be on the disk"; return 1; }; }
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
  have=$(mdir -b -i "$FLOPPY_IMAGE" :: 2>/dev/null | sed 's|^::/||; s|/$||' | tr a-z A-Z | sort)
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
  same_as kernel.sys "$PKG/kernel._ys" && same_as command.com "$PKG/command._om" && sector0_merged
}

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
  mdir -b -i "$img" :: | sed 's|^::/||' | while read -r name; do
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

begin() { SCENARIO=$1; echo "== $1"; }

# licence_opened N: the FreeDOS licence was opened N times; Wine opens a text file with its
# Notepad, one window each time (they start on their own time, so they are waited for).
licence_opened() {
  command -v xdotool >/dev/null || { echo "    (xdotool is not installed: not checked)"; return 0; }
  local n count=0
  for n in $(seq 100); do
    count=$(xdotool search --name '^copying\.txt - Notepad$' 2>/dev/null | wc -l)
    [ "$count" -ge "$1" ] && break
    sleep 0.1
  done
  [ "$count" -eq "$1" ] || { echo "    copying.txt was opened $count times, not $1"; return 1; }
}

# ---------------------------------------------------------------------------------------------
# The three paths through the sequence.

# A blank floppy: FreeDOS, the boot sector, the package; then it boots.
path_not_bootable() {
  begin path_not_bootable
  disk --kind fat12 || return
  run_installer default default default default
  expect_questions Welcome Drive FreeDos Completed
  expect_exit completed
  check no_probe_in_session
  floppy_finish
  check freedos_installed
  check package_installed
  check root_is $FREEDOS_NAMES $PACKAGE_NAMES
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
  floppy_finish
  check freedos_installed
  check package_installed
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
# Tab reaches the box, Space ticks it and Alt+C continues; Shift+Tab goes back from Continue to
# the drive list, Down keeps its one drive and Enter there continues; C alone on the focused
# Continue button passes the FreeDOS notice; Enter on OK ends. The disk ends as with the mouse.
path_keyboard() {
  begin path_keyboard
  disk --kind fat12 || return
  run_installer key=tab,key=space,key=alt+c key=shift+tab,key=down,key=enter key=c key=enter
  expect_questions Welcome Drive FreeDos Completed
  expect_exit completed
  check no_probe_in_session
  floppy_finish
  check freedos_installed
  check package_installed
  check root_is $FREEDOS_NAMES $PACKAGE_NAMES
  floppy_end
}

# ---------------------------------------------------------------------------------------------
# Stopping at every question leaves the disk as it was. One disk per kind of question.

# abort_run NAME ANSWERS... -- QUESTIONS...: one run that must end with the abort message, exit 0
# and the disk unchanged.
abort_run() {
  local name=$1 answers=() questions=()
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do answers+=("$1"); shift; done
  shift
  questions=("$@")
  SCENARIO=$name
  echo "-- $name"
  run_installer "${answers[@]}"
  expect_questions "${questions[@]}"
  expect_exit failed
  check disk_unchanged
}

aborts_blank_disk() {
  begin aborts_blank_disk
  local img
  img=$(user_image fat12) && disk --image "$img" || return
  remember_disk
  abort_run welcome_abort Abort default -- Welcome Aborted
  abort_run welcome_escape escape default -- Welcome Aborted
  abort_run welcome_close accept,close default -- Welcome Aborted
  abort_run drive_abort default Abort default -- Welcome Drive Aborted
  abort_run drive_escape default escape default -- Welcome Drive Aborted
  abort_run freedos_abort default default Abort_installation default -- Welcome Drive FreeDos Aborted
  abort_run freedos_escape default default escape default -- Welcome Drive FreeDos Aborted
  # The licence comes from the program's folder; without it nothing is asked at all.
  mv "$FLOPPY_PROGDIR/readme.txt" "$WORK/readme.txt"
  abort_run missing_readme default -- "Package(Could not open readme.txt)"
  mv "$WORK/readme.txt" "$FLOPPY_PROGDIR/readme.txt"
  floppy_finish
  SCENARIO=aborts_blank_disk
  check sector0_unchanged
  check user_files_intact
  check root_is NOTES.TXT DATA.BIN DOCS
  floppy_end
}

aborts_bootable_disk() {
  begin aborts_bootable_disk
  local img
  img=$(user_image fat12 os) && disk --image "$img" || return
  remember_disk
  abort_run bootable_abort default default Abort_install default -- Welcome Drive Bootable Aborted
  abort_run bootable_escape default default escape default -- Welcome Drive Bootable Aborted
  abort_run bootable_close default default close default -- Welcome Drive Bootable Aborted
  floppy_end
}

# A read-only disk: Cancel and Escape stop; Retry asks again until the disk can be written, then
# the installation goes on as usual.
aborts_read_only_disk() {
  begin aborts_read_only_disk
  disk --kind fat12 --ro-files || return
  remember_disk
  abort_run nodisk_cancel default default Cancel default -- Welcome Drive NoDisk Aborted
  abort_run nodisk_escape default default escape default -- Welcome Drive NoDisk Aborted

  SCENARIO=nodisk_retry
  echo "-- nodisk_retry"
  # The second No disk question waits a while before its Retry; the disk is made writable as
  # soon as the robot has recorded it, so that Retry finds it writable.
  local log=$FLOPPY_PROGDIR/robot.log out=$WORK/robot.out n
  rm -f "$log"
  floppy_run "$FLOPPY_PROGDIR/kesrobot.exe" --timeout 30 --log 'C:\kes\robot.log' \
    --run 'C:\kes\kesinst.exe' --folder 'C:\kes' \
    default default Retry wait=3000,Retry default default >"$out" 2>&1 &
  local robot=$!
  for n in $(seq 600); do
    grep -q '^Q4 ' "$log" 2>/dev/null && break
    kill -0 $robot 2>/dev/null || break
    sleep 0.1
  done
  mount -o remount,rw "$FLOPPY_DIR" || fail "the disk could not be made writable"
  wait $robot
  ROBOT_STATUS=$?
  collect_record "$out"
  expect_questions Welcome Drive NoDisk NoDisk FreeDos Completed
  expect_exit completed
  check no_probe_in_session
  floppy_finish
  check freedos_installed
  check package_installed
  floppy_end
}

# ---------------------------------------------------------------------------------------------
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

# A disk with room for everything up to 0200.dat (tmpfs pages of 4 KiB): 0201.dat does not fit.
fault_disk_full() {
  begin fault_disk_full
  local pages=2 f   # config.sys and autoexec.bat, one page each
  for f in kernel._ys command._om ksstart._om kestrand._xe 0000.dat 0100.dat 0200.dat; do
    pages=$((pages + ($(stat -c %s "$PKG/$f") + 4095) / 4096))
  done
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
  expect_questions Welcome Drive FreeDos "Disk(The FreeDos installation requires a FAT12/16 formatted disk!)"
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
  expect_questions Welcome Drive FreeDos "Disk(The FreeDos installation requires a FAT12/16 formatted disk!)"
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
  local img=$WORK/user-full.img pages=0 f
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
  for f in $files "$PKG/ksstart._om"; do pages=$((pages + ($(stat -c %s "$f") + 4095) / 4096)); done
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
}

fault_not_fat() {
  begin fault_not_fat
  disk --kind raw || return
  cp "$FLOPPY_IMAGE" "$WORK/raw-before.img"
  run_installer default default default default
  expect_questions Welcome Drive FreeDos "Disk(The FreeDos installation requires a FAT12/16 formatted disk!)"
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

# ---------------------------------------------------------------------------------------------
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

# Fixed, network and optical drives beside A: and a second removable drive G:. The list offers
# A: and G: in letter order; choosing its second entry installs onto G:, A: stays as it was.
drives_removable_only() {
  begin drives_removable_only
  local img
  img=$(user_image fat12) && disk --image "$img" || return
  local dd=$WINEPREFIX/dosdevices d
  for d in d e f g; do mkdir -p "$WORK/drive-$d"; ln -sfn "$WORK/drive-$d" "$dd/$d:"; done
  cp "$USER_DIR/COMMAND.COM" "$WORK/drive-g/command.com"
  printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n"d:"="hd"\n"e:"="network"\n"f:"="cdrom"\n"g:"="floppy"\n' \
    >"$FLOPPY_PREFIX/drive_c/drives.reg"
  wine regedit /S 'C:\drives.reg' >/dev/null 2>&1
  wineserver -k; wineserver -w; wineserver -p
  remember_disk
  run_installer default select=1,Continue Modify_current_OS default
  expect_questions Welcome Drive Bootable Completed
  expect_exit completed
  grep -q '^Q2 .*| static "Please select the drive which to install KESTRAND to ..."; combo sel=0 "A:|G:"$' \
    <<<"$RECORD" || fail "the drive list is not \"A:|G:\": $(grep '^Q2 ' <<<"$RECORD")"
  check disk_unchanged
  check cmp -s "$WORK/drive-g/ksstart.com" "$PKG/ksstart._om"
  check cmp -s "$WORK/drive-g/kestrand.exe" "$PKG/kestrand._xe"
  # The other drives go again, registry entries included, so later sessions see A: alone.
  printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n"d:"=-\n"e:"=-\n"f:"=-\n"g:"=-\n' \
    >"$FLOPPY_PREFIX/drive_c/drives.reg"
  wine regedit /S 'C:\drives.reg' >/dev/null 2>&1
  rm -f "$dd/d:" "$dd/e:" "$dd/f:" "$dd/g:" "$FLOPPY_PREFIX/drive_c/drives.reg"
  floppy_end
}

# ---------------------------------------------------------------------------------------------
case $GROUP in
  paths) path_not_bootable; path_install_freedos; path_modify_os; path_modify_os_no_sectors; path_fat16
         path_keyboard; path_started_elsewhere ;;
  aborts) aborts_blank_disk; aborts_bootable_disk; aborts_read_only_disk ;;
  faults) fault_missing_data_file; fault_disk_full; fault_fat32; fault_not_fat; fault_sector_write
          fault_backup_no_room; fault_then_rerun ;;
  drives) drives_none; drives_removable_only ;;
  all) "$0" paths "$2" "$3" "$4"; a=$?; "$0" aborts "$2" "$3" "$4"; b=$?
       "$0" faults "$2" "$3" "$4"; c=$?; "$0" drives "$2" "$3" "$4"; d=$?
       exit $((a || b || c || d)) ;;
  *) if declare -F "$GROUP" >/dev/null; then "$GROUP"; else echo "unknown group $GROUP"; exit 2; fi ;;
esac

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all scenarios passed"
