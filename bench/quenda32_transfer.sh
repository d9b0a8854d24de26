#!/usr/bin/env bash
# Transfers through the FTP window under Wine beside curl, against one vsftpd
# on loopback in the same run: a 200 MB download ("<- Receive") and upload
# ("Send->"). Our time runs from the click to the transfer dialog's end
# (TYPE, PASV, the command, the data and its completion reply); curl's is its
# whole run, connect and login included. Best of three each; prints the speed
# ratio (curl's time over ours; the target is 0.8 or more) and, beside it, our
# whole session (connect, login, the window's opening, the listing, the
# transfer) for comparison. FTP_MB=N moves N MB.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/bench/lib/ftp_window.sh"
mb=${FTP_MB:-200}
head -c $((mb * 1000000)) /dev/urandom > "$work/tree/big.bin"
cp "$work/tree/big.bin" "$work/local/up.bin"
chown -R peertest:peertest "$work/tree" "$work/local"

best_curl() { # COMMAND: best of three, in ms
  python3 - "$1" <<'PY'
import subprocess, sys, time
best = 1e9
for _ in range(3):
    t = time.monotonic()
    subprocess.run(["bash", "-c", sys.argv[1]], check=True, stdout=subprocess.DEVNULL)
    best = min(best, time.monotonic() - t)
print(int(best * 1000))
PY
}
best_ours() { # MODE NAME: best of three, in ms: the operation, the session
  local best=999999999 whole=0 ms all
  for _ in 1 2 3; do
    rm -f "$work/local/big.bin"
    read -r ms all _ < <(window "$1" "$work/tree" "$2")
    [ -n "$ms" ] || { echo "bench: the window did not finish" >&2; exit 1; }
    [ "$ms" -lt "$best" ] && best=$ms whole=$all
  done
  echo "$best $whole"
}
ratio() { python3 -c "import sys; n, c, o, w = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]); print(f'{n}: curl {c} ms, window {o} ms (whole session {w} ms), speed ratio {c / max(o, 1):.2f} (session {c / max(w, 1):.2f})')" "$@"; }

curl_ms=$(best_curl "curl -s --user peertest:peerpass '$url/big.bin' -o '$work/curl.bin'")
read -r ours_ms whole_ms < <(best_ours download big.bin)
cmp -s "$work/local/big.bin" "$work/tree/big.bin" || echo "download differs!"
ratio "download $mb MB" "$curl_ms" "$ours_ms" "$whole_ms"

curl_ms=$(best_curl "curl -s --user peertest:peerpass -T '$work/curl.bin' '$url/up-curl.bin'")
read -r ours_ms whole_ms < <(best_ours upload up.bin)
cmp -s "$work/tree/up.bin" "$work/local/up.bin" || echo "upload differs!"
ratio "upload $mb MB" "$curl_ms" "$ours_ms" "$whole_ms"
