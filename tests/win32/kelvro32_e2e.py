#!/usr/bin/python3
"""kelvro32 under Wine over a direct serial line: COM ports mapped to
pseudo-terminals whose far ends are real shells, keys typed through the X
keyboard, files checked on the far side. Prints GoogleTest-style result
lines for ./test."""
import os
import shutil
import signal
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import varnix32_e2e as e2e  # noqa: E402  (the desktop, keys and checks)

from varnix32_e2e import check, read, wait_for, write  # noqa: E402

EXE = os.path.join(e2e.BIN, "kelvro32.exe")
TITLE = "Kelvro32-Dialup"


class Line:
    """A pseudo-terminal standing for COMn, its far end a shell that runs in
    a folder of its own; both go when the case ends."""

    def __init__(self, desk, stack, number):
        self.folder = tempfile.mkdtemp(prefix="kelvro32_far_")
        os.chmod(self.folder, 0o755)
        stack.callback(shutil.rmtree, self.folder, True)
        shell = "cd '%s' && PS1='far$ ' exec /bin/sh -i" % self.folder
        self.path, _ = e2e.com_port(desk, stack, number, "SYSTEM:%s,pty,setsid,ctty,stderr,sane" % shell)

    def file(self, name):
        return os.path.join(self.folder, name)


class Kelvro(e2e.Program):
    """kelvro32.exe in a fresh program directory holding a direct entry."""

    exe = EXE


def direct_entry(port_index=0, name="Serial"):
    directory = tempfile.mkdtemp(prefix="kelvro32_e2e_")
    e2e.new_entry(directory, name + ".phn", "name=" + name, "phoneType=2", "portIndex=%d" % port_index,
                  "speedIndex=1", "emulation=4", "transferProtocol=6")
    return directory


def start(desk, stack, lines, port_index=0):
    """kelvro32 on the direct entry of COM(port_index + 1), once the Wine
    server has the port mapping of lines."""
    del lines  # mapped before the Wine server restarts
    return launch(desk, stack, ["Serial"], direct_entry(port_index), DOWNLOAD=None, BookBox=0)


def launch(desk, stack, args, directory, **settings):
    """kelvro32 in directory on a restarted Wine server (which reads the port
    mapping then), once the settings given are set (None deletes one)."""
    desk.run("wineserver", "-k")
    desk.run("wineserver", "-w")
    for name, value in settings.items():
        desk.reg_set(name, value)
    prog = Kelvro(desk, args, directory)
    stack.callback(prog.stop)
    return prog


def online(desk, main):
    """Waits for the far shell's prompt on the screen and for the splash box,
    which holds the keyboard for its second, to close itself."""
    check(wait_for(lambda: desk.brightness(main, 4, 88, 300, 20) > 0.0015, 20), "no prompt from the line drawn")
    time.sleep(1.5)


def typed(desk, main, line, command, name, text, seconds=15):
    """Types command into the window and waits for the far shell to write
    text into its file name."""
    # A click on the status bar makes Wine activate the window (the keys go
    # to it) and does nothing else; a caption clicked twice would maximise.
    desk.click(main, 60, desk.geometry(main)[3] - 8)
    desk.type(main, command)
    return wait_for(lambda: os.path.exists(line.file(name)) and text in read(line.file(name)), seconds)


def case_direct_line_typed_drawn_zmodem_and_hangup(desk, stack):
    """Keys typed into kelvro32 run in the shell behind COM1 and its answer is
    drawn; a file the shell sends with sz arrives byte-identical through the
    ZMODEM auto-start; Hangup closes the port, so keys no longer reach the
    shell."""
    line = Line(desk, stack, 1)
    write(line.file("data.bin"), os.urandom(150000))
    prog = start(desk, stack, [line])
    main = desk.window(TITLE)
    online(desk, main)
    check(typed(desk, main, line, "echo typed-$((6*7)) > typed.txt", "typed.txt", "typed-42"),
          "the typed command did not run behind COM1")
    check(wait_for(lambda: desk.brightness(main, 4, 88, 300, 40) > 0.0015, 10), "nothing from the line drawn")
    desk.shot("kelvro32_online")
    desk.type(main, "sz -q data.bin 2>sz.err; echo $? > sz.rc")
    received = os.path.join(prog.dir, "Down", "data.bin")
    check(wait_for(lambda: e2e.same_bytes(received, line.file("data.bin")), 60),
          "the file sent with sz did not arrive whole: %s" % (read(line.file("sz.err"))
                                                               if os.path.exists(line.file("sz.err")) else ""))
    check(wait_for(lambda: os.path.exists(line.file("sz.rc")) and read(line.file("sz.rc")).strip() == "0", 30),
          "sz did not end well")
    e2e.close_transfer(desk, desk.window("File Receiving", 10), "kelvro32_zmodem_received")
    desk.menu(main, "n", "h")  # Session > Hangup
    box = desk.window("Message", 10)  # the disconnect box of every hang-up
    desk.keys(box, "Return")
    desk.gone("Message", "the disconnect box did not close")
    desk.type(main, "echo after > after.txt")
    time.sleep(2)
    check(not os.path.exists(line.file("after.txt")), "keys still reached the line after Hangup")
    desk.shot("kelvro32_offline")
    desk.menu_exit(prog, main)


