#!/usr/bin/python3
# A minimal Telnet host for transfer tests: accepts one connection on
# 127.0.0.1:PORT, offers and asks for BINARY, then runs COMMAND... in DIR with
# its standard input and output joined to the connection as Telnet data: 0xFF
# doubled towards the client, doubled 0xFF and commands taken out from it.
# A NOP and a repeated WILL SGA are slipped into the data now and then, as
# hosts do.
# --hold S keeps the client's first data back for S seconds, as a loaded host
# is slow to answer.
# Usage: telnet_binary_host.py PORT DIR [--hold S] COMMAND...
import os
import select
import socket
import subprocess
import sys
import time

from loopback import accept_one

IAC, WILL, DO, SB, SE, NOP = 255, 251, 253, 250, 240, 241
BINARY, SGA = 0, 3

port, folder, command = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
hold = 0.0
if command[:1] == ["--hold"]:
    hold, command = float(command[1]), command[2:]
conn = accept_one(port)
conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
conn.sendall(bytes([IAC, WILL, BINARY, IAC, DO, BINARY, IAC, WILL, SGA]))
child = subprocess.Popen(command, cwd=folder, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
out_fd, in_fd = child.stdout.fileno(), child.stdin.fileno()

state = "data"  # data, iac, option, sub, sub_iac
sent = 0
open_fds = [conn.fileno(), out_fd]
while child.poll() is None or out_fd in open_fds:
    ready, _, _ = select.select(open_fds, [], [], 0.2)
    if conn.fileno() in ready:
        chunk = conn.recv(65536)
        if not chunk:
            break
        data = bytearray()
        for b in chunk:
            if state == "data":
                if b == IAC:
                    state = "iac"
                else:
                    data.append(b)
            elif state == "iac":
                if b == IAC:
                    data.append(b)
                    state = "data"
                elif WILL <= b <= 254:
                    state = "option"
                elif b == SB:
                    state = "sub"
                else:
                    state = "data"
            elif state == "option":
                state = "data"
            elif state == "sub":
                state = "sub_iac" if b == IAC else "sub"
            else:
                state = "data" if b == SE else "sub"
        if data:
            if hold:
                time.sleep(hold)
                hold = 0.0
            try:
                os.write(in_fd, bytes(data))
            except BrokenPipeError:
                pass
    if out_fd in ready:
        chunk = os.read(out_fd, 65536)
        if not chunk:
            open_fds.remove(out_fd)
            continue
        sent += len(chunk)
        if sent > 50000:
            # In the middle of what the program wrote: inside a block, where
            # a command byte taken as data would spoil it.
            half = len(chunk) // 2
            doubled = (chunk[:half].replace(b"\xff", b"\xff\xff") + bytes([IAC, NOP, IAC, WILL, SGA])
                       + chunk[half:].replace(b"\xff", b"\xff\xff"))
            sent = 0
        else:
            doubled = chunk.replace(b"\xff", b"\xff\xff")
        conn.sendall(doubled)
child.wait()
conn.close()
