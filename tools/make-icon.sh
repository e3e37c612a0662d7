#!/usr/bin/env bash
# tools/make-icon.sh SOURCE.mvg OUT.ico: the program's icon from its vector source, drawn once large
# and scaled down to the three sizes Windows shows (48, 32 and 16 pixels).
set -euo pipefail
src=${1:?usage: make-icon.sh SOURCE.mvg OUT.ico}
out=${2:?}
convert -background none "mvg:$src" -write mpr:big +delete \
  \( mpr:big -resize 48x48 \) \( mpr:big -resize 32x32 \) \( mpr:big -resize 16x16 \) "$out"
