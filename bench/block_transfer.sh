#!/usr/bin/env bash
# Our XMODEM-1K and YMODEM against lrzsz's on the same channels in the same
# run: a 20 MiB file over loopback TCP and over a socat pseudo-terminal pair,
# each case the best of three runs, next to the stop-and-wait bound of the
# channel (1029-byte frames answered by one byte, as many as the file needs).
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
xfer="${XFER:-$top/build/host/tools/xfer}"  # XFER: another build, for before/after runs
[ -x "$xfer" ] || { echo "build the host tools first"; exit 1; }
work=$(mktemp -d /tmp/bench-transfer.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
size=$((20 * 1024 * 1024))
blocks=$((size / 1024))
head -c $size /dev/urandom > "$work/data"
mkdir -p "$work/in" && cp "$work/data" "$work/in/data"

. "$top/bench/transfer_channel.sh"

# run CHANNEL SENDER RECEIVER: seconds for one transfer (receiver in $work/out)
run() {
  local channel=$1 sender=$2 receiver=$3 start end
  start=$(date +%s.%N)
  transfer_over "$channel" "$sender" "$receiver"
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}

best() {  # best of three
  local b="" t
  for _ in 1 2 3; do
    t=$(run "$@")
    if [ -z "$b" ] || [ "$(echo "$t < $b" | bc)" = 1 ]; then b=$t; fi
  done
  echo "$b"
}

check() {  # check FILE: the received file holds the data (XMODEM pads)
  cmp -s <(head -c $size "$work/out/$1") "$work/data" || echo "  (received file differs!)"
}

printf '%-6s %-10s %9s %9s %9s %8s %8s\n' channel protocol lrzsz-s ours-s bound-s vs-lrzsz vs-bound
for channel in tcp pty; do
  bound=$(best $channel "/usr/bin/python3 $top/bench/pingpong.py send $blocks 1029" \
                        "/usr/bin/python3 $top/bench/pingpong.py echo $blocks 1029")
  peer=$(best $channel "sx -kq data" "rx -cq data"); check data
  ours=$(best $channel "$xfer send --protocol xmodem-1k data" "$xfer receive --protocol xmodem-1k --dir . data"); check data
  printf '%-6s %-10s %9.2f %9.2f %9.2f %8.2f %8.2f\n' $channel xmodem-1k "$peer" "$ours" "$bound" \
    "$(echo "$peer / $ours" | bc -l)" "$(echo "$bound / $ours" | bc -l)"
  peer=$(best $channel "sb -q data" "rb -q"); check data
  ours=$(best $channel "$xfer send --protocol ymodem data" "$xfer receive --protocol ymodem --dir ."); check data
  printf '%-6s %-10s %9.2f %9.2f %9.2f %8.2f %8.2f\n' $channel ymodem "$peer" "$ours" "$bound" \
    "$(echo "$peer / $ours" | bc -l)" "$(echo "$bound / $ours" | bc -l)"
done
echo "vs-lrzsz: lrzsz time / our time (>= 1 means at least as fast); vs-bound: bound / our time (>= 0.9 is within 10 %)"
