# Shared by the FTP window's benchmarks: a vsftpd on loopback for the test
# login with a tree in a fresh directory ($work/tree, $work/local), the bench
# host built, an Xvfb with Wine for it, and `window MODE DIR NAME` to run it
# from $work/local. Everything started here is stopped by its pid on exit.
. "$top/tools/wine-env"
exe="$top/build/target/bin/bench_ftp_window.exe"
cmake --build "$top/build/target" --target bench_ftp_window >/dev/null || { echo "bench: build failed"; exit 1; }
work=$(mktemp -d /tmp/bench-ftpwin.XXXXXX)
chmod 755 "$work"
mkdir -p "$work/empty" "$work/tree" "$work/local"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
printf '%s\n' listen=YES listen_ipv6=NO listen_address=127.0.0.1 "listen_port=$port" background=NO \
  anonymous_enable=NO local_enable=YES write_enable=YES pam_service_name=vsftpd pasv_enable=YES \
  pasv_address=127.0.0.1 "secure_chroot_dir=$work/empty" seccomp_sandbox=NO > "$work/vsftpd.conf"
/usr/sbin/vsftpd "$work/vsftpd.conf" &
vsftpd_pid=$!
Xvfb :57 -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=:57
trap 'wineserver -k 2>/dev/null; kill $vsftpd_pid $xvfb_pid 2>/dev/null; wait $vsftpd_pid $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -n "$(ss -Hltn "sport = :$port")" ] && break; sleep 0.05; done
url="ftp://127.0.0.1:$port/%2F${work#/}/tree"
window() { # MODE DIR NAME
  (cd "$work/local" && timeout 600 wine "$exe" "$1" "$port" "$2" "$3" peerpass 2>/dev/null | tr -d '\r')
}
