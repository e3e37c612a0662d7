#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest. Wine's service processes (started by the first
# program of a prefix, kept alive by `wineserver -p`) inherit the program's output; if that were
# CTest's pipe, CTest would wait for them until its timeout. So the output goes to a file that is
# printed once the program itself has ended.
out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
