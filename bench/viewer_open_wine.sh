#!/usr/bin/env bash
# The viewer under Wine: time from File > Open of an 800 x 600 JPEG (Return in
# the Open dialog) to the whole picture on screen (the title says "100 %
# done"), beside the host decode of the same file by the viewer's decode path
# (tools/jpegdecode), best of three each.
# VIEWER_SIZE=WxH measures another size.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
. tools/wine-env
size=${VIEWER_SIZE:-800x600}
cmake --build build/host --target jpegdecode >/dev/null || { echo "viewer: build failed"; exit 1; }
cmake --build build/target --target sorlin32 >/dev/null || { echo "viewer: build failed"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -seed 7 -size "$size" plasma:fractal "$work/pic.ppm" || exit 1
cjpeg -quality 85 -outfile "$work/pic.jpg" "$work/pic.ppm"
host=$(python3 - "$top/build/host/tools/jpegdecode" "$work/pic.jpg" "$work/out.bmp" <<'PY'
import subprocess, sys, time
best = None
for _ in range(3):
    s = time.monotonic(); subprocess.run(sys.argv[1:], capture_output=True); t = time.monotonic() - s
    best = t if best is None or t < best else best
print("%.3f" % best)
PY
)
xvfb-run -a -s "-screen 0 1024x768x24" python3 - "$top/build/target/bin/sorlin32.exe" "$work/pic.jpg" "$host" <<'PY'
import subprocess, sys, time
exe, jpg, host = sys.argv[1], sys.argv[2], float(sys.argv[3])
def run(*args):
    return subprocess.run(["xdotool"] + list(args), capture_output=True, text=True).stdout
def named(text, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = run("search", "--name", text).split()
        if found:
            return found[0]
        time.sleep(0.02)
    sys.exit("viewer: no window %r" % text)
best = None
for _ in range(3):
    p = subprocess.Popen(["wine", exe, "0"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    viewer = named("JPEG Viewer", 120)  # Wine starts slowly on a loaded machine
    run("windowfocus", "--sync", viewer)
    run("key", "alt+f", "o")
    dialog = named("Open File", 30)
    run("windowfocus", "--sync", dialog)
    run("type", "Z:" + jpg.replace("/", "\\"))
    time.sleep(0.5)
    start = time.monotonic()
    run("key", "Return")
    while not run("getwindowname", viewer).strip().endswith("100 % done"):
        if time.monotonic() - start > 120:
            sys.exit("viewer: the picture never showed")
        time.sleep(0.003)
    t = time.monotonic() - start
    best = t if best is None or t < best else best
    subprocess.run(["wineserver", "-k"], capture_output=True)  # the viewer and the prefix's processes
    p.wait(30)
print("File > Open to picture under Wine %.3f s, host decode %.3f s, ratio %.2f" % (best, host, best / host))
PY
