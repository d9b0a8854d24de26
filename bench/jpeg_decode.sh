#!/usr/bin/env bash
# Decoding and 256-colour quantization of a 4000 x 3000 picture: the viewer's
# decode path (tools/jpegdecode) side by side with djpeg -colors 256 of the
# same file and library, best of five runs each, as a ratio.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --build "$top/build/host" --target jpegdecode >/dev/null || exit 1
ours="$top/build/host/tools/jpegdecode"
convert -seed 7 -size 4000x3000 plasma:fractal "$work/pic.ppm" || exit 1

best() { # command...: the shortest wall time of five runs, in seconds
  local b=""
  for _ in 1 2 3 4 5; do
    local s e t
    s=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    e=$(date +%s.%N)
    t=$(echo "$e - $s" | bc -l)
    if [ -z "$b" ] || [ "$(echo "$t < $b" | bc -l)" = 1 ]; then b=$t; fi
  done
  echo "$b"
}

for kind in baseline progressive; do
  opts="-quality 85"
  [ $kind = progressive ] && opts="-progressive -quality 85"
  cjpeg $opts -outfile "$work/$kind.jpg" "$work/pic.ppm"
  peer=$(best djpeg -colors 256 -bmp -outfile "$work/peer.bmp" "$work/$kind.jpg")
  mine=$(best "$ours" "$work/$kind.jpg" "$work/ours.bmp")
  fed=$(best "$ours" "$work/$kind.jpg" "$work/fed.bmp" --feed 1024)
  cmp -s <(tail -c +1079 "$work/peer.bmp") <(tail -c +1079 "$work/ours.bmp") && same=yes || same=NO
  printf '%-12s djpeg %.3f s  viewer %.3f s (%.2fx)  fed in 1024-byte blocks %.3f s (%.2fx)  same pixels: %s\n' \
    "$kind" "$peer" "$mine" "$(echo "$mine / $peer" | bc -l)" "$fed" "$(echo "$fed / $peer" | bc -l)" "$same"
done
