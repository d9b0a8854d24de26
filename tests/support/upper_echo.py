#!/usr/bin/python3
# The far end of a test serial line: answers every byte at once, lower-case
# letters in upper case, everything else unchanged. With --quit-on-eot it
# hangs up (ends, closing the line) when it receives EOT (0x04), once it has
# answered what came before it.
import os
import sys

fd_in, fd_out = sys.stdin.fileno(), sys.stdout.fileno()
quit_on_eot = "--quit-on-eot" in sys.argv[1:]
while True:
    data = os.read(fd_in, 4096)
    if not data:
        break
    eot = quit_on_eot and b"\x04" in data
    if eot:
        data = data[: data.index(b"\x04")]
    os.write(fd_out, bytes(b - 32 if 0x61 <= b <= 0x7A else b for b in data))
    if eot:
        break
