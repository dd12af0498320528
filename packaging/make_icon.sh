#!/usr/bin/env bash
# Draws packaging/tarvel.png (64x64) with ImageMagick, the same picture as
# tarvel.svg: a green plot outline with its corners marked, on white.
# The PNG is committed; run this only after changing the picture.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
corners=("9,50" "15,13" "37,8" "56,27" "47,56")
dots=()
for c in "${corners[@]}"; do
  x=${c%,*} y=${c#*,}
  dots+=(-draw "circle $x,$y $((x + 4)),$((y + 2))")
done
convert -size 64x64 xc:white \
  -fill none -stroke '#2e7d32' -strokewidth 4 -draw "stroke-linejoin round polygon ${corners[*]}" \
  -stroke none -fill '#1b5e20' "${dots[@]}" \
  -depth 8 -strip -define png:exclude-chunks=date,time "$here/tarvel.png"
