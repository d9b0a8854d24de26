#!/usr/bin/env bash
# Our XMODEM-1K and YMODEM against lrzsz's on the same channels in the same
# run: a 20 MiB file over loopback TCP and over a socat pseudo-terminal pair,
# each case in three rounds, next to the stop-and-wait bound of the
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
size=$(( ${MIB:-20} * 1024 * 1024 ))  # MIB: a smaller file for a quick look
blocks=$((size / 1024))
head -c $size /dev/urandom > "$work/data"
mkdir -p "$work/in" && cp "$work/data" "$work/in/data"

. "$top/bench/transfer_channel.sh"

# time CHANNEL SENDER RECEIVER: seconds for one transfer (receiver in $work/out)
time_one() { transfer_over "$@"; echo "$transfer_seconds"; }

check() {  # check FILE: the received file holds the data (XMODEM pads)
  cmp -s <(head -c $size "$work/out/$1") "$work/data" || echo "  (received file differs!)" >&2
}

median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }

# Each round times the bound, lrzsz and ours back to back, so that a change in
# the machine's load between rounds moves all three; the ratios are taken per
# round and the median of three rounds is shown.
printf '%-6s %-10s %9s %9s %9s %8s %8s\n' channel protocol lrzsz-s ours-s bound-s vs-lrzsz vs-bound
for channel in tcp pty; do
  for protocol in xmodem-1k ymodem; do
    if [ $protocol = xmodem-1k ]; then
      peer_send="sx -kq data"; peer_receive="rx -cq data"; name=" data"
    else
      peer_send="sb -q data"; peer_receive="rb -q"; name=""
    fi
    bounds=(); peers=(); ourss=(); vsl=(); vsb=()
    for _ in 1 2 3; do
      b=$(time_one $channel "/usr/bin/python3 $top/bench/pingpong.py send $blocks 1029" \
                            "/usr/bin/python3 $top/bench/pingpong.py echo $blocks 1029")
      p=$(time_one $channel "$peer_send" "$peer_receive"); check data
      o=$(time_one $channel "$xfer send --protocol $protocol data" "$xfer receive --protocol $protocol --dir .$name"); check data
      bounds+=("$b"); peers+=("$p"); ourss+=("$o")
      vsl+=("$(echo "$p / $o" | bc -l)"); vsb+=("$(echo "$b / $o" | bc -l)")
    done
    printf '%-6s %-10s %9.2f %9.2f %9.2f %8.2f %8.2f\n' $channel $protocol "$(median "${peers[@]}")" \
      "$(median "${ourss[@]}")" "$(median "${bounds[@]}")" "$(median "${vsl[@]}")" "$(median "${vsb[@]}")"
  done
done
echo "vs-lrzsz: lrzsz time / our time (>= 1 means at least as fast); vs-bound: bound / our time (>= 0.9 is within 10 %)"
echo "(times and ratios are medians of three rounds; each round runs the three side by side)"
