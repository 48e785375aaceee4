#!/usr/bin/env bash
# Writes the default skin assets/Skins/Default.JPG (781 x 603, the size of the whole window):
# a soft diagonal gradient from a light blue-grey to a deeper steel blue. Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 781x603 xc: \
  -sparse-color Barycentric '0,0 #eef3f8  780,0 #d9e3ee  0,602 #cbd8e6  780,602 #aebfd3' \
  -quality 92 -sampling-factor 4:4:4 -strip Skins/Default.JPG
echo "Skins/Default.JPG written"

# A second skin, assets/Skins/Atardecer.jpg: a warm gradient from sand to a deep rose.
convert -size 781x603 xc: \
  -sparse-color Barycentric '0,0 #f7e3c6  780,0 #f0c9a4  0,602 #e8b3a0  780,602 #c98a8f' \
  -quality 92 -sampling-factor 4:4:4 -strip Skins/Atardecer.jpg
echo "Skins/Atardecer.jpg written"
