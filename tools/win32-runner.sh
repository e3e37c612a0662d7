#!/usr/bin/env bash
# Runs 32-bit Windows programs on an x86-64 Debian 12 machine whose kernel cannot execute 32-bit code.
#
# How: the 32-bit half of Debian's own Wine (wine32:i386, the same version as the host's wine64) lives in
# an i386 Debian tree, and its i386 Linux programs are executed by qemu-i386 (user-mode CPU emulation).
# qemu is registered for i386 ELF files in a binfmt_misc instance that belongs to a private user
# namespace (all ids mapped 1:1, so root stays root for files and devices): Wine's child processes run
# through it too, and nothing changes for the rest of the machine. The host's wineserver serves both.
#
#   tools/win32-runner.sh setup            build the runner when it is missing (about 6 min the first time)
#   tools/win32-runner.sh wine ARGS...     run the 32-bit Wine (WINEPREFIX etc. from the environment)
#   tools/win32-runner.sh exec CMD...      run CMD with i386 programs executed by qemu
#   tools/win32-runner.sh env              print the variables a caller exports to use `wine` below
#   tools/win32-runner.sh stop             end the namespace keeper
#   tools/win32-runner.sh clean            remove the runner
#
# KES_W32_DIR names the cache (default /var/cache/kestrand-win32): it lives outside the clone, so
# later runs on the same machine reuse it. W32_MIRROR overrides the Debian mirror.
# KES_W32_STATE (default: the cache) holds the namespace keeper's pid: a test run gives it a folder
# of its own, so that its `stop` never ends the keeper of another run on the same machine.
set -euo pipefail
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
W=${KES_W32_DIR:-/var/cache/kestrand-win32}
ROOT=$W/i386
QEMU=$W/bin/i386-binfmt-P   # qemu reads "-binfmt-P" at the end of its name as "keep argv[0]"
STAMP=$W/ready
STATE=${KES_W32_STATE:-$W}
# i386 ELF header (class 32, little endian, type EXEC or DYN, machine 386) and its mask
MAGIC='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
MASK='\xff\xff\xff\xff\xff\xfe\xfe\xfc\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

log() { printf '[win32-runner %s] %s\n' "$(date +%T)" "$*" >&2; }

host_wine_version() { dpkg-query -W -f='${Version}' wine64; }

# ready: the runner exists and matches the host's Wine
ready() { [ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "$(host_wine_version)" ] && [ -x "$ROOT/usr/lib/wine/wine" ]; }

mirror() {
  local m=${W32_MIRROR:-}
  if [ -z "$m" ]; then
    m=$(sed -n -E 's/^URIs: *([^ ]+).*/\1/p; s/^deb +(\[[^]]*\] +)?([^ ]+) +bookworm .*/\2/p' \
      /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null | grep -v security | head -1 || true)
  fi
  [ -n "$m" ] || { echo "win32-runner: no Debian mirror in the apt sources; set W32_MIRROR" >&2; exit 1; }
  echo "$m"
}

# ---- the private namespace -------------------------------------------------------------------
# The keeper: a process in its own user + mount namespace holding the binfmt_misc registration.
# Commands join its user namespace with nsenter (host mounts, files, devices and display as they are).
keeper_inner() {
  if [ "$1" = wait ]; then   # wait for the uid/gid maps; exec then grants the namespace's capabilities
    while [ -z "$(cat /proc/self/gid_map)" ]; do sleep 0.01; done
    exec bash "$HERE/win32-runner.sh" _keeper run
  fi
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  printf '%s' ":w32i386:M::$MAGIC:$MASK:$QEMU:OPF" >/proc/sys/fs/binfmt_misc/register
  exec sleep infinity
}

keeper_pid() {
  local k
  k=$(cat "$STATE/keeper.pid" 2>/dev/null) || return 1
  [ -e "/proc/$k" ] && [ "$(tr '\0' ' ' <"/proc/$k/cmdline" 2>/dev/null)" = "sleep infinity " ] &&
    [ "$(readlink "/proc/$k/ns/user")" != "$(readlink /proc/self/ns/user)" ] && echo "$k"
}

map_ids() {   # map_ids PID: all ids 1:1 in PID's new user namespace, once it has one
  local pid=$1
  while [ "$(readlink "/proc/$pid/ns/user" 2>/dev/null)" = "$(readlink /proc/self/ns/user)" ]; do sleep 0.01; done
  echo "0 0 4294967295" >"/proc/$pid/uid_map"
  echo "0 0 4294967295" >"/proc/$pid/gid_map"
}

start_keeper() {
  keeper_pid >/dev/null && return 0
  mkdir -p "$STATE"
  exec 8>"$STATE/keeper.lock"
  flock 8
  if ! keeper_pid >/dev/null; then
    KES_W32_DIR=$W setsid unshare --user --mount --propagation private -- \
      bash "$HERE/win32-runner.sh" _keeper wait </dev/null >/dev/null 2>"$STATE/keeper.err" 8>&- &
    local pid=$!
    map_ids $pid
    echo $pid >"$STATE/keeper.pid"
    for _ in $(seq 500); do keeper_pid >/dev/null && break; [ -e /proc/$pid ] || break; sleep 0.01; done
    keeper_pid >/dev/null || { echo "win32-runner: keeper failed: $(cat "$STATE/keeper.err")" >&2; rm -f "$STATE/keeper.pid"; exit 1; }
  fi
  exec 8>&-
}

run_exec() {
  start_keeper
  QEMU_LD_PREFIX=$ROOT exec nsenter --user --target "$(keeper_pid)" -- "$@"
}

