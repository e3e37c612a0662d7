#!/usr/bin/env bash
# Runs every libFuzzer target of the native build for a fixed number of executions from its
# corpus in tests/fuzz/corpus/<target>. A finding makes the run fail.
set -euo pipefail
build=$1
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
shopt -s nullglob
found=0
for f in "$build"/tests/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  found=1
  name=$(basename "$f")
  work=$(mktemp -d)
  cp -r "$root/tests/fuzz/corpus/$name/." "$work/" 2>/dev/null || true
  echo "-- $name"
  "$f" -runs=${KES_FUZZ_RUNS:-20000} -max_len=4096 "$work" 2>&1 | tail -n 25
  rm -rf "$work"
done
[ $found -eq 1 ] || echo "(no fuzz targets built)"
