#!/usr/bin/env bash
# The main job: build the installer, make the demo package and a 1.44 MB floppy image, run the
# installer under Wine on it and boot the finished disk in QEMU.
#
#   tools/demo.sh [--robot] [--no-build]
#
# With a usable X display (and not under CI) the installer runs on that display and you answer
# its questions. Otherwise, or with --robot, it runs on an Xvfb display of its own and the dialog
# robot gives the default answers (licence accepted, first drive, FreeDOS installed).
# --no-build uses the programs already built in $KES_BUILD.
#
# Leaves, under $KES_BUILD/demo (build/demo by default):
#   floppy.img               the finished disk
#   screenshots/question-N.png   one picture of each question, in the order asked
#   boot.txt                 what the demo kernel printed when QEMU booted the disk
#   package/                 the demo installation package; log.txt: the build and run output
# Exits non-zero when the build fails, the installation does not complete (exit code 0) or the
# booted disk does not reach the end of the demo kernel's report. Needs root (loop device, tmpfs).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/tools/lib/common.sh"
kes_need_root "$@"

robot=0
build=1
for arg in "$@"; do
  case $arg in
    --robot) robot=1 ;;
    --no-build) build=0 ;;
    *) echo "usage: $0 [--robot] [--no-build]" >&2; exit 2 ;;
  esac
done

DEMO=$KES_BUILD/demo
PKG=$DEMO/package
SHOTS=$DEMO/screenshots
LOG=$DEMO/log.txt
WIN64=$KES_BUILD/win64
mkdir -p "$DEMO"
: >"$LOG"

say() { echo "demo: $*"; }
KES_SAY="demo:"  # the prefix of the step lines of tools/lib/common.sh
t_demo=$SECONDS
fail() {
  echo "demo: FAILED: $*" >&2
  exit 1
}

# 1. Build only what the demo runs: the installer and the robot of the win64 tree (configured as
# tools/check.sh does, so that both share it). The output goes to the log; only a failure shows it.
# Wine draws the title bars' buttons with its Marlett font (fonts-wine); without it they show
# letters ("r" for the close box).
KES_PACKAGES="$KES_PACKAGES fonts-wine"
kes_install_packages || fail "the packages could not be installed"
demo_build() { kes_configure win64 && kes_build win64 kesinst kesrobot; }
if [ $build = 1 ]; then
  if ! KES_STEP_LOG=$LOG kes_step "building the installer and the robot (output in $LOG)" demo_build; then
    tail -n 30 "$LOG" >&2
    fail "the build failed; the whole output is in $LOG"
  fi
fi
for exe in "$WIN64/src/installer/kesinst.exe" "$WIN64/tools/robot/kesrobot.exe"; do
  [ -f "$exe" ] || fail "$exe is missing; run without --no-build"
done

# 2. The demo package and the disk.
rm -rf "$PKG" "$SHOTS"
mkdir -p "$SHOTS"
"$ROOT/tools/make-demo-package.sh" "$PKG" >>"$LOG" 2>&1 || fail "the demo package could not be made (see $LOG)"

if [ $robot = 0 ] && [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ] && xdpyinfo >/dev/null 2>&1; then
  interactive=1
  export FLOPPY_USE_DISPLAY=1
else
  interactive=0
  unset FLOPPY_USE_DISPLAY
fi
export KES_BUILD
source "$ROOT/tools/floppy.sh"
# The first run also makes the demo's Wine prefix.
# shellcheck disable=SC2046
KES_STEP_LOG=$LOG kes_step "making a 1.44 MB FAT12 floppy image (drive A: of Wine)" \
  floppy_setup --kind fat12 --install "$WIN64/src/installer/kesinst.exe $WIN64/tools/robot/kesrobot.exe $(ls "$PKG"/*)" ||
  fail "the floppy could not be set up (see $LOG)"
# This Wine does not look into fonts-wine's folder by itself; it does load the Windows font folder.
cp /usr/share/wine/fonts/marlett.ttf "$FLOPPY_PREFIX/drive_c/windows/Fonts/" ||
  fail "Marlett is missing (fonts-wine)"

# Saves one picture of question $1, cut down to the windows on the plain desktop.
shoot() { # <number> <import window argument...>
  local n=$1 raw=$SHOTS/.raw.png
  shift
  import -display "$DISPLAY" "$@" "$raw" 2>>"$LOG" || return 0
  convert "$raw" -trim +repage -bordercolor '#256f95' -border 12 "$SHOTS/question-$n.png" 2>>"$LOG" ||
    cp "$raw" "$SHOTS/question-$n.png"
  rm -f "$raw"
}

