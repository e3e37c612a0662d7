#!/usr/bin/env bash
# Builds the demo installation package from the sources in demo/ into a folder:
#   tools/make-demo-package.sh <folder>
# The folder then holds everything the installer reads: readme.txt, boot.dat, kernel._ys,
# command._om, ksstart._om, kestrand._xe, the nine data files, copying.txt and kestrand.htm.
# Needs nasm and awk; runs as any user.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SRC=$ROOT/demo

if [ $# -ne 1 ]; then
  echo "usage: $0 <output folder>" >&2
  exit 2
fi
OUT=$1
command -v nasm >/dev/null || { echo "make-demo-package: nasm is not installed" >&2; exit 1; }
mkdir -p "$OUT"

asm() { # <source> <package name>
  nasm -f bin -I "$SRC/" -o "$OUT/$2" "$SRC/$1"
}
asm boot.asm boot.dat
asm kernel.asm kernel._ys
asm command.asm command._om
asm ksstart.asm ksstart._om
asm kestrand.asm kestrand._xe

# The licence texts go into a Windows edit box and onto a DOS disk: CR LF line ends.
for t in readme.txt copying.txt kestrand.htm; do
  sed 's/$/\r/' "$SRC/$t" >"$OUT/$t"
done

# Data files of different sizes, so that some span several clusters on any disk.
i=0
for name in 0000 0100 0200 0201 0202 0203 0300 0301 0400; do
  awk -v name="$name" -v records=$((8 + 40 * i)) 'BEGIN {
    printf "KESTRAND demo data file %s, %d records\r\n", name, records
    for (r = 1; r <= records; r++)
      printf "%s:%05d:%08X\r\n", name, r, (r * 2654435761) % 4294967296
  }' >"$OUT/$name.dat"
  i=$((i + 1))
done

boot_size=$(stat -c %s "$OUT/boot.dat")
if [ "$boot_size" -ne 512 ]; then
  echo "make-demo-package: boot.dat is $boot_size bytes, not 512" >&2
  exit 1
fi
echo "demo package in $OUT: $(cd "$OUT" && ls | tr '\n' ' ')"
