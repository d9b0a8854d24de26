#!/usr/bin/python3
"""pyftpdlib on 127.0.0.1 for the tests: pyftpdlib_server.py PORT ROOT.
Anonymous may read ROOT; peertest/peerpass may write in it."""
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

port, root = int(sys.argv[1]), sys.argv[2]
auth = DummyAuthorizer()
auth.add_anonymous(root)
auth.add_user('peertest', 'peerpass', root, perm='elradfmwMT')
FTPHandler.authorizer = auth
FTPHandler.permit_foreign_addresses = False
FTPServer(('127.0.0.1', port), FTPHandler).serve_forever()
