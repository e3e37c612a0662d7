#!/usr/bin/env bash
# Runs every benchmark program of the win64 build under Wine and an Xvfb display; prints figures.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$ROOT/tools/lib/common.sh"
kes_need_root "$@"
shopt -s nullglob
benches=("$KES_BUILD"/win64/bench/*_bench_*.exe)
[ ${#benches[@]} -gt 0 ] || { echo "no benchmarks built; run tools/check.sh first"; exit 1; }
kes_with_wine_display bash -c 'for b in "$@"; do echo "== $(basename "$b")"; wine "$b"; done' kes "${benches[@]}"
