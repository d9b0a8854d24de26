#!/usr/bin/env bash
# Kermit throughput side by side with gkermit: 20 MiB of random bytes, over a
# socat pty pair and over loopback TCP, both directions, with gkermit as the
# peer; the same transfer between two gkermits is the yardstick. Prints MB/s
# and our rate as a ratio of gkermit's.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
xfer="${XFER:-$top/build/host/tools/xfer}"  # XFER: another build, for before/after runs
size=${KERMIT_BENCH_BYTES:-20971520}
packet=${KERMIT_BENCH_PACKET:-9000}  # the longest packet gkermit takes
work=$(mktemp -d "${TMPDIR:-/tmp}/kermit-bench.XXXXXX")
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
mkdir -p "$work/from" "$work/to"
head -c "$size" /dev/urandom > "$work/from/BENCH.BIN"
gk="gkermit -q -i -P -e $packet"

now() { date +%s%N; }
rate() { echo "scale=2; $size * 1000 / ($2 - $1)" | bc; }

# Runs SENDER and RECEIVER (shell commands) over LINE (pty or tcp); prints MB/s
# or FAIL when the file did not arrive intact.
run() {
  local line=$1 sender=$2 receiver=$3 t0 t1
  rm -f "$work/to/"*
  t0=$(now)
  if [ "$line" = pty ]; then
    rm -f "$work/a" "$work/b"
    socat PTY,link="$work/a",raw,echo=0 PTY,link="$work/b",raw,echo=0 & pids+=($!)
    for i in $(seq 100); do [ -e "$work/a" ] && [ -e "$work/b" ] && break; sleep 0.02; done
    t0=$(now)
    (cd "$work/to" && timeout 300 bash -c "$receiver" <"$work/b" >"$work/b" 2>/dev/null) & local r=$!
    (cd "$work/from" && timeout 300 bash -c "$sender" <"$work/a" >"$work/a" 2>/dev/null)
    wait $r
    kill "${pids[-1]}" 2>/dev/null; wait "${pids[-1]}" 2>/dev/null
  else
    local port
    # nodelay: socat relays in 8 KiB reads, so a longer packet crosses in two
    # writes and the second would wait out the delayed acknowledgement of the first.
    port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
    socat TCP-LISTEN:$port,bind=127.0.0.1,reuseaddr,nodelay SYSTEM:"cd $work/to && exec $receiver 2>/dev/null" & pids+=($!)
    for i in $(seq 100); do ss -Hltn "sport = :$port" | grep -q . && break; sleep 0.02; done
    t0=$(now)
    timeout 300 socat TCP:127.0.0.1:$port,nodelay SYSTEM:"cd $work/from && exec $sender 2>/dev/null"
    wait "${pids[-1]}" 2>/dev/null
  fi
  t1=$(now)
  if cmp -s "$work/from/BENCH.BIN" "$work/to/BENCH.BIN"; then rate "$t0" "$t1"; else echo FAIL; fi
}

# "gkermit" streams (no acknowledgement per packet); "gk -S" is the same pair
# waiting for each acknowledgement, as we do, for scale.
ratio() { if [ "$1" != FAIL ] && [ "$2" != FAIL ]; then echo "scale=2; $1 / $2" | bc; else echo FAIL; fi; }
printf '%-5s %-8s %10s %10s %10s %7s %7s\n' line dir gkermit "gk -S" ours ratio "ratio -S"
for line in pty tcp; do
  base=$(run $line "$gk -s BENCH.BIN" "$gk -r")
  wait1=$(run $line "$gk -S -s BENCH.BIN" "$gk -S -r")
  up=$(run $line "$xfer send --protocol kermit --packet-size $packet BENCH.BIN" "$gk -r")
  down=$(run $line "$gk -s BENCH.BIN" "$xfer receive --protocol kermit --packet-size $packet --dir $work/to")
  for pair in "send $up" "receive $down"; do
    set -- $pair
    printf '%-5s %-8s %10s %10s %10s %7s %7s\n' $line "$1" "$base" "$wait1" "$2" "$(ratio "$2" "$base")" \
      "$(ratio "$2" "$wait1")"
  done
done
