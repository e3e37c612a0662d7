#!/usr/bin/env bash
# Runs the dialog robot against fakeinst (the real dialog, a stand-in install sequence) under
# Wine and compares what it recorded and what the questions returned.
#   tools/robot/test-robot.sh <kesrobot.exe> <fakeinst.exe> <work folder>
# Needs WINEPREFIX and an X display (DISPLAY), as every Wine test here.
set -uo pipefail
ROBOT=$1
FAKE=$2
WORK=$3
rm -rf "$WORK"
mkdir -p "$WORK"
# The first Wine program of a session starts Wine's services, which keep that program's output
# open: started here with its output in a file, they never hold CTest's pipe (CTest would wait
# for them until its timeout when this test runs first).
wine cmd /c exit >"$WORK/wine-start.log" 2>&1 </dev/null
FAKE_W=$(winepath -w "$FAKE")
failures=0

# run_case <name> <no-disk questions> <robot arguments...>: runs the robot, which starts fakeinst.
# Leaves the record in $WORK/<name>.out (record lines only), fakeinst's report in
# $WORK/<name>.report and the robot's exit status in $status.
run_case() {
  local name=$1 nodisk=$2
  shift 2
  local report=$WORK/$name.report
  rm -f "$report"
  timeout 180 wine "$ROBOT" --timeout 20 --run "$FAKE_W $(winepath -w "$report") $nodisk" "$@" \
    >"$WORK/$name.raw" 2>"$WORK/$name.err" </dev/null
  status=$?
  tr -d '\r' <"$WORK/$name.raw" | grep -E '^(Q[0-9]+ |A[0-9]+ |EXIT |ROBOT: |VISIBLE |SHOT )' >"$WORK/$name.out"
  [ -f "$report" ] || echo "(no report)" >"$report"
}

# expect <name> <robot status> <fakeinst report>, the expected record on standard input.
expect() {
  local name=$1 want_status=$2 want_report=$3 ok=1
  if ! diff -u - "$WORK/$name.out" >"$WORK/$name.diff"; then
    echo "FAIL: $name: the record differs:"
    sed 's/^/    /' "$WORK/$name.diff"
    ok=0
  fi
  if [ "$status" -ne "$want_status" ]; then
    echo "FAIL: $name: the robot ended with $status, not $want_status"
    ok=0
  fi
  local got
  got=$(tr -d '\r' <"$WORK/$name.report")
  if [ "$got" != "$want_report" ]; then
    echo "FAIL: $name: fakeinst reported '$got', not '$want_report'"
    ok=0
  fi
  if [ $ok -eq 1 ]; then
    echo "ok: $name"
  else
    failures=$((failures + 1))
    grep -v -E 'wine32|multiarch|dpkg --add|apt-get install' "$WORK/$name.err" | sed 's/^/    stderr: /' | head -20
  fi
}

C="Installer   fake.example"
Q_WELCOME="| $C | Welcome at the fake installer. ... | [+&Continue (disabled)] [-&Abort] | edit readonly 3 lines \"FAKE LICENCE\"; check15 off \"I have read and fully agree to this license agreement\""
Q_DRIVE="| $C | Choose a drive. | [+&Continue] [-&Abort] | static \"Please select the drive ...\"; combo sel=0 \"A:|B:\""
Q_NODISK="| $C | There is no disk or the disk is read-only. | [+&Retry] [-&Cancel] |"
Q_BOOTABLE="| $C | The disk appears to be bootable. | [+&Install FreeDos] [&Modify current OS] [-&Abort install] |"
Q_NOTICE="| $C | The FreeDos kernel will now be installed. | [+&Continue] [-&Abort installation] [&Show GPL license] |"
Q_DONE="| Installation complete | Installation completed. | [+-&OK] |"
Q_ABORTED="| Installation aborted | Installation aborted, KESTRAND was not installed | [+-&OK] |"

