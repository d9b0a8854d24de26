#!/usr/bin/python3
"""The FTP window inside quenda32 under Wine, driven by the mouse against a
vsftpd on loopback: two remote files selected and received, a local file
sent, both byte for byte; a screenshot with both panes filled. Prints
GoogleTest-style result lines for ./test."""
import filecmp
import os
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import quenda32_e2e as q  # noqa: E402  (the server, the program, its start)
import varnix32_e2e as e2e  # noqa: E402

from varnix32_e2e import SLOW, check, wait_for  # noqa: E402

ROW0_Y, ROW_H = 145, 17  # the first item of both lists, from the window's top


def spots(desk, main):
    """Window-relative points of the panes' first rows and the middle buttons,
    from the window's width as the FTP window lays itself out."""
    width = desk.geometry(main)[2]
    pane = (width - 8 - 116) // 2
    middle = 4 + 4 + pane + 4 + 50
    return {"local": 4 + 4 + 40, "remote": 4 + 4 + pane + 8 + 100 + 40, "receive": (middle, 139),
            "send": (middle, 167)}


def click_row(desk, main, x, row, add=False):
    args = ["xdotool", "mousemove", "--window", main, str(x), str(ROW0_Y + row * ROW_H)]
    args += ["keydown", "ctrl", "click", "1", "keyup", "ctrl"] if add else ["click", "1"]
    desk.run(*args)
    time.sleep(0.3)


def finish_transfer(desk):
    """The transfer dialog, pressed once its files are done (they are small)."""
    dialog = desk.window("Receiving|Sending File")
    time.sleep(3)
    desk.keys(dialog, "Return")
    desk.gone("Receiving|Sending File", "the transfer dialog did not close")


def case_window_receives_two_files_and_sends_one(desk, stack):
    server = q.Server(stack)
    for name, size in (("a.bin", 70001), ("b.bin", 20000)):
        e2e.write(os.path.join(server.tree, name), os.urandom(size))
    os.system("chown peertest:peertest %s/a.bin %s/b.bin" % (server.tree, server.tree))
    # The FTP book as start-up choice: the host on the command line connects at once.
    prog = q.start(desk, stack, ["127.0.0.1", str(server.port)], book=101,
                   entries=[("127.0.0.1", "userName=peertest", "password=peerpass", "savePassword=1", "binary=1",
                             "downloadToCurrent=1")])
    main = desk.window(q.TITLE)
    at = spots(desk, main)
    time.sleep(4)  # logged in, the remote view listed: docs, a.bin, b.bin, readme.txt
    desk.shot("quenda32_ftp_window")
    click_row(desk, main, at["remote"], 1)
    click_row(desk, main, at["remote"], 2, add=True)
    desk.click(main, *at["receive"])
    finish_transfer(desk)
    for name in ("a.bin", "b.bin"):
        got = os.path.join(prog.dir, name)
        check(wait_for(lambda: os.path.exists(got), SLOW), "%s was not received" % name)
        check(filecmp.cmp(got, os.path.join(server.tree, name), shallow=False), "%s differs" % name)
    # The host's entry file sent: found in the local view by typing its first
    # letters, as the list view's search does.
    sent = "127.0.0.1.ftp"
    click_row(desk, main, at["local"], 0)
    desk.run("xdotool", "type", "--delay", "60", "127.0")
    time.sleep(0.5)
    desk.click(main, *at["send"])
    finish_transfer(desk)
    up = os.path.join(server.tree, sent)
    check(wait_for(lambda: os.path.exists(up), SLOW), "nothing was sent")
    check(filecmp.cmp(up, os.path.join(prog.dir, sent), shallow=False), "the sent file differs")
    q.disconnect(desk, main)
    desk.keys(desk.window("FTPbook"), "Escape")  # offered again after the session
    desk.menu_exit(prog, main)


CASES = [v for k, v in list(globals().items()) if k.startswith("case_")]


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(e2e.run_cases(CASES, "Quenda32WindowEndToEnd", "quenda32.exe"))