# 3. The installation.
exitcode=""
t_install=$SECONDS
if [ $interactive = 1 ]; then
  say "the installer is open on your display $DISPLAY: answer its questions"
  (cd "$FLOPPY_PROGDIR" && timeout 3600 wine 'C:\kes\kesinst.exe') >>"$LOG" 2>&1 </dev/null &
  pid=$!
  # Every question is a new top-level window with one of the installer's captions.
  last="" n=0
  while kill -0 $pid 2>/dev/null; do
    id=$(xdotool search --onlyvisible --name '^Installer   |^Installation (complete|aborted)' 2>/dev/null | tail -n 1 || true)
    if [ -n "$id" ] && [ "$id" != "$last" ]; then
      last=$id
      n=$((n + 1))
      sleep 0.5
      shoot $n -frame -window "$id"
    fi
    sleep 0.2
  done
  status=0
  wait $pid || status=$?
  [ $status -eq 124 ] && fail "the installer was still open after an hour"
  exitcode=$status
else
  say "running the installer under Wine on an Xvfb display; the robot gives the default answers"
  robotlog=$FLOPPY_PROGDIR/robot.log
  # Without a window manager Wine draws no frames; its own desktop window draws them, with the
  # captions, as a person would see them.
  (cd "$FLOPPY_PROGDIR" && timeout 180 wine explorer /desktop=demo,1024x768 'C:\kes\kesrobot.exe' \
    --defaults --timeout 30 --cue 1500 --log 'C:\kes\robot.log' \
    --run 'C:\kes\kesinst.exe' --folder 'C:\kes') >>"$LOG" 2>&1 </dev/null &
  pid=$!
  # The robot holds each question for 1.5 s after its VISIBLE line: time for one picture.
  n=0
  while kill -0 $pid 2>/dev/null; do
    seen=$(grep -c '^VISIBLE' "$robotlog" 2>/dev/null || true)
    if [ "${seen:-0}" -gt $n ]; then
      n=$((n + 1))
      sleep 0.4
      shoot $n -window root
    fi
    sleep 0.1
  done
  wait $pid || true
  if [ -f "$robotlog" ]; then
    # One line per question: what it asked and what the robot did.
    tr -d '\r' <"$robotlog" | awk -F ' [|] ' '
      /^Q[0-9]/ { q = substr($1, 2); text = $3; if (length(text) > 70) text = substr(text, 1, 67) "..." }
      /^A[0-9]/ { printf "    question %s: %s\n      answer: %s\n", q, text, $2 }'
    cat "$robotlog" >>"$LOG"
    grep '^ROBOT:' "$robotlog" >&2 && fail "the robot could not answer every question"
    exitcode=$(sed -n 's/^EXIT //p' "$robotlog" | tail -n 1)
  fi
  [ -n "$exitcode" ] || fail "the installer did not end (see $LOG)"
fi
floppy_finish >>"$LOG" 2>&1 || fail "the files of A: could not be put into the image"
cp "$FLOPPY_IMAGE" "$DEMO/floppy.img"
floppy_cleanup
shots=$(find "$SHOTS" -name 'question-*.png' | wc -l)
if [ "$exitcode" = 0 ]; then
  fail "the installer ended with exit code 0: the installation was not completed"
fi
say "installation completed (exit code $exitcode); $shots question(s) recorded; $((SECONDS - t_install)) s"

# 4. Boot the disk. The boot sector is silent unless it fails; the kernel reports on COM1 and
# ends QEMU with exit status 33.
say "booting the disk in QEMU; the demo kernel says:"
t_boot=$SECONDS
status=0
timeout 30 qemu-system-i386 -display none -drive file="$DEMO/floppy.img",format=raw,if=floppy \
  -boot a -serial stdio -device isa-debug-exit,iobase=0xf4,iosize=0x04 -no-reboot -monitor none \
  </dev/null >"$DEMO/boot.raw" 2>>"$LOG" || status=$?
tr -d '\r' <"$DEMO/boot.raw" >"$DEMO/boot.txt"
rm -f "$DEMO/boot.raw"
sed 's/^/    /' "$DEMO/boot.txt"
if [ $status -ne 33 ] || ! grep -q '^End of the KESTRAND demo' "$DEMO/boot.txt"; then
  fail "the disk did not boot to the end of the demo (QEMU exit status $status)"
fi

say "  boot: $((SECONDS - t_boot)) s"

echo
say "done in $((SECONDS - t_demo)) s"
echo "  the finished disk:  $DEMO/floppy.img"
echo "  screenshots:        $SHOTS/ (question-1.png to question-$shots.png)"
echo "  boot it yourself:   qemu-system-i386 -drive file=$DEMO/floppy.img,format=raw,if=floppy -boot a"