def case_far_end_gone_once_and_menus_offline(desk, stack):
    """The shell behind COM1 ends: the session ends once, with one "Carrier
    loss" box, and the program stays usable."""
    line = Line(desk, stack, 1)
    prog = start(desk, stack, [line])
    main = desk.window(TITLE)
    online(desk, main)
    check(typed(desk, main, line, "echo up > up.txt", "up.txt", "up"), "the line did not come up")
    desk.type(main, "exit")
    box = desk.window("Message", 20)
    desk.shot("kelvro32_carrier_loss")
    desk.keys(box, "Return")
    desk.gone("Message", "the box did not close")
    check(not wait_for(lambda: desk.windows("Message"), 3), "the loss was reported twice")
    desk.menu_exit(prog, main)


def case_two_instances_on_two_ports_keep_their_input(desk, stack):
    """Two kelvro32 on COM1 and COM2 at once: what each shell sends reaches its
    own window, and each window's keys reach its own shell."""
    one, two = Line(desk, stack, 1), Line(desk, stack, 2)
    first = start(desk, stack, [one, two], 0)
    main_one = desk.window(TITLE)
    # The second takes its place from the stored geometry, beside the first.
    for name, value in (("dialupx", 440), ("dialupy", 300), ("dialupw", 580), ("dialuph", 460)):
        desk.reg_set(name, value)
        stack.callback(desk.reg_set, name, None)
    second = Kelvro(desk, ["Serial"], direct_entry(1))
    stack.callback(second.stop)
    windows = wait_for(lambda: len(desk.windows(TITLE)) == 2 and desk.windows(TITLE), 40)
    check(windows, "the second instance did not start")
    main_two = [w for w in windows if w != main_one][0]
    online(desk, main_one)
    online(desk, main_two)
    for _ in range(3):  # several rounds: a shared hand-over would lose one
        check(typed(desk, main_one, one, "echo one >> mine.txt", "mine.txt", "one"), "COM1's keys went astray")
        check(typed(desk, main_two, two, "echo two >> mine.txt", "mine.txt", "two"), "COM2's keys went astray")
    check("two" not in read(one.file("mine.txt")) and "one" not in read(two.file("mine.txt")),
          "the two lines mixed")
    # The answers arrive too: a command's echo in each window starts a file.
    check(typed(desk, main_two, two, "seq 1 2000 | tail -1 > last.txt", "last.txt", "2000"), "COM2 stalled")
    check(typed(desk, main_one, one, "seq 1 2000 | tail -1 > last.txt", "last.txt", "2000"), "COM1 stalled")
    desk.shot("kelvro32_two_instances")
    for prog, main in ((second, main_two), (first, main_one)):
        desk.click(main, 60, desk.geometry(main)[3] - 8)
        desk.menu(main, "f", "x")
        desk.keys(desk.window("Message", 10), "Return")  # still connected: Yes, exit (and no box after it)
        check(prog.wait_exit(20), "File > Exit did not end the program")


def case_offline_menus_say_what_comes_later(desk, stack):
    """Started with no entry the program is offline; a command of a later
    version says so instead of failing."""
    directory = tempfile.mkdtemp(prefix="kelvro32_e2e_")
    desk.reg_set("BookBox", 0)
    prog = Kelvro(desk, [], directory)
    stack.callback(prog.stop)
    main = desk.window(TITLE)
    time.sleep(1.5)  # the splash box closes itself
    desk.shot("kelvro32_offline_start")
    desk.menu(main, "c", "x")  # Script > Execute
    box = desk.window("Message", 10)
    desk.keys(box, "Return")
    check(os.path.exists(os.path.join(directory, "Default.phn")), "the template entry was not written")
    desk.menu_exit(prog, main)


CASES = [v for k, v in list(globals().items()) if k.startswith("case_")]


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(e2e.run_cases(CASES, "Kelvro32EndToEnd", "kelvro32.exe"))