# 1. The default answers all the way, with screen cues and screenshots.
mkdir -p "$WORK/shots"
run_case defaults 1 --defaults --cue 0 --shots "$(winepath -w "$WORK/shots")"
sed -i 's/^SHOT .*\\\(question-[0-9]*\.bmp\)$/SHOT \1/' "$WORK/defaults.out"
expect defaults 0 "welcome=0 drive=0:0 nodisk=0 bootable=0 notice=0 completed=0" <<TXT
Q1 $Q_WELCOME
VISIBLE 1
SHOT question-01.bmp
A1 | check15 on, click "&Continue"
Q2 $Q_DRIVE
VISIBLE 2
SHOT question-02.bmp
A2 | select 0, click "&Continue"
Q3 $Q_NODISK
VISIBLE 3
SHOT question-03.bmp
A3 | click "&Retry"
Q4 $Q_BOOTABLE
VISIBLE 4
SHOT question-04.bmp
A4 | click "&Install FreeDos"
Q5 $Q_NOTICE
VISIBLE 5
SHOT question-05.bmp
A5 | click "&Continue"
Q6 $Q_DONE
VISIBLE 6
SHOT question-06.bmp
A6 | click "&OK"
EXIT 1
TXT
for n in 01 06; do
  shot=$WORK/shots/question-$n.bmp
  # 1024 x 768, 24 bits: 54 header bytes and 3072 bytes a row.
  if [ "$(stat -c %s "$shot" 2>/dev/null)" != 2359350 ] ||
     [ -z "$(tail -c +55 "$shot" | tr -d '\000' | head -c 1)" ]; then
    echo "FAIL: screenshot $shot is missing, of the wrong size or black"
    failures=$((failures + 1))
  fi
done

# 2. A scripted run: the second drive, a retry, then Cancel in the no-disk question.
run_case second-drive 2 accept,Continue select=1,Continue Retry Cancel
expect second-drive 0 "welcome=0 drive=0:1 nodisk=0 nodisk=1 aborted=0" <<TXT
Q1 $Q_WELCOME
A1 | check15 on, click "&Continue"
Q2 $Q_DRIVE
A2 | select 1, click "&Continue"
Q3 $Q_NODISK
A3 | click "&Retry"
Q4 $Q_NODISK
A4 | click "&Cancel"
Q5 $Q_ABORTED
A5 | click "&OK"
EXIT 0
TXT

# 3. Escape: a question shows with the focus on its first button, and the button hands Escape on
#    to the dialog; in the licence question that button is disabled and cannot take the focus,
#    so the licence text has it and hands the key on.
run_case escape 0 accept,Continue escape
expect escape 0 "welcome=0 drive=1:0 aborted=0" <<TXT
Q1 $Q_WELCOME
A1 | check15 on, click "&Continue"
Q2 $Q_DRIVE
A2 | escape at control 1000
Q3 $Q_ABORTED
A3 | click "&OK"
EXIT 0
TXT
run_case escape-licence 0 escape
expect escape-licence 0 "welcome=1 aborted=0" <<TXT
Q1 $Q_WELCOME
A1 | escape at control 400
Q2 $Q_ABORTED
A2 | click "&OK"
EXIT 0
TXT

# 4. Enter in the acceptance box does nothing while Continue is disabled, and chooses Continue
#    once the box is ticked; a bootable disk kept with Modify current OS.
run_case enter 0 focus=515,enter,wait=300,accept,enter default Modify_current_OS
expect enter 0 "welcome=0 drive=0:0 bootable=1 completed=0" <<TXT
Q1 $Q_WELCOME
A1 | focus 515, enter at control 515, wait 300, check15 on, enter at control 515
Q2 $Q_DRIVE
A2 | default: select 0, click "&Continue"
Q3 $Q_BOOTABLE
A3 | click "&Modify current OS"
Q4 $Q_DONE
A4 | click "&OK"
EXIT 1
TXT

