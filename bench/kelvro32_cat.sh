#!/usr/bin/env bash
# cat of a 10 MB text file (BENCH_MB sets another size) arriving over COM1 (a
# pseudo-terminal) and drawn by kelvro32 under Wine, beside the same cat
# through a Telnet session drawn by varnix32 in the same run. The serial line
# adds the watcher's hand-over per block and nothing more: kelvro32 should
# keep at least 0.8 of varnix32's rate. Each program's fixed cost (its line's
# start, the far end's linger before it hangs up, the hang-up's detection) is
# timed with an empty file and taken off, so the rates are the stream's alone.
# Prints both in MB/s and their ratio.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/bench/lib/terminal_cat.sh"
trap cat_cleanup EXIT

cat_varnix32 "$work/empty.txt"
varnix_0=$elapsed
cat_varnix32
varnix_s=$elapsed
cat_kelvro32 "$work/empty.txt"
kelvro_0=$elapsed
cat_kelvro32
kelvro_s=$elapsed

awk -v b="$bytes" -v v="$varnix_s" -v v0="$varnix_0" -v k="$kelvro_s" -v k0="$kelvro_0" 'BEGIN {
  vs = v - v0; ks = k - k0
  printf "cat of %.1f MB (fixed cost taken off): varnix32 %.2f s - %.2f s (%.3f MB/s), kelvro32 %.2f s - %.2f s (%.3f MB/s), kelvro32/varnix32 %.3f\n", b/1e6, v, v0, b/1e6/vs, k, k0, b/1e6/ks, vs/ks }'
