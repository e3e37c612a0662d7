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

group_aborts() {
  aborts_blank_disk; aborts_bootable_disk; aborts_read_only_disk
}
