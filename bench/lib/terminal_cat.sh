# Sourced by the cat benchmarks: a text file of BENCH_MB megabytes (10 by
# default), an Xvfb, the bench's Wine prefix, and one timed cat drawn by each
# terminal program. Each program's time runs from its window appearing to its
# session record being saved when the far end goes (every received byte has
# been drawn by then). Callers set top and trap cat_cleanup on EXIT.
work=$(mktemp -d)
pids=()
cat_cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  rm -rf "$work"
}

# Text lines of varying length, as a build log or a listing would have.
/usr/bin/python3 - "$work/text.txt" "${BENCH_MB:-10}" <<'PY'
import sys, random
random.seed(7)
words = "connect socket window terminal buffer screen render telnet session".split()
with open(sys.argv[1], "w") as f:
    size = 0
    while size < int(sys.argv[2]) * 1024 * 1024:
        line = " ".join(random.choice(words) for _ in range(random.randint(1, 14))) + "\n"
        f.write(line)
        size += len(line)
PY
bytes=$(stat -c %s "$work/text.txt")
: > "$work/empty.txt"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export SUITE_WINEPREFIX="$top/build/wine-bench"
. "$top/tools/wine-env"

seconds_since() { echo "$(date +%s.%N) - $1" | bc; }

# Waits for a window titled $1, then for file $2's time to move past 1 s
# (touching $3 first, when given); the seconds go into the variable elapsed.
time_until_saved() {
  until xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; do sleep 0.05; done
  local start
  start=$(date +%s.%N)
  [ -n "${3:-}" ] && touch "$3"
  until [ "$(stat -c %Y "$2")" -gt 1 ]; do sleep 0.05; done
  elapsed=$(seconds_since "$start")
}

# The cat (of file $1, the text by default) through a real Telnet session
# (inetutils telnetd) into varnix32; its seconds in elapsed.
cat_varnix32() {
  local file=${1:-$work/text.txt}
  wineserver -k 2>/dev/null; wineserver -w  # a window of an earlier run would answer the wait
  wine reg add 'HKLM\Software\Kelvro32' /v BookBox_Telnet /t REG_SZ /d 103 /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Kelvro32' /v DiscBox_Telnet /t REG_SZ /d 0 /f >/dev/null 2>&1
  printf '#!/bin/sh\nexec cat %s\n' "$file" > "$work/cat.sh"
  chmod +x "$work/cat.sh"
  local port
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  socat TCP-LISTEN:"$port",bind=127.0.0.1,reuseaddr,fork EXEC:"/usr/sbin/telnetd -h -E $work/cat.sh",nofork \
    >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do ss -Hltn "sport = :$port" | grep -q . && break; sleep 0.1; done
  mkdir -p "$work/varnix32"
  "$top/build/host/tools/entry" new tel "$work/varnix32/127.0.0.1.tel" >/dev/null
  touch -d @1 "$work/varnix32/127.0.0.1.tel"
  (cd "$work/varnix32" && exec wine "$top/build/target/bin/varnix32.exe" 127.0.0.1 "$port") >/dev/null 2>&1 &
  pids+=($!)
  time_until_saved "Kelvro32-Telnet( - .*)?" "$work/varnix32/127.0.0.1.tel"
}

# The cat over COM1, a pseudo-terminal whose far end sends the file ($1, the
# text by default) once the program is up and then hangs up, into kelvro32 on
# a direct entry; its seconds in elapsed.
cat_kelvro32() {
  local file=${1:-$work/text.txt}
  wine reg add 'HKLM\Software\Kelvro32' /v DiscBox /t REG_SZ /d 0 /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Kelvro32' /v BookBox /t REG_SZ /d 0 /f >/dev/null 2>&1
  local com="$WINEPREFIX/com1"
  rm -f "$com" "$work/go"
  socat PTY,link="$com",raw,echo=0 \
    SYSTEM:"while [ ! -e $work/go ]; do sleep 0.02; done; cat $file; sleep 0.2" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -e "$com" ] && break; sleep 0.05; done
  wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$com" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null; wineserver -w
  mkdir -p "$work/kelvro32"
  local entry="$work/kelvro32/Serial.phn"
  "$top/build/host/tools/entry" new phn "$entry" >/dev/null
  # The Telnet entry's font and wrap, so both programs draw the same screen.
  "$top/build/host/tools/entry" set "$entry" name=Serial phoneType=2 portIndex=0 speedIndex=1 emulation=4 autowrap=1 fontHeight=-12 fontFace=courier >/dev/null
  touch -d @1 "$entry"
  (cd "$work/kelvro32" && exec wine "$top/build/target/bin/kelvro32.exe" Serial) >/dev/null 2>&1 &
  pids+=($!)
  time_until_saved Kelvro32-Dialup "$entry" "$work/go"
}
