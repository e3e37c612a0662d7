#!/usr/bin/env bash
# Sourced by tests/e2e/e2e.sh. The questions: the robot's record of a question read back as a name, the
# installer run by the robot, and the checks of a run (questions asked, exit code).

failures=0
SCENARIO=""
fail() { echo "FAILED [$SCENARIO]: $*"; failures=$((failures + 1)); }
check() { "$@" || fail "$*"; }
begin() { SCENARIO=$1; echo "== $1"; }

# The questions as the robot records them: "Qn | caption | first message line | [buttons] | controls".
# A question is known by its caption, message and buttons together; anything else shows as "?".
CAPTION='Installer   www.kestrand.example'
declare -A QUESTION=(
  [Welcome]="$CAPTION | Welcome at the KESTRAND installer. KESTRAND is an ATA/IDE diagnostic package. ... | [+&Continue (disabled)] [-&Abort]"
  [Drive]="$CAPTION | KESTRAND requires at bootable formatted disk. Optionally this installer can make a ... | [+&Continue] [-&Abort]"
  [NoDisk]="$CAPTION | There is no disk or the disk is read-only. Please make sure that the disk is writable | [+&Retry] [-&Cancel]"
  [Bootable]="$CAPTION | The disk appears to be bootable. The installed OS can be used but both config.sys and autoexec.bat will be modified. ... | [+&Install FreeDos] [&Modify current OS] [-&Abort install]"
  [FreeDos]="$CAPTION | Since the disk is not bootable (or on your explicit request) the FreeDos kernel will now be installed. ... | [+&Continue] [-&Abort installation] [&Show GPL license]"
  [Startable]="$CAPTION | The stick in drive A: will not start a PC yet: its partition is not marked active and its master boot record holds no start-up code. ... | [+&Make the stick startable] [-&Leave it]"
  [LeftAloneGpt]="$CAPTION | The master boot record of the stick in drive A: was left as it is: the stick is partitioned with GPT. ... | [+&Continue] [-&Abort]"
  [Completed]="Installation complete | Installation completed, restart the computer to start KESTRAND. ... | [+-&OK]"
  [Aborted]="Installation aborted | Installation aborted, KESTRAND was not installed | [+-&OK]"
)
DISK_ADVICE='static "Due to the reason mentioned above, the installation failed. ..."; line'
PACKAGE_ADVICE='static "A file could not be copied or created. Make sure there is enough space on the disk and that the installation package is complete! ..."; line'
FOLDER_ADVICE='static "KESTRAND was not installed."; line'

# One name per question line: Welcome, Drive, ..., Disk(message), Package(message) or
# Folder(message) for the three kinds of failure dialog, ?(line) for anything unexpected.
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
      "$FOLDER_ADVICE") echo "Folder($message)"; return ;;
    esac
  fi
  echo "?($rest)"
}

# run_installer ANSWER...: the installer (C:\kes\kesinst.exe, or PROGRAM_EXE) started by the robot from
# C:\kes (or START_FOLDER), one answer per question. Sets RECORD (the robot's lines, with the first
# bytes of the licence box), ASKED (question names, one line each), EXIT_CODE (the installer's)
# and ROBOT_STATUS.
run_installer() {
  local out=$WORK/robot.out
  floppy_run "$FLOPPY_PROGDIR/kesrobot.exe" --timeout 30 --text-bytes 64 --run "${PROGRAM_EXE:-C:\kes\kesinst.exe}" \
    --folder "${START_FOLDER:-C:\kes}" "$@" >"$out" 2>&1
  ROBOT_STATUS=$?
  collect_record "$out"
}

collect_record() {
  RECORD=$(grep -aE '^(Q[0-9]+|A[0-9]+|T[0-9]+|EXIT|ROBOT:|VISIBLE)' "$1" | tr -d '\r')
  ASKED=$(grep -aE '^Q[0-9]+ ' <<<"$RECORD" | while IFS= read -r l; do question_name "$l"; done)
  EXIT_CODE=$(sed -n 's/^EXIT \([0-9]*\)$/\1/p' <<<"$RECORD")
  # Under a set Windows version (lib/disks.sh, windows_version) Wine traces every VWIN32 call:
  # absolute disk reads (int 25h) and writes (int 26h) of drive A: (EAX 0).
  VWIN32_READS=$(grep -ac "Control 'VWIN32_DIOC_DOS_INT25': eax=0x00000000," "$1")
  VWIN32_WRITES=$(grep -ac "Control 'VWIN32_DIOC_DOS_INT26': eax=0x00000000," "$1")
  case ${E2E_WINDOWS:-default} in
    default | win95 | win98 | winme) ;;
    *) ! grep -aq "VWIN32_DIOC" "$1" || fail "the NT family ($E2E_WINDOWS) went through VWIN32" ;;
  esac
}

# On the 9x family the sectors go through the VWIN32 device: the last run read and wrote drive A:
# that way (and Wine's int 26h reports success whatever happened, so the disk's own bytes are
# checked besides, by the caller).
sectors_through_vwin32() {
  case ${E2E_WINDOWS:-default} in
    win95 | win98 | winme)
      [ "$VWIN32_WRITES" -gt 0 ] && [ "$VWIN32_READS" -gt 0 ] || {
        echo "    as Windows $E2E_WINDOWS the sectors did not go through VWIN32" \
          "($VWIN32_READS reads, $VWIN32_WRITES writes of drive A:)"
        return 1
      } ;;
  esac
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

# expect_text N LENGTH HEX: question N's edit field holds LENGTH bytes that begin with HEX (the
# robot prints the first 64).
expect_text() {
  local want="T$1 | $2 bytes | $3" have
  have=$(grep -aE "^T$1 " <<<"$RECORD")
  [ "$have" = "$want" ] || { echo "    expected: $want"; echo "    found:    $have"; return 1; }
}

# expect_exit completed|failed: nonzero after a completed installation, 0 otherwise.
expect_exit() {
  case $1 in
    completed) [ -n "$EXIT_CODE" ] && [ "$EXIT_CODE" != 0 ] || fail "exit code '$EXIT_CODE', expected nonzero" ;;
    failed) [ "$EXIT_CODE" = 0 ] || fail "exit code '$EXIT_CODE', expected 0" ;;
  esac
}

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

