#!/usr/bin/env bash
# Sourced by tests/e2e/e2e.sh. Scenarios: stopping at every question.
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

# readme.txt as package makers and their editors save it, one row each: a name, its bytes (a
# Python expression, or "missing"), and what the user sees: the bytes the licence box holds (a
# Python expression) or the message that comes instead of the licence.
CYRILLIC='\u041b\u0438\u0446\u0435\u043d\u0437\u0438\u044f'
LICENCE_ROWS=(
  "unix_line_ends | b'KESTRAND licence\nSecond line\n' | b'KESTRAND licence\r\nSecond line\r\n'"
  "utf8 | 'Lizenz f\u00fcr alle\n'.encode('utf-8') | b'Lizenz f\xfcr alle\r\n'"
  "utf8_bom | '\ufeffLizenz f\u00fcr alle\r\n'.encode('utf-8') | b'Lizenz f\xfcr alle\r\n'"
  "utf16_bom | '\ufeffKESTRAND f\u00fcr alle\r\n'.encode('utf-16-le') | b'KESTRAND f\xfcr alle\r\n'"
  "utf8_not_in_code_page | '$CYRILLIC \u2014 licence\n'.encode('utf-8') | b'???????? \x97 licence\r\n'"
  "nul_inside | b'Part one\x00Part two\n' | b'Part one Part two\r\n'"
  "empty | b'' | Folder(The licence readme.txt in C:\\kes is empty. ...)"
  "blank | b' \r\n\t \r\n' | Folder(The licence readme.txt in C:\\kes is empty. ...)"
  "missing | missing | Folder(Could not open readme.txt in C:\\kes ...)"
)

# licence_row ROW: readme.txt written as the row says, and one run that stops at the licence.
licence_row() {
  local name bytes seen length hex
  IFS='|' read -r name bytes seen <<<"${1// | /|}"
  rm -f "$FLOPPY_PROGDIR/readme.txt"
  [ "$bytes" = missing ] ||
    python3 -c "import sys; open(sys.argv[1], 'wb').write($bytes)" "$FLOPPY_PROGDIR/readme.txt"
  case $seen in
    Folder*) abort_run "licence_$name" default -- "$seen" ;;
    *) abort_run "licence_$name" Abort default -- Welcome Aborted
       read -r length hex < <(python3 -c "import sys; b = $seen; print(len(b), b[:64].hex())")
       check expect_text 1 "$length" "$hex" ;;
  esac
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
  # The licence comes from the program's folder, as its maker saved it; without it, or with
  # nothing in it, nothing is asked at all.
  mv "$FLOPPY_PROGDIR/readme.txt" "$WORK/readme.txt"
  local row
  for row in "${LICENCE_ROWS[@]}"; do licence_row "$row"; done
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

group_aborts() {
  aborts_blank_disk; aborts_bootable_disk; aborts_read_only_disk
}