# Runs a command inside the i386 tree (chroot) with qemu registered: used only to build the tree.
run_in_tree() {
  KES_W32_DIR=$W unshare --user --mount --propagation private --pid --fork --kill-child -- \
    bash "$HERE/win32-runner.sh" _tree wait "$@" </dev/null &
  local pid=$!
  map_ids $pid
  local rc=0
  wait $pid || rc=$?
  return $rc
}

tree_inner() {
  if [ "$1" = wait ]; then
    shift
    while [ -z "$(cat /proc/self/gid_map)" ]; do sleep 0.01; done
    exec bash "$HERE/win32-runner.sh" _tree run "$@"
  fi
  shift
  mount -t proc proc /proc
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  printf '%s' ":w32i386:M::$MAGIC:$MASK:$QEMU:OPF" >/proc/sys/fs/binfmt_misc/register
  mount --rbind /dev "$ROOT/dev"
  mount --rbind /sys "$ROOT/sys"
  mount -t proc proc "$ROOT/proc"
  export container=lxc   # debootstrap: do not try to set up the kernel's devices
  exec chroot "$ROOT" "$@"
}

# ---- setup -------------------------------------------------------------------------------------
setup() {
  mkdir -p "$W"
  exec 7>"$W/setup.lock"
  flock 7
  if ready; then return 0; fi
  local t0=$SECONDS m ver
  m=$(mirror)
  ver=$(host_wine_version)
  log "building the 32-bit runner in $W (Wine $ver)"
  local need=()
  for p in debootstrap wine64; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
  done
  if [ ${#need[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${need[@]}" >&2
  fi
  mkdir -p "$W/bin"
  if [ ! -x "$W/bin/qemu-i386" ]; then
    # The static qemu-i386 of bookworm-backports (the version this runner was proven with), through a
    # private apt configuration: downloaded and unpacked, not installed.
    log "qemu-i386 (static) from bookworm-backports"
    local A=$W/apt
    rm -rf "$A" "$W/debs"
    mkdir -p "$A/etc/apt/sources.list.d" "$A/etc/apt/preferences.d" "$A/etc/apt/apt.conf.d" \
      "$A/var/lib/apt/lists/partial" "$A/var/cache/apt/archives/partial" "$A/var/lib/dpkg" "$W/debs"
    touch "$A/var/lib/dpkg/status"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $m bookworm-backports main" >"$A/etc/apt/sources.list"
    printf 'Dir::Etc "%s/etc/apt";\nDir::State "%s/var/lib/apt";\nDir::Cache "%s/var/cache/apt";\nDir::State::status "%s/var/lib/dpkg/status";\nAPT::Architecture "amd64";\nAPT::Sandbox::User "root";\n' \
      "$A" "$A" "$A" "$A" >"$A/apt.conf"
    APT_CONFIG=$A/apt.conf apt-get update -qq
    (cd "$W/debs" && APT_CONFIG=$A/apt.conf apt-get download -qq qemu-user/bookworm-backports)
    dpkg-deb -x "$W"/debs/qemu-user_*.deb "$W/debs/q"
    cp "$W/debs/q/usr/bin/qemu-i386" "$W/bin/qemu-i386.new"
    mv "$W/bin/qemu-i386.new" "$W/bin/qemu-i386"
    rm -rf "$W/debs" "$A"
  fi
  ln -sfn qemu-i386 "$QEMU"

  if [ ! -x "$ROOT/usr/bin/apt-get" ] || [ -e "$ROOT/debootstrap/debootstrap" ]; then
    rm -rf "$ROOT"
    log "i386 Debian tree, first stage"
    debootstrap --foreign --arch=i386 --variant=minbase bookworm "$ROOT" "$m" >"$W/debootstrap1.log" 2>&1 ||
      { tail -20 "$W/debootstrap1.log" >&2; exit 1; }
    [ -L "$ROOT/proc" ] && rm "$ROOT/proc" && mkdir "$ROOT/proc"
    log "i386 Debian tree, second stage (i386 code under qemu, 2-3 min)"
    run_in_tree /debootstrap/debootstrap --second-stage >"$W/debootstrap2.log" 2>&1 ||
      { tail -20 "$W/debootstrap2.log" >&2; exit 1; }
  fi
  log "wine32:i386 $ver and fonts-wine into the tree (about 2 min)"
  run_in_tree /bin/sh -c "export DEBIAN_FRONTEND=noninteractive; apt-get update -qq &&
    apt-get install -y -qq --no-install-recommends wine32=$ver libwine=$ver wine=$ver fonts-wine" \
    >"$W/apt-i386.log" 2>&1 || { tail -20 "$W/apt-i386.log" >&2; exit 1; }
  echo "$ver" >"$STAMP"
  log "runner ready in $((SECONDS - t0)) s"
}

need_ready() {
  ready || { echo "win32-runner: not set up (run: tools/win32-runner.sh setup)" >&2; exit 1; }
}

case "${1:-}" in
  setup) setup ;;
  wine)
    shift
    need_ready
    export WINELOADER=$ROOT/usr/lib/wine/wine WINEARCH=win32 WINESERVER=/usr/lib/wine/wineserver64
    run_exec "$WINELOADER" "$@"
    ;;
  exec) shift; need_ready; run_exec "$@" ;;
  env) echo "WINELOADER=$ROOT/usr/lib/wine/wine WINEARCH=win32 WINESERVER=/usr/lib/wine/wineserver64" ;;
  stop)
    if k=$(keeper_pid); then kill "$k"; fi
    rm -f "$STATE/keeper.pid"
    ;;
  clean) "$0" stop; rm -rf "$W" ;;
  _keeper) shift; keeper_inner "$@" ;;
  _tree) shift; tree_inner "$@" ;;
  *) sed -n '2,18p' "$0" >&2; exit 2 ;;
esac
