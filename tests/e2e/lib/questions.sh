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

