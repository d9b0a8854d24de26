#!/usr/bin/env bash
# Our ZMODEM against lrzsz's sz/rz on the same channels in the same run: a
# 20 MiB file over loopback TCP and over a socat pseudo-terminal pair, both
# directions (ours sending to rz, sz sending to ours) and ours on both ends
# against lrzsz on both, lrzsz the best of three and ours the best of five
# rounds, each round with a cat run through the same channel, with CPU seconds.
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

# rounds CHANNEL SENDER RECEIVER: ROUNDS transfers of ours, each right after
# one of cat; sets ours_best and cat_best ("wall cpu" of the fastest) and
# paired (the median over the rounds of cat's time / ours). The machine's
# speed drifts between runs; a ratio taken within one round does not.
ROUNDS=${ROUNDS:-5}
rounds() {
  local t c ratios=()
  ours_best="" cat_best=""
  for _ in $(seq "$ROUNDS"); do
    c=$(run "$channel" "cat data" "$cat_receiver")
    t=$(run "$@")
    check
    if [ -z "$ours_best" ] || [ "$(echo "${t% *} < ${ours_best% *}" | bc)" = 1 ]; then ours_best=$t; fi
    if [ -z "$cat_best" ] || [ "$(echo "${c% *} < ${cat_best% *}" | bc)" = 1 ]; then cat_best=$c; fi
    ratios+=("$(echo "${c% *} / ${t% *}" | bc -l)")
  done
  paired=$(printf '%s\n' "${ratios[@]}" | sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}')
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

printf '%-6s %-8s %8s %8s %8s %9s %9s %10s %8s\n' channel dir lrzsz-s ours-s cat-s vs-lrzsz vs-cat vs-cat-med cpu-ratio
for channel in tcp pty; do
  # Over the pty pair the reading end sees no end of file: it stops at the size.
  cat_receiver="head -c $size > data"
  for dir in send receive both; do
    peer=$(best $channel "sz -q data" "rz -q"); check
    case $dir in
      send) rounds $channel "$xfer send --protocol zmodem data" "rz -q" ;;
      receive) rounds $channel "sz -q data" "$xfer receive --protocol zmodem --dir ." ;;
      both) rounds $channel "$xfer send --protocol zmodem data" "$xfer receive --protocol zmodem --dir ." ;;
    esac
    ours=$ours_best cat=$cat_best
    printf '%-6s %-8s %8.2f %8.2f %8.2f %9.2f %9.2f %10.2f %8.2f\n' $channel $dir "${peer% *}" "${ours% *}" "${cat% *}" \
      "$(echo "${peer% *} / ${ours% *}" | bc -l)" "$(echo "${cat% *} / ${ours% *}" | bc -l)" "$paired" \
      "$(echo "${ours#* } / (${peer#* } + 0.001)" | bc -l)"
  done
done
echo "vs-lrzsz: lrzsz time / ours (>= 2 wanted on TCP); vs-cat: cat time / ours, each the fastest of $ROUNDS (>= 0.9 wanted"
echo "on the pty); vs-cat-med: the median of cat / ours within each round (one cat run right before each of ours);"
echo "cpu-ratio: CPU of the run with ours / CPU of the lrzsz-only run (<= 1 wanted); send and receive have"
echo "lrzsz on the other side, both has ours on both sides (against sz and rz together)"
