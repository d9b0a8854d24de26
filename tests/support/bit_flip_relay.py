#!/usr/bin/python3
# A loopback relay that spoils one byte: accepts one connection on LISTEN,
# connects to TARGET, and passes bytes both ways, flipping the low bit of the
# byte at offset AT of what the first side sends. Ends when either side does.
# Usage: bit_flip_relay.py LISTEN TARGET AT
import select
import socket
import sys

from loopback import accept_one

listen_port, target_port, flip_at = (int(a) for a in sys.argv[1:4])
first = accept_one(listen_port)
second = socket.create_connection(("127.0.0.1", target_port))
passed = 0
try:
    while True:
        ready, _, _ = select.select([first, second], [], [], 30)
        if not ready:
            break
        for s in ready:
            data = s.recv(65536)
            if not data:
                sys.exit(0)
            if s is first:
                if passed <= flip_at < passed + len(data):
                    data = bytearray(data)
                    data[flip_at - passed] ^= 0x01
                passed += len(data)
                second.sendall(data)
            else:
                first.sendall(data)
except (BrokenPipeError, ConnectionResetError):
    pass
