# Shared by the transfer benchmarks (sourced; needs $work with in/ and out/):
# one transfer between SENDER (run in $work/in) and RECEIVER (run in
# $work/out) over loopback TCP or a socat pseudo-terminal pair.

free_port() { /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

# transfer_over CHANNEL SENDER RECEIVER: returns when both sides have ended,
# with transfer_seconds set to the time from the sender's start to the end of
# the later of the two programs: neither the setup of the channel nor socat's
# half a second of lingering after a program's end counts.
transfer_over() {
  local channel=$1 sender=$2 receiver=$3 start
  rm -rf "$work/out" "$work/ended" && mkdir -p "$work/out" "$work/ended"
  sender="$sender; date +%s.%N > $work/ended/sender"
  receiver="$receiver; date +%s.%N > $work/ended/receiver"
  if [ "$channel" = tcp ]; then
    local port; port=$(free_port)
    socat TCP-LISTEN:$port,bind=127.0.0.1,reuseaddr SYSTEM:"cd $work/out && $receiver" 2>/dev/null &
    local listener=$!
    for _ in $(seq 100); do ss -Hltn "sport = :$port" | grep -q . && break; sleep 0.02; done
    start=$(date +%s.%N)
    timeout 300 socat TCP:127.0.0.1:$port SYSTEM:"cd $work/in && $sender" 2>/dev/null
    wait $listener 2>/dev/null
  else
    socat PTY,link=$work/ptyA,raw,echo=0 PTY,link=$work/ptyB,raw,echo=0 2>/dev/null &
    local pair=$!
    for _ in $(seq 100); do [ -e "$work/ptyA" ] && [ -e "$work/ptyB" ] && break; sleep 0.02; done
    socat OPEN:$work/ptyB,raw,echo=0 SYSTEM:"cd $work/out && $receiver" 2>/dev/null &
    local rx=$!
    start=$(date +%s.%N)
    timeout 300 socat OPEN:$work/ptyA,raw,echo=0 SYSTEM:"cd $work/in && $sender" 2>/dev/null
    wait $rx 2>/dev/null
    kill $pair 2>/dev/null; wait $pair 2>/dev/null
  fi
  transfer_seconds=$(cat "$work"/ended/* 2>/dev/null | sort -n | tail -1 | awk -v s="$start" '{print $1 - s}')
}
