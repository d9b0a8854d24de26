#!/usr/bin/env bash
# cat of a 10 MB text file (BENCH_MB sets another size) through a real Telnet
# session into varnix32 under Wine, side by side with xterm showing the same
# file on the same Xvfb. Prints both in MB/s and their ratio.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/bench/lib/terminal_cat.sh"
trap cat_cleanup EXIT

# xterm: 80 x 24, like the terminal's default; from its start to its exit.
start=$(date +%s.%N)
xterm -geometry 80x24 -e cat "$work/text.txt"
xterm_s=$(seconds_since "$start")
cat_varnix32
varnix_s=$elapsed

awk -v b="$bytes" -v x="$xterm_s" -v v="$varnix_s" 'BEGIN {
  printf "cat of %.1f MB: xterm %.1f s (%.2f MB/s), varnix32 %.1f s (%.3f MB/s), varnix32/xterm %.3f\n", b/1e6, x, b/1e6/x, v, b/1e6/v, x/v }'
