#!/usr/bin/env bash
# cat of a 10 MB text file (BENCH_MB sets another size) through a real Telnet session into varnix32 under
# Wine, side by side with xterm showing the same file on the same Xvfb.
# varnix32's time runs from its window appearing to the entry being saved at
# the host's close (every received byte has been drawn by then); xterm's from
# its start to its exit. Prints both in MB/s and their ratio.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Text lines of varying length, as a build log or a listing would have.
/usr/bin/python3 - "$work/text.txt" "${BENCH_MB:-10}" <<'EOF'
import sys, random
random.seed(7)
words = "connect socket window terminal buffer screen render telnet session".split()
with open(sys.argv[1], "w") as f:
    size = 0
    while size < int(sys.argv[2]) * 1024 * 1024:
        line = " ".join(random.choice(words) for _ in range(random.randint(1, 14))) + "\n"
        f.write(line)
        size += len(line)
EOF
bytes=$(stat -c %s "$work/text.txt")
printf '#!/bin/sh\nexec cat %s\n' "$work/text.txt" > "$work/cat.sh"
chmod +x "$work/cat.sh"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

# xterm: 80 x 24, like the terminal's default.
start=$(date +%s.%N)
xterm -geometry 80x24 -e cat "$work/text.txt"
xterm_s=$(echo "$(date +%s.%N) - $start" | bc)

export SUITE_WINEPREFIX="$top/build/wine-bench"
. "$top/tools/wine-env"
wine reg add 'HKLM\Software\Kelvro32' /v BookBox_Telnet /t REG_SZ /d 103 /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Kelvro32' /v DiscBox_Telnet /t REG_SZ /d 0 /f >/dev/null 2>&1
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
socat TCP-LISTEN:"$port",bind=127.0.0.1,reuseaddr,fork EXEC:"/usr/sbin/telnetd -h -E $work/cat.sh",nofork &
pids+=($!)
for _ in $(seq 50); do ss -Hltn "sport = :$port" | grep -q . && break; sleep 0.1; done
mkdir -p "$work/program"
"$top/build/host/tools/entry" new tel "$work/program/127.0.0.1.tel" >/dev/null
touch -d @1 "$work/program/127.0.0.1.tel"
(cd "$work/program" && exec wine "$top/build/target/bin/varnix32.exe" 127.0.0.1 "$port") >/dev/null 2>&1 &
pids+=($!)
until xdotool search --onlyvisible --name '^Kelvro32-Telnet( - .*)?$' >/dev/null 2>&1; do sleep 0.05; done
start=$(date +%s.%N)
until [ "$(stat -c %Y "$work/program/127.0.0.1.tel")" -gt 1 ]; do sleep 0.05; done
varnix_s=$(echo "$(date +%s.%N) - $start" | bc)

echo "$bytes bytes: xterm $xterm_s s, varnix32 $varnix_s s" | awk -v b="$bytes" -v x="$xterm_s" -v v="$varnix_s" '
  { printf "cat of %.1f MB: xterm %.1f s (%.2f MB/s), varnix32 %.1f s (%.3f MB/s), varnix32/xterm %.3f\n", b/1e6, x, b/1e6/x, v, b/1e6/v, x/v }'
