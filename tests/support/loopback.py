# Shared by the loopback peers: the one connection a test makes to a port.
import socket


def accept_one(port):
    """Listens on 127.0.0.1:port, returns the first connection, stops listening."""
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(1)
    conn, _ = listener.accept()
    listener.close()
    return conn
