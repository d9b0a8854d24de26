#!/usr/bin/env bash
# FTP throughput and listing speed side by side with curl, against one vsftpd
# on loopback: a 200 MB download and upload, and LIST of 10,000 entries parsed
# by tools/ftp --parse. Prints each time and our speed as a ratio of curl's.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
ftp="$top/build/host/tools/ftp"
work=$(mktemp -d /tmp/bench-ftp.XXXXXX)
chmod 755 "$work"
mkdir -p "$work/empty" "$work/tree/many" "$work/local"
chown peertest:peertest "$work/tree" "$work/local"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
printf '%s\n' listen=YES listen_ipv6=NO listen_address=127.0.0.1 "listen_port=$port" background=NO \
  anonymous_enable=NO local_enable=YES write_enable=YES pam_service_name=vsftpd pasv_enable=YES \
  pasv_address=127.0.0.1 "secure_chroot_dir=$work/empty" seccomp_sandbox=NO > "$work/vsftpd.conf"
/usr/sbin/vsftpd "$work/vsftpd.conf" &
pid=$!
trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null; rm -rf "$work"' EXIT
head -c 200000000 /dev/urandom > "$work/tree/big.bin"
(cd "$work/tree/many" && seq -f 'entry-%05g.txt' 1 10000 | xargs touch)
chown -R peertest:peertest "$work/tree"
for _ in $(seq 100); do [ -n "$(ss -Hltn "sport = :$port")" ] && break; sleep 0.05; done

url="ftp://127.0.0.1:$port/%2F${work#/}/tree"
session() { # LINES [OPTIONS]: our tool, logged in, in the tree
  printf 'peerpass\ncd %s/tree\n%s\nquit\n' "$work" "$1" |
    "$ftp" --host 127.0.0.1 --port "$port" --user peertest --passive --dir "$work/local" ${2:-}
}
# Runs curl's and our command three times each, in turns that alternate which
# goes first (the server's disk cache favours neither), and prints the best
# times and our speed as a ratio of curl's.
compare() { # NAME CURL-COMMAND OUR-COMMAND
  python3 - "$@" <<'PY'
import subprocess, sys, time
name, ours, theirs = sys.argv[1], sys.argv[3], sys.argv[2]
best = {"curl": 1e9, "ours": 1e9}
for turn in range(3):
    order = [("curl", theirs), ("ours", ours)]
    if turn % 2: order.reverse()
    for who, cmd in order:
        t = time.monotonic()
        subprocess.run(["bash", "-c", cmd], check=True, stdout=subprocess.DEVNULL)
        best[who] = min(best[who], time.monotonic() - t)
print(f"{name}: curl {best['curl']*1000:.0f} ms, ours {best['ours']*1000:.0f} ms, speed ratio {best['curl']/best['ours']:.2f}")
PY
}
export -f session
export ftp work port

compare "download 200 MB" \
  "curl -s --user peertest:peerpass '$url/big.bin' -o '$work/local/curl.bin'" \
  "session 'binary
get big.bin'"
cmp -s "$work/local/big.bin" "$work/tree/big.bin" || echo "download differs!"
compare "upload 200 MB" \
  "curl -s --user peertest:peerpass -T '$work/local/curl.bin' '$url/up-curl.bin'" \
  "session 'binary
put $work/local/big.bin up-ours.bin'"
cmp -s "$work/tree/up-ours.bin" "$work/tree/big.bin" || echo "upload differs!"
compare "LIST 10,000 entries" \
  "curl -s --user peertest:peerpass '$url/many/' -o /dev/null" \
  "printf 'peerpass\ncd $work/tree/many\ndir\nquit\n' | '$ftp' --host 127.0.0.1 --port $port --user peertest --passive --parse > '$work/list.txt'"
[ "$(grep -c "^file	entry-" "$work/list.txt")" = 10000 ] || echo "listing lacks entries!"
