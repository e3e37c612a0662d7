#!/usr/bin/env bash
# The main job: build the installer, make the demo package and a 1.44 MB floppy image, run the
# installer under Wine on it and boot the finished disk in QEMU.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/tools/lib/common.sh"
kes_need_root "$@"
kes_install_packages
kes_configure_and_build
echo
echo "Built $KES_BUILD/win64/src/installer/kesinst.exe and $KES_BUILD/win32/src/installer/kesinst.exe."
echo "Next, this command will make the demo package and a 1.44 MB floppy image, run the installer"
echo "on it under Wine and boot the finished disk in QEMU. That part is not built yet."
