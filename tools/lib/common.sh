# Shared by tools/check.sh and tools/demo.sh: root, packages, builds, Wine and the X display.
KES_ROOT=${KES_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
KES_BUILD=${KES_BUILD:-$KES_ROOT/build}

# g++-mingw-w64-i686 brings both thread models; the release program needs the win32 one.
KES_PACKAGES="g++-mingw-w64-x86-64 g++-mingw-w64-i686 g++-mingw-w64-i686-win32 mingw-w64-tools wine wine64
  xvfb xauth dosfstools mtools nasm qemu-system-x86 imagemagick xdotool cmake googletest clang
  libclang-rt-14-dev python3 python3-pefile debootstrap"

# Loop devices and tmpfs mounts need root: start again through sudo when run as a user.
kes_need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    exec sudo -E bash "$0" "$@"
  fi
}

# kes_step TITLE COMMAND...: one long step; says what it does first and how long it took after.
# KES_SAY is the lines' prefix ("==" unless the caller sets another); with KES_STEP_LOG set, the
# command's output goes to that file instead of the screen.
kes_step() {
  local title=$1 t0=$SECONDS rc=0
  shift
  echo "${KES_SAY:-==} $title"
  if [ -n "${KES_STEP_LOG:-}" ]; then
    "$@" >>"$KES_STEP_LOG" 2>&1 || rc=$?
  else
    "$@" || rc=$?
  fi
  title=${title%% (*}  # the closing line without the parenthesis
  if [ $rc -eq 0 ]; then
    echo "${KES_SAY:-==}   $title: $((SECONDS - t0)) s"
  else
    echo "${KES_SAY:-==}   $title: FAILED after $((SECONDS - t0)) s"
  fi
  return $rc
}

# Installs what is missing; apt's output goes to $KES_BUILD/apt.log, one line shows on screen
# (and the end of the log when apt fails).
kes_install_packages() {
  local missing=() p log=$KES_BUILD/apt.log t0=$SECONDS
  for p in $KES_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  mkdir -p "$KES_BUILD"
  echo "${KES_SAY:-==} installing ${#missing[@]} package(s) with apt (its output: $log): ${missing[*]}"
  if ! { DEBIAN_FRONTEND=noninteractive apt-get update -q &&
      DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"; } \
      >"$log" 2>&1 </dev/null; then
    tail -n 20 "$log" >&2
    echo "${KES_SAY:-==}   apt failed after $((SECONDS - t0)) s; its whole output is in $log" >&2
    return 1
  fi
  echo "${KES_SAY:-==}   packages installed: $((SECONDS - t0)) s"
}

# kes_configure TREE...: configures the named trees under $KES_BUILD (quietly):
#   native       host compiler: the platform-free rules, their tests, the fuzz targets (with clang)
#   win64        x86_64 MinGW, posix threads: every program and test
#   win32        i686 MinGW, win32 threads: the release program, the robot, the release zip and
#                the end-to-end tests of that program
#   win32-gtest  i686 MinGW, posix threads: the 32-bit GoogleTest programs; Wine prefixes and the
#                runner's state are win32's
kes_configure() {
  local tree fuzz=OFF
  command -v clang++ >/dev/null && fuzz=ON
  for tree in "$@"; do
    local args=()
    case $tree in
      native) args=(-DKES_FUZZ=$fuzz) ;;
      win64) args=(-DCMAKE_TOOLCHAIN_FILE="$KES_ROOT/cmake/mingw-x86_64.cmake") ;;
      win32) args=(-DKES_TESTS=OFF -DKES_TESTS_I686=ON -DCMAKE_TOOLCHAIN_FILE="$KES_ROOT/cmake/mingw-i686.cmake") ;;
      win32-gtest) args=(-DKES_TESTS=OFF -DKES_GTEST_I686=ON -DKES_WINE_HOME="$KES_BUILD/win32"
                         -DCMAKE_TOOLCHAIN_FILE="$KES_ROOT/cmake/mingw-i686-posix.cmake") ;;
      *) echo "kes_configure: unknown tree $tree" >&2; return 1 ;;
    esac
    # build/win32 was built with the posix thread model once: such a tree starts afresh.
    local cache=$KES_BUILD/$tree/CMakeCache.txt
    if [ $tree = win32 ] && [ -f "$cache" ] && ! grep -q '^CMAKE_CXX_COMPILER:.*g++-win32$' "$cache"; then
      rm -rf "$cache" "$KES_BUILD/$tree/CMakeFiles"
    fi
    if [ $tree = native ]; then
      CXX=$(command -v clang++ || command -v g++) cmake -S "$KES_ROOT" -B "$KES_BUILD/$tree" "${args[@]}" >/dev/null
    else
      cmake -S "$KES_ROOT" -B "$KES_BUILD/$tree" "${args[@]}" >/dev/null
    fi
  done
}

# kes_build TREE [TARGET...]: builds the tree's targets (all when none are named).
kes_build() {
  local tree=$1 targets=()
  shift
  [ $# -eq 0 ] || targets=(--target "$@")
  cmake --build "$KES_BUILD/$tree" -j"$(nproc)" "${targets[@]}"
}

# Runs a command with an Xvfb display and a running wineserver for the build's private prefix
# (KES_WINEPREFIX, default the win64 build's), and tears both down on every exit path.
kes_with_wine_display() {
  local prefix=${KES_WINEPREFIX:-$KES_BUILD/win64/wineprefix}
  export WINEPREFIX=$prefix WINEDEBUG=-all
  if [ ! -f "$prefix/system.reg" ]; then
    echo "== creating Wine prefix $prefix"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    trap "wineserver -k >/dev/null 2>&1 || true" EXIT
    wineserver -p
    "$@"' kes "$@"
}