# 5. The close box is the cancel button.
run_case close 0 close
expect close 0 "welcome=1 aborted=0" <<TXT
Q1 $Q_WELCOME
A1 | close box
Q2 $Q_ABORTED
A2 | click "&OK"
EXIT 0
TXT

# 6. Show GPL license, by label and by position, asks the same question again.
run_case licence 0 default default default Show_GPL_license button=2 Continue
expect licence 0 "welcome=0 drive=0:0 bootable=0 notice=2 notice=2 notice=0 completed=0" <<TXT
Q1 $Q_WELCOME
A1 | default: check15 on, click "&Continue"
Q2 $Q_DRIVE
A2 | default: select 0, click "&Continue"
Q3 $Q_BOOTABLE
A3 | default: click "&Install FreeDos"
Q4 $Q_NOTICE
A4 | click "&Show GPL license"
Q5 $Q_NOTICE
A5 | click "&Show GPL license"
Q6 $Q_NOTICE
A6 | click "&Continue"
Q7 $Q_DONE
A7 | click "&OK"
EXIT 1
TXT

# 7. What the robot cannot do ends it with status 1 and never leaves the installer running.
run_case disabled 0 Continue
expect disabled 1 "(no report)" <<TXT
Q1 $Q_WELCOME
A1 | 
ROBOT: question 1, answer 'Continue': the button "&Continue" is disabled
ROBOT: ended the installer
EXIT 255
TXT
run_case no-such-item 0 accept,Continue select=2
expect no-such-item 1 "(no report)" <<TXT
Q1 $Q_WELCOME
A1 | check15 on, click "&Continue"
Q2 $Q_DRIVE
A2 | 
ROBOT: question 2, answer 'select=2': the list has 2 items, there is no item 2
ROBOT: ended the installer
EXIT 255
TXT
run_case unused-answers 0 Abort OK OK
expect unused-answers 1 "welcome=1 aborted=0" <<TXT
Q1 $Q_WELCOME
A1 | click "&Abort"
Q2 $Q_ABORTED
A2 | click "&OK"
ROBOT: the installer ended before question 3; 1 answer(s) unused
EXIT 0
TXT

# 8. Without --run: the robot answers a program started by someone else, and with --defaults
#    alone it stops once no question comes.
report=$WORK/outside.report
rm -f "$report"
wine "$FAKE" "$(winepath -w "$report")" 0 >"$WORK/outside-fake.out" 2>&1 </dev/null &
fake=$!
timeout 120 wine "$ROBOT" --timeout 20 accept,Continue Abort >"$WORK/outside.raw" 2>"$WORK/outside.err" </dev/null
first=$?
timeout 120 wine "$ROBOT" --timeout 5 --defaults >>"$WORK/outside.raw" 2>>"$WORK/outside.err" </dev/null
status=$?
[ $first -ne 0 ] && status=$first
wait $fake
tr -d '\r' <"$WORK/outside.raw" | grep -E '^(Q[0-9]+ |A[0-9]+ |EXIT |ROBOT: )' >"$WORK/outside.out"
[ -f "$report" ] || echo "(no report)" >"$report"
expect outside 0 "welcome=0 drive=1:0 aborted=0" <<TXT
Q1 $Q_WELCOME
A1 | check15 on, click "&Continue"
Q2 $Q_DRIVE
A2 | click "&Abort"
Q1 $Q_ABORTED
A1 | click "&OK"
TXT

# 9. A command line it cannot read.
timeout 60 wine "$ROBOT" check=16 >"$WORK/usage.raw" 2>&1 </dev/null
status=$?
if [ $status -eq 2 ] && grep -q "0 to 15" "$WORK/usage.raw"; then
  echo "ok: usage"
else
  echo "FAIL: usage: status $status"
  failures=$((failures + 1))
fi

if [ $failures -ne 0 ]; then
  echo "$failures case(s) failed"
  exit 1
fi
echo "all robot cases passed"
