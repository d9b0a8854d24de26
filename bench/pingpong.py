#!/usr/bin/python3
# The round-trip bound of a stop-and-wait block protocol on a channel: one side
# writes a frame of SIZE bytes and waits for a one-byte reply, COUNT times; the
# other reads each whole frame and replies. Usage: pingpong.py send|echo COUNT SIZE
import os
import sys

mode, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
frame = bytes(range(256)) * (size // 256) + bytes(size % 256)
for _ in range(count):
    if mode == "send":
        os.write(1, frame)
        if not os.read(0, 1):
            sys.exit(1)
    else:
        got = 0
        while got < size:
            chunk = os.read(0, size - got)
            if not chunk:
                sys.exit(1)
            got += len(chunk)
        os.write(1, b"\x06")
