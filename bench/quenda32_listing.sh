#!/usr/bin/env bash
# A directory of 10,000 entries listed and shown in the FTP window's remote
# view under Wine, beside curl fetching the same LIST from the same vsftpd.
# Our time runs from the choice of the directory in the remote path box (CWD,
# PASV, LIST, the parse) to the drawn view; curl's is its whole run, connect
# and login included. Best of three each; prints the time ratio (ours over
# curl's; the target is 2 or less) and our whole session beside it.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/bench/lib/ftp_window.sh"
mkdir -p "$work/tree/many"
(cd "$work/tree/many" && seq -f 'entry-%05g.txt' 1 10000 | xargs touch)
chown -R peertest:peertest "$work/tree"

curl_ms=$(python3 - "curl -s --user peertest:peerpass '$url/many/' -o /dev/null" <<'PY'
import subprocess, sys, time
best = 1e9
for _ in range(3):
    t = time.monotonic()
    subprocess.run(["bash", "-c", sys.argv[1]], check=True, stdout=subprocess.DEVNULL)
    best = min(best, time.monotonic() - t)
print(int(best * 1000))
PY
)
best=999999999 whole=0
for _ in 1 2 3; do
  read -r ms all items < <(window list "$work/tree/many" -)
  [ "${items:-0}" = 10000 ] || { echo "listing shows ${items:-no} entries!"; exit 1; }
  [ "$ms" -lt "$best" ] && best=$ms whole=$all
done
python3 -c "import sys; c, o, w = map(int, sys.argv[1:4]); print(f'LIST 10,000 entries: curl {c} ms, window {o} ms (whole session {w} ms), time ratio {o / max(c, 1):.2f} (session {w / max(c, 1):.2f})')" "$curl_ms" "$best" "$whole"
