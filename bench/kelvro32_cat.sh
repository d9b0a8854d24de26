#!/usr/bin/env bash
# cat of a 10 MB text file (BENCH_MB sets another size) arriving over COM1 (a
# pseudo-terminal) and drawn by kelvro32 under Wine, beside the same cat
# through a Telnet session drawn by varnix32 in the same run. The serial line
# adds the watcher's hand-over per block and nothing more: kelvro32 should
# keep at least 0.8 of varnix32's rate. Prints both in MB/s and their ratio.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/bench/lib/terminal_cat.sh"
trap cat_cleanup EXIT

cat_varnix32
varnix_s=$elapsed
cat_kelvro32
kelvro_s=$elapsed

awk -v b="$bytes" -v v="$varnix_s" -v k="$kelvro_s" 'BEGIN {
  printf "cat of %.1f MB: varnix32 %.1f s (%.3f MB/s), kelvro32 %.1f s (%.3f MB/s), kelvro32/varnix32 %.3f\n", b/1e6, v, b/1e6/v, k, b/1e6/k, v/k }'
