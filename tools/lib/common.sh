# Shared by tools/check.sh and tools/demo.sh: root, packages, builds, Wine and the X display.
KES_ROOT=${KES_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
KES_BUILD=${KES_BUILD:-$KES_ROOT/build}

KES_PACKAGES="g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools wine wine64 xvfb xauth
  dosfstools mtools nasm qemu-system-x86 imagemagick xdotool cmake googletest clang
  libclang-rt-14-dev python3 python3-pefile debootstrap"

# Loop devices and tmpfs mounts need root: start again through sudo when run as a user.
kes_need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    exec sudo -E bash "$0" "$@"
  fi
}

kes_install_packages() {
  local missing=()
  for p in $KES_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

kes_configure_and_build() {
  local jobs
  jobs=$(nproc)
  local fuzz=OFF
  command -v clang++ >/dev/null && fuzz=ON
  echo "== configure and build"
  CXX=$(command -v clang++ || command -v g++) \
    cmake -S "$KES_ROOT" -B "$KES_BUILD/native" -DKES_FUZZ=$fuzz >/dev/null
  cmake -S "$KES_ROOT" -B "$KES_BUILD/win64" \
    -DCMAKE_TOOLCHAIN_FILE="$KES_ROOT/cmake/mingw-x86_64.cmake" >/dev/null
  cmake -S "$KES_ROOT" -B "$KES_BUILD/win32" -DKES_TESTS=OFF -DKES_TESTS_I686=ON \
    -DCMAKE_TOOLCHAIN_FILE="$KES_ROOT/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$KES_BUILD/native" -j"$jobs"
  cmake --build "$KES_BUILD/win64" -j"$jobs"
  cmake --build "$KES_BUILD/win32" -j"$jobs"
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
