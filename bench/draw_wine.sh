#!/usr/bin/env bash
# Drawing speed: 10 MB of plain text and of full-screen colour output shown on
# a real window under Wine by our terminal, and by xterm (`xterm -e cat FILE`,
# timed to its exit, start-up included) on the same Xvfb display. MB/s, ratio.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
. tools/wine-env
exe=build/target/bin/bench_draw.exe
cmake --build build/target --target bench_draw >/dev/null || { echo "draw: build failed"; exit 1; }
command -v xterm >/dev/null || { echo "draw: xterm is missing (tools/setup installs it)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$work" <<'PY'
import random, sys
r = random.Random(12345)
size = 10 << 20
def text(n): return ''.join(' ' if r.random() < 0.125 else chr(97 + r.randrange(26)) for _ in range(n))
with open(sys.argv[1] + '/plain.txt', 'w') as f:
    n = 0
    while n < size:
        s = text(10 + r.randrange(69)) + '\r\n'; f.write(s); n += len(s)
with open(sys.argv[1] + '/colour.txt', 'w') as f:
    n = 0
    while n < size:
        s = '\033[%d;1H' % (1 + r.randrange(24))
        for _ in range(8):
            s += '\033[%d;%dm%s' % (30 + r.randrange(8), 40 + r.randrange(8), text(10))
        s += '\033[0m\033[K'; f.write(s); n += len(s)
PY
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  printf "%-10s %12s %12s %8s\n" stream "ours MB/s" "xterm MB/s" ratio
  for name in plain colour; do
    file="$0/$name.txt"
    ours=$(wine "$1" "$(winepath -w "$file" 2>/dev/null)" 2>/dev/null | tr -d "\r" | tail -1)
    start=$(date +%s.%N)
    xterm -geometry 80x24 -e cat "$file"
    end=$(date +%s.%N)
    python3 -c "import sys; o=float(sys.argv[1]); x=10/(float(sys.argv[3])-float(sys.argv[2])); print(\"%-10s %12.2f %12.2f %8.2f\" % (sys.argv[4], o, x, o/x))" "$ours" "$start" "$end" "$name"
  done
  wineserver -k 2>/dev/null' "$work" "$exe"
