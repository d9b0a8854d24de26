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

now() { date +%s.%N; }
url="ftp://127.0.0.1:$port/%2F${work#/}/tree"
session() { # LINES...: our tool, logged in, in the tree
  printf 'peerpass\ncd %s/tree\n%s\nquit\n' "$work" "$1" |
    "$ftp" --host 127.0.0.1 --port "$port" --user peertest --passive --dir "$work/local" $2 >/dev/null
}
ratio() { # T0 T1 T2: curl ran from T0 to T1, ours from T1 to T2
  python3 -c "import sys; a,b,c=map(float,sys.argv[1:]); print(f'curl {(b-a)*1000:.0f} ms, ours {(c-b)*1000:.0f} ms, speed ratio {(b-a)/(c-b):.2f}')" "$1" "$2" "$3"
}

t0=$(now); curl -s --user peertest:peerpass "$url/big.bin" -o "$work/local/curl.bin"; t1=$(now)
session "binary
get big.bin" ""; t2=$(now)
cmp -s "$work/local/big.bin" "$work/tree/big.bin" || echo "download differs!"
echo "download 200 MB: $(ratio "$t0" "$t1" "$t2")"

t0=$(now); curl -s --user peertest:peerpass -T "$work/local/curl.bin" "$url/up-curl.bin"; t1=$(now)
session "binary
put $work/local/big.bin up-ours.bin" ""; t2=$(now)
cmp -s "$work/tree/up-ours.bin" "$work/tree/big.bin" || echo "upload differs!"
echo "upload 200 MB: $(ratio "$t0" "$t1" "$t2")"

t0=$(now); curl -s --user peertest:peerpass "$url/many/" -o /dev/null; t1=$(now)
printf 'peerpass\ncd %s/tree/many\ndir\nquit\n' "$work" |
  "$ftp" --host 127.0.0.1 --port "$port" --user peertest --passive --parse > "$work/list.txt"; t2=$(now)
[ "$(grep -c "^file	entry-" "$work/list.txt")" = 10000 ] || echo "listing lacks entries!"
echo "LIST 10,000 entries: $(ratio "$t0" "$t1" "$t2")"
