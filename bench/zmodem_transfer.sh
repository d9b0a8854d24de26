#!/usr/bin/env bash
# Our ZMODEM against lrzsz's sz/rz on the same channels in the same run: a
# 20 MiB file over loopback TCP and over a socat pseudo-terminal pair, both
# directions (ours sending to rz, sz sending to ours) and ours on both ends
# against lrzsz on both, each case the best of three, next to what cat moves
# through the same channel, with CPU seconds.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
xfer="${XFER:-$top/build/host/tools/xfer}"  # XFER: another build, for before/after runs
[ -x "$xfer" ] || { echo "build the host tools first"; exit 1; }
work=$(mktemp -d /tmp/bench-zmodem.XXXXXX)
trap 'rm -rf "$work"' EXIT
size=$((20 * 1024 * 1024))
head -c $size /dev/urandom > "$work/data"
mkdir -p "$work/in" && cp "$work/data" "$work/in/data"

. "$top/bench/transfer_channel.sh"

# run CHANNEL SENDER RECEIVER: "wall-seconds cpu-seconds" for one transfer
run() {
  local channel=$1 sender=$2 receiver=$3 cpu0 cpu1 me=$BASHPID
  cpu0=$(awk '{print $14 + $15 + $16 + $17}' /proc/$me/stat)
  transfer_over "$channel" "$sender" "$receiver"
  # CPU of the finished children (both sides and socat), in clock ticks, of
  # the subshell that runs this function and reaps them.
  cpu1=$(awk '{print $14 + $15 + $16 + $17}' /proc/$me/stat)
  echo "$transfer_seconds $(echo "($cpu1 - $cpu0) / $(getconf CLK_TCK)" | bc -l)"
}

best() {  # best of three by wall time
  local b="" t
  for _ in 1 2 3; do
    t=$(run "$@")
    if [ -z "$b" ] || [ "$(echo "${t% *} < ${b% *}" | bc)" = 1 ]; then b=$t; fi
  done
  echo "$b"
}

check() { cmp -s "$work/out/data" "$work/data" || echo "  (received file differs!)"; }

printf '%-6s %-8s %8s %8s %8s %9s %9s %8s\n' channel dir lrzsz-s ours-s cat-s vs-lrzsz vs-cat cpu-ratio
for channel in tcp pty; do
  # Over the pty pair the reading end sees no end of file: it stops at the size.
  cat=$(best $channel "cat data" "head -c $size > data")
  for dir in send receive both; do
    peer=$(best $channel "sz -q data" "rz -q"); check
    case $dir in
      send) ours=$(best $channel "$xfer send --protocol zmodem data" "rz -q") ;;
      receive) ours=$(best $channel "sz -q data" "$xfer receive --protocol zmodem --dir .") ;;
      both) ours=$(best $channel "$xfer send --protocol zmodem data" "$xfer receive --protocol zmodem --dir .") ;;
    esac
    check
    printf '%-6s %-8s %8.2f %8.2f %8.2f %9.2f %9.2f %8.2f\n' $channel $dir "${peer% *}" "${ours% *}" "${cat% *}" \
      "$(echo "${peer% *} / ${ours% *}" | bc -l)" "$(echo "${cat% *} / ${ours% *}" | bc -l)" \
      "$(echo "${ours#* } / (${peer#* } + 0.001)" | bc -l)"
  done
done
echo "vs-lrzsz: lrzsz time / ours (>= 2 wanted on TCP); vs-cat: cat time / ours (>= 0.9 wanted on the pty);"
echo "cpu-ratio: CPU of the run with ours / CPU of the lrzsz-only run (<= 1 wanted); send and receive have"
echo "lrzsz on the other side, both has ours on both sides (against sz and rz together)"
