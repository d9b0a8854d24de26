#!/usr/bin/python3
"""varnix32 from start to exit under Wine, driven as a user drives it: the
real program, keys typed through the X keyboard with xdotool, a real telnetd
or a loopback stand-in on the far side, the file system and the registry
checked afterwards. Prints GoogleTest-style result lines for ./test."""
import binascii
import contextlib
import glob
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import traceback

TOP = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BIN = os.path.join(TOP, "build", "target", "bin")
EXE = os.path.join(BIN, "varnix32.exe")
HELP_FILE = os.path.join(BIN, "kelvro32-telnet.chm")
ENTRY_TOOL = os.path.join(TOP, "build", "host", "tools", "entry")
SHOTS = os.path.join(TOP, "build", "screenshots")
KEY = r"HKLM\Software\Kelvro32"
TITLE = "Kelvro32-Telnet( - .*)?"  # names the host while connected
GEOMETRY = ("telnetw", "telneth", "telnetx", "telnety")
# Tab stops of the Telnetbook from its list: Connect, New, Edit, Copy, Delete, Close, Help.
BOOK_TABS = {"connect": 1, "new": 2, "edit": 3, "copy": 4, "delete": 5, "close": 6, "help": 7}


class Failure(Exception):
    pass


def check(condition, text):
    if not condition:
        raise Failure(text)


def free_port():
    with socket.create_server(("127.0.0.1", 0)) as s:
        return s.getsockname()[1]


def stop_process(proc):
    if proc.poll() is None:
        proc.terminate()
    proc.wait()


def spawn(stack, argv):
    """A peer process, its errors dropped, ended when the case ends."""
    proc = subprocess.Popen(argv, stderr=subprocess.DEVNULL)
    stack.callback(stop_process, proc)
    return proc


def check_listening(port, text):
    check(wait_for(lambda: subprocess.run(["ss", "-Hltn", "sport = :%d" % port], capture_output=True,
                                          text=True).stdout.strip(), 5), text)


def com_port(desk, stack, number, far):
    """A pseudo-terminal standing for COMn, its far end the socat address far,
    mapped in the prefix's registry; returns its path and the socat process."""
    path = os.path.join(desk.env["WINEPREFIX"], "com%d" % number)
    if os.path.lexists(path):
        os.remove(path)
    proc = spawn(stack, ["socat", "PTY,link=%s,raw,echo=0" % path, far])
    check(wait_for(lambda: os.path.exists(path), 5), "socat made no pseudo-terminal")
    desk.run("wine", "reg", "add", r"HKLM\Software\Wine\Ports", "/v", "COM%d" % number, "/t", "REG_SZ",
             "/d", path, "/f")
    return path, proc


# The bound of every wait for the program: a cold Wine prefix on a loaded
# machine takes tens of seconds for a first start, a first common dialog or a
# first print job; a wait ends as soon as its condition holds.
SLOW = 90


def wait_for(predicate, seconds, step=0.1):
    end = time.time() + seconds
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return predicate()


def write(path, data):
    with open(path, "wb" if isinstance(data, bytes) else "w") as f:
        f.write(data)
    return path


def read(path, mode="r"):
    with open(path, mode, **({} if "b" in mode else {"errors": "replace"})) as f:
        return f.read()


def same_bytes(a, b):
    return os.path.exists(a) and os.path.exists(b) and read(a, "rb") == read(b, "rb")


def wine_path(path):
    return "Z:" + path.replace("/", "\\")


class Desktop:
    """One Xvfb display and an end-to-end Wine prefix (SUITE_E2E_PREFIX names
    another than build/wine-e2e, so that two runs can go side by side)."""

    def __init__(self):
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        number = self.xvfb.stdout.readline().decode().strip()
        self.env = dict(os.environ, DISPLAY=":" + number, SUITE_WINEPREFIX=os.environ.get("SUITE_E2E_PREFIX", os.path.join(TOP, "build", "wine-e2e")))
        # The prefix settings of tools/wine-env, created on first use.
        out = subprocess.run(["bash", "-c", ". tools/wine-env && env"], cwd=TOP, env=self.env,
                             capture_output=True, text=True).stdout
        for line in out.splitlines():
            name, _, value = line.partition("=")
            if name in ("WINEPREFIX", "WINEARCH", "WINEDEBUG", "WINEDLLOVERRIDES"):
                self.env[name] = value

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        self.xvfb.terminate()
        self.xvfb.wait()

    def run(self, *args, **kw):
        return subprocess.run(list(args), env=self.env, capture_output=True, text=True, timeout=2 * SLOW, **kw)

    def reg_set(self, name, value):
        """Sets a value under the suite's key; None deletes it."""
        if value is None:
            self.run("wine", "reg", "delete", KEY, "/v", name, "/f")
        else:
            self.run("wine", "reg", "add", KEY, "/v", name, "/t", "REG_SZ", "/d", str(value), "/f")

    def reg_get(self, name):
        out = self.run("wine", "reg", "query", KEY, "/v", name).stdout
        for line in out.splitlines():
            parts = line.split()
            if len(parts) >= 3 and parts[0].lower() == name.lower():
                return parts[2]
        return None

    def store_geometry(self, values=(None,) * 4):
        for name, value in zip(GEOMETRY, values):
            self.reg_set(name, value)

    def windows(self, title):
        out = self.run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % title).stdout
        return [w for w in out.split() if w]

    def window(self, title, seconds=SLOW):
        found = wait_for(lambda: self.windows(title), seconds)
        check(found, "no window titled %r appeared" % title)
        return found[0]

    def gone(self, title, text, seconds=SLOW):
        check(wait_for(lambda: not self.windows(title), seconds), text)

    def dismiss(self, window, key, title, text):
        """Presses key in window and checks that no window titled title stays."""
        self.keys(window, key)
        self.gone(title, text)

    def keys(self, window, *keys):
        self.run("xdotool", "windowfocus", "--sync", window)
        for k in keys:
            self.run("xdotool", "key", "--clearmodifiers", k)
            time.sleep(0.15)

    def type(self, window, text):
        self.run("xdotool", "windowfocus", "--sync", window)
        self.run("xdotool", "type", "--delay", "25", text)
        self.run("xdotool", "key", "Return")

    def fill(self, window, *fields):
        """Replaces the text of the focused field and of each next one (Tab);
        a field given as None is left as it is."""
        for i, text in enumerate(fields):
            self.keys(window, *(["Tab"] if i else []))
            if text is not None:
                self.keys(window, "ctrl+a")
                self.run("xdotool", "type", "--delay", "25", text)

    def click(self, window, x, y):
        self.run("xdotool", "mousemove", "--window", window, str(x), str(y), "click", "1")

    def geometry(self, window):
        out = self.run("xdotool", "getwindowgeometry", "--shell", window).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def shot(self, name):
        os.makedirs(SHOTS, exist_ok=True)
        self.run("import", "-window", "root", os.path.join(SHOTS, name + ".png"))

    def brightness(self, window, left, top, width, height):
        """Mean brightness (0..1) of a rectangle of the window's client side."""
        x, y, _, _ = self.geometry(window)
        path = os.path.join(tempfile.gettempdir(), "varnix32_e2e_probe.png")
        self.run("import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x + left, y + top), path)
        out = self.run("convert", path, "-format", "%[fx:mean]", "info:").stdout.strip()
        return float(out or 0)

    program = "varnix32.exe"  # whose windows popups() lists

    def popups(self):
        """The program's windows on the screen: its menus among them."""
        pattern = "^%s$" % self.program.replace(".", r"\.")
        return set(self.run("xdotool", "search", "--onlyvisible", "--classname", pattern).stdout.split())

    def menu(self, main, letter, *items):
        """Opens a menu of the main window (Alt and letter) and, once it shows,
        types items: keys typed while the program is still busy (starting,
        printing, closing a dialog) open nothing, or only the menu bar."""
        for _ in range(4):
            before = self.popups()
            self.keys(main, "alt+" + letter)
            if wait_for(lambda: self.popups() - before, SLOW / 4):
                self.keys(main, *items)
                return
            self.keys(main, "Escape")  # a menu bar left selected without its popup
        raise Failure("the menu alt+%s did not open" % letter)

    def menu_exit(self, prog, main, what="File > Exit did not end the program"):
        self.menu(main, "f", "x")
        check(prog.wait_exit(), what)


class Program:
    """varnix32.exe (or the exe of a subclass) started in a fresh program
    directory (or the one given); with trace, Wine's trace of those channels
    goes to wine.log in it."""

    exe = EXE

    def __init__(self, desk, args, directory=None, trace=None):
        self.desk = desk
        self.dir = directory or tempfile.mkdtemp(prefix="varnix32_e2e_")
        self.log = os.path.join(self.dir, "wine.log")
        env = dict(desk.env, WINEDEBUG=trace) if trace else desk.env
        with open(self.log if trace else os.devnull, "w") as err:
            self.proc = subprocess.Popen(["wine", self.exe] + list(args), cwd=self.dir, env=env,
                                         stdout=subprocess.DEVNULL, stderr=err)

    def wait_exit(self, seconds=SLOW):
        try:
            self.proc.wait(seconds)
            return True
        except subprocess.TimeoutExpired:
            return False

    def stop(self):
        # The program runs in a process of the Wine server's, not in the
        # launcher: ending the prefix's processes ends it.
        if self.proc.poll() is None:
            self.desk.run("wineserver", "-k")
            self.proc.wait()
        shutil.rmtree(self.dir, ignore_errors=True)

    def entry_file(self, stem):
        """The entry file of stem, found without regard to case."""
        for path in glob.glob(os.path.join(self.dir, "*")):
            if os.path.basename(path).lower() == (stem + ".tel").lower():
                return path
        return None

    def help_went_to(self, topic):
        """Whether the help window went to topic of the help file. The prefix
        has no HTML engine, so the pane stays blank: the help library's own
        trace shows which topic of which file it went to."""
        navigated = re.compile(r'NavigateToChm \S+ L".*\\\\kelvro32-telnet\.chm" L"/%s"' % re.escape(topic))
        return wait_for(lambda: navigated.search(read(self.log)), SLOW)


def start(desk, stack, args=(), book=103, directory=None, trace=None):
    """varnix32 with the start-up choice book, stopped when the case ends."""
    desk.reg_set("BookBox_Telnet", book)
    prog = Program(desk, args, directory, trace)
    stack.callback(prog.stop)
    return prog


def new_entry(directory, file, *fields):
    """A new entry file of the kind its extension names (tel, phn, ftp)."""
    path = os.path.join(directory, file)
    kind = os.path.splitext(file)[1][1:].lower()
    subprocess.run([ENTRY_TOOL, "new", kind, path], check=True, capture_output=True)
    if fields:
        subprocess.run([ENTRY_TOOL, "set", path] + list(fields), check=True, capture_output=True)
    return path


def entry_dir(*fields, file="127.0.0.1.tel"):
    """A fresh program directory holding one entry file with fields."""
    directory = tempfile.mkdtemp(prefix="varnix32_e2e_")
    new_entry(directory, file, *fields)
    return directory


def entry_values(path):
    out = subprocess.run([ENTRY_TOOL, "show", path], check=True, capture_output=True, text=True).stdout
    return {k.strip(): v.strip() for k, _, v in (line.partition("=") for line in out.splitlines())}


def online(desk, stack, port, *fields):
    """varnix32 connected to 127.0.0.1:port, the host's entry holding fields,
    files received into the program directory's own "Down"; returns the
    program and its main window once the host's first text is drawn."""
    desk.reg_set("DOWNLOAD", None)
    prog = start(desk, stack, ["127.0.0.1", str(port)], directory=entry_dir(*fields))
    main = desk.window(TITLE)
    # Text on the first row below the toolbar: the host's prompt.
    check(wait_for(lambda: desk.brightness(main, 4, 88, 300, 20) > 0.0015, SLOW), "no text from the host drawn")
    return prog, main


class TelnetServer:
    """inetutils telnetd with a shell (or another program in place of the
    login), one session per connection."""

    def __init__(self, program="/bin/sh"):
        self.port = free_port()
        self.proc = subprocess.Popen(
            ["socat", "TCP-LISTEN:%d,bind=127.0.0.1,reuseaddr,fork" % self.port,
             "EXEC:/usr/sbin/telnetd -h -E %s,nofork" % program], stderr=subprocess.DEVNULL)
        wait_for(lambda: subprocess.run(["ss", "-Hltn", "sport = :%d" % self.port], capture_output=True,
                                        text=True).stdout.strip(), 5)

    def stop(self):
        self.proc.terminate()
        self.proc.wait()


def host(stack, script=None):
    """A folder for the host's files and a telnetd whose session runs script
    in it (a shell when None); both go when the case ends."""
    folder = tempfile.mkdtemp(prefix="varnix32_host_")
    os.chmod(folder, 0o755)
    stack.callback(shutil.rmtree, folder, True)
    program = "/bin/sh"
    if script is not None:
        program = write(os.path.join(folder, "host.sh"), "#!/bin/sh\ncd '%s'\n%s\n" % (folder, script))
        os.chmod(program, 0o755)
    server = TelnetServer(program)
    stack.callback(server.stop)
    return folder, server


class StandIn:
    """A loopback host that plays its script, pairs of (text to send, text to
    wait for), and then keeps everything the client sends until stopped."""

    def __init__(self, stack, *script):
        self.sock = socket.create_server(("127.0.0.1", 0))
        self.port = self.sock.getsockname()[1]
        self.script, self.received, self.done = script, b"", threading.Event()
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()
        stack.callback(self.stop)

    def read_until(self, conn, text, seconds):
        end = time.time() + seconds
        while not self.done.is_set() and (text is None or text not in self.received) and time.time() < end:
            try:
                data = conn.recv(4096)
            except socket.timeout:
                continue
            if not data:
                break
            self.received += data
        return text is not None and text in self.received

    def serve(self):
        self.sock.settimeout(SLOW)
        try:
            conn, _ = self.sock.accept()
        except socket.timeout:
            return
        with conn:
            conn.settimeout(0.2)
            for send, expect in self.script:
                conn.sendall(send)
                if expect and not self.read_until(conn, expect, SLOW):
                    return
            self.read_until(conn, None, 600)

    def sizes(self):
        """(columns, rows) of each window-size subnegotiation received."""
        return [(w1[0] * 256 + w2[0], h1[0] * 256 + h2[0])
                for w1, w2, h1, h2 in re.findall(rb"\xff\xfa\x1f(.)(.)(.)(.)\xff\xf0", self.received, re.S)]

    def stop(self):
        self.done.set()
        self.thread.join(5)
        self.sock.close()


def naws_session(desk, stack, *fields):
    """varnix32 connected to a stand-in that asks for window-size reports (DO
    NAWS), the entry holding fields; returns the stand-in, the program and its
    main window once the first report came."""
    standin = StandIn(stack, (b"\xff\xfd\x1fstand-in ready\r\n", None))
    prog = start(desk, stack, ["127.0.0.1", str(standin.port)], directory=entry_dir(*fields))
    check(wait_for(lambda: standin.sizes(), SLOW), "no window-size report after DO NAWS")
    return standin, prog, desk.window(TITLE)


# ---- the session, its connection and its window


def case_session_typed_drawn_closed_saved(desk, stack):
    """Prompt on the screen, typed keys run a command, the host's close brings
    the program offline and saves the entry, the geometry is stored at exit."""
    _, server = host(stack)
    # A stored geometry no screen could show starts at the system's default.
    desk.store_geometry(("99999999", "400", "-5", "7"))
    desk.reg_set("DiscBox_Telnet", 1)
    # Colour output of ls needs the ANSI colour terminal: the host's entry
    # file, found beside the program, says so.
    prog, main = online(desk, stack, server.port, "emulation=2", "terminalId=ansi")
    entry = prog.entry_file("127.0.0.1")
    os.utime(entry, (1, 1))  # so that the save at the disconnect shows
    marker = os.path.join(prog.dir, "typed.txt")
    desk.type(main, "cd /usr; echo typed-$((6*7)) > '%s'; ls --color=always" % marker)
    check(wait_for(lambda: os.path.exists(marker) and read(marker).strip() == "typed-42", SLOW),
          "the typed command did not run")
    time.sleep(0.5)
    online_buttons = desk.brightness(main, 0, 40, 140, 40)
    desk.shot("varnix32_session_colour_ls")
    desk.menu(main, "n")
    desk.shot("varnix32_menu_session")
    desk.keys(main, "t")
    command = desk.window("Send telnet command")
    desk.shot("varnix32_telnet_command")
    desk.keys(command, "Escape")
    # Exit while connected asks first; No keeps the session.
    desk.menu(main, "f", "x")
    desk.keys(desk.window("Message"), "n")
    check(wait_for(lambda: not desk.windows("Message"), SLOW) and prog.proc.poll() is None,
          "answering No to the close warning did not keep the program")
    desk.type(main, "exit")
    box = desk.window("Message")  # "Disconnected"
    saved = wait_for(lambda: (prog.entry_file("127.0.0.1") or "") if os.path.exists(entry) and
                     os.path.getmtime(entry) > 1000 else None, SLOW)
    check(saved and os.path.getsize(saved) == 2424, "127.0.0.1.tel not written when the host closed")
    desk.keys(box, "Return")
    # Start-up choice 103 opens the book again after the session.
    desk.keys(desk.window("Telnetbook"), "Escape")
    desk.shot("varnix32_offline")
    check(abs(desk.brightness(main, 0, 40, 140, 40) - online_buttons) > 0.005,
          "the toolbar did not change back to offline")
    desk.menu_exit(prog, main)
    for name in GEOMETRY:
        value = desk.reg_get(name)
        check(value is not None and value.lstrip("-").isdigit(), "geometry value %s not stored" % name)
    check(int(desk.reg_get("telnetw")) > 100, "stored width is not the window's")


def case_command_lines_refused_failing_or_cancelled(desk, stack):
    """Too long a line, an address longer than the entry's field and a port
    beyond 16 bits end the program with its message and no window; a refused
    connection and an unknown host give their message box; while a connect
    waits, the "Telnet connection" dialog shows what it does and its Cancel
    ends the attempt without an error. After each of the last three the
    program is still there to be closed normally."""
    # A listener whose backlog is full lets no further connect finish.
    listener = stack.enter_context(socket.create_server(("127.0.0.1", 0), backlog=0))
    waiting = listener.getsockname()[1]
    for _ in range(3):
        filler = stack.enter_context(socket.socket())
        filler.setblocking(False)
        filler.connect_ex(("127.0.0.1", waiting))
    for args, window, title in ((["h" * 256], False, "Error"), (["h" * 80, "23"], False, "Error"),
                                (["127.0.0.1", "70000"], False, "Error"),
                                (["127.0.0.1", str(free_port())], True, "Error"),
                                (["no-such-host.invalid", "23"], True, "Error"),
                                (["127.0.0.1", str(waiting)], True, "Telnet connection")):
        prog = start(desk, stack, args)
        main = desk.window(TITLE) if window else None
        box = desk.window(title)
        check(window or not desk.windows(TITLE), "main window opened for a refused command line")
        if title != "Error":
            time.sleep(1)
            desk.shot("varnix32_connect_progress")
            check(desk.windows(title), "the connect ended by itself; the test needs one that waits")
        desk.keys(box, "Return")  # OK, or the dialog's Cancel, its default button
        if window:
            desk.gone(title, "the %s box did not close" % title)
            time.sleep(1)
            check(not desk.windows("Error") and not desk.windows("error"), "an error box after %s" % args)
            check(prog.proc.poll() is None and desk.windows(TITLE), "program gone after %s" % args)
            # The main window takes keys again: the menu opens and Exit ends the program.
            desk.menu(main, "f", "x")
        check(prog.wait_exit(), "program did not end after %r" % args[0][:20])
        prog.stop()


def case_firewall_script_then_telnet(desk, stack):
    """Through the firewall host the script's texts are answered and then the
    Telnet offers are sent."""
    standin = StandIn(stack, (b"Firewall login: ", b"fwuser\r"), (b"\r\nPassword: ", b"fwsecret\r"),
                      (b"\r\nfirewall passed\r\n", None))
    desk.reg_set("FirewallAddressTelnet", "127.0.0.1")
    desk.reg_set("FirewallPortTelnet", standin.port)
    stack.callback(desk.reg_set, "FirewallAddressTelnet", None)
    stack.callback(desk.reg_set, "FirewallPortTelnet", None)
    directory = entry_dir("useFirewall=1", file="target.example.tel")
    write(os.path.join(directory, "pxtel.txt"), 'WAITSTRING "login:"\r\nSEND "fwuser^M"\r\n'
          'WAITSTRING "Password:"\r\nSEND "fwsecret^M"\r\nWAITSTRING "passed"\r\nEXIT\r\n')
    start(desk, stack, ["target.example", "23"], directory=directory)
    desk.window(TITLE)
    check(wait_for(lambda: b"\xff\xfb\x1f" in standin.received, SLOW),
          "no Telnet offers after the firewall script; got %r" % standin.received[:80])
    check(standin.received.index(b"fwsecret\r") < standin.received.index(b"\xff\xfb\x1f"),
          "offers sent before the script ended")


def case_term_resize_one_report_within_limits_and_colours(desk, stack):
    """In Term mode each resize gives the host exactly one report; a window
    too small for 24 x 80 reports 24 x 80 and grows to show 24 rows. The
    entry's background colour is the terminal's once the session starts."""
    desk.store_geometry()
    # VT100 draws in the entry's two colours: here background palette 5 (blue).
    standin, prog, main = naws_session(desk, stack, "resizeMode=1", "emulation=4", "colour2=5")
    check(wait_for(lambda: desk.brightness(main, 40, 200, 200, 100) > 0.05, SLOW),
          "the terminal's empty area is not in the entry's background colour")
    desk.shot("varnix32_entry_colours")
    time.sleep(1.5)
    first = standin.sizes()
    # Maximise and restore through the system menu, as a user would.
    desk.menu(main, "space", "x")
    wait_for(lambda: len(standin.sizes()) > len(first), SLOW)
    time.sleep(1.5)  # time for a second report, which would be one too many
    grown = standin.sizes()[len(first):]
    check(len(grown) == 1, "maximising gave %d reports: %s" % (len(grown), grown))
    check(grown[0][0] > first[-1][0] and grown[0][1] > first[-1][1],
          "report %s after enlarging, %s before" % (grown, first[-1]))
    desk.shot("varnix32_term_resized")
    desk.menu(main, "space", "r")
    wait_for(lambda: len(standin.sizes()) > len(first) + 1, SLOW)
    time.sleep(1.5)
    back = standin.sizes()[len(first) + 1:]
    check(back == [first[-1]], "restoring reported %s, the size before was %s" % (back, first[-1]))
    prog.stop()
    # A window stored smaller than 24 rows and 80 columns.
    desk.store_geometry((320, 160, 0, 0))
    stack.callback(desk.store_geometry)
    standin, _, main = naws_session(desk, stack, "resizeMode=1")
    check(wait_for(lambda: desk.geometry(main)[3] > 360, SLOW),
          "the window was not grown to hold 24 rows: %s" % (desk.geometry(main),))
    time.sleep(1.5)
    check(set(standin.sizes()) == {(80, 24)}, "a too small window reported %s" % standin.sizes())
    desk.shot("varnix32_term_minimum")


def case_dialogs_on_screen_uuencode_and_end_of_windows_session(desk, stack):
    """Screenshots of the splash box, a menu with its hint, the About box and
    the view options, for people to look at. Tools > uuencode on a
    100,000-byte file writes three parts beside it that decode to the file,
    and says so. The end of the Windows session ends the program as an exit
    does, with the window's geometry stored."""
    desk.store_geometry()
    prog = start(desk, stack, book=107)
    # The splash box shows for a second while the window is created.
    end = time.time() + 20
    while time.time() < end and not desk.windows(TITLE):
        desk.shot("varnix32_splash")
        time.sleep(0.2)
    main = desk.window(TITLE)
    time.sleep(0.5)
    desk.menu(main, "s", "Down")
    time.sleep(0.3)
    desk.shot("varnix32_menu_settings")
    desk.keys(main, "Escape", "Escape")
    for menu, title, close, shot in (("h", "About Kelvro32-Telnet", "Return", "about"),
                                     ("s", "View options", "Escape", "view_options")):
        desk.menu(main, menu, shot[0])
        dialog = desk.window(title)
        desk.shot("varnix32_" + shot)
        desk.keys(dialog, close)
    source = write(os.path.join(prog.dir, "payload.bin"), os.urandom(100000))
    desk.menu(main, "t", "e")
    desk.type(desk.window("Open File"), wine_path(source))
    box = desk.window("Message")
    desk.shot("varnix32_uuencode_done")
    desk.keys(box, "Return")
    parts = [os.path.join(prog.dir, "payload%d.uue" % n) for n in (1, 2, 3)]
    check(all(os.path.exists(p) for p in parts), "parts: %s" % sorted(os.listdir(prog.dir)))
    lines = b"".join(read(p, "rb") for p in parts).split(b"\r\n")
    check(lines[0] == b"begin 600 payload.bin", "first line %r" % lines[0])
    data = b"".join(binascii.a2b_uu(l) for l in lines[1:] if l and l not in (b"BEGIN", b"`", b"end"))
    check(data == read(source, "rb"), "the parts do not decode to the file")
    desk.run("wine", "wineboot", "--end-session")
    check(prog.wait_exit(), "program still running after the session ended")
    check(desk.reg_get("telnetw") and int(desk.reg_get("telnetw")) > 0, "geometry not stored")


# ---- transfers: the host's side runs real lrzsz and gkermit behind telnetd


def host_result(folder, name, seconds):
    """The exit status the host's peer wrote to name (None while it runs)."""
    path = os.path.join(folder, name)
    return wait_for(lambda: os.path.exists(path) and read(path).strip(), seconds)


def check_arrived(down, folder, names):
    for name in names:
        check(same_bytes(os.path.join(down, name), os.path.join(folder, name)),
              "%s did not arrive byte-identical in the download folder" % name)


def receive_after(desk, main, command):
    """Types the host's command that starts a send, then Transfer > Receive;
    returns the receive dialog."""
    desk.type(main, command)
    time.sleep(1)
    desk.menu(main, "r", "r")
    return desk.window("File Receiving")


def close_transfer(desk, dialog, shot):
    """The ended transfer's button closes the dialog; a running one would
    only be cancelled and stay."""
    time.sleep(1)
    desk.shot(shot)
    # A click on the caption activates it even after another program had the focus.
    desk.click(dialog, 60, 8)
    desk.keys(dialog, "Escape")
    check(wait_for(lambda: dialog not in desk.windows("File Receiving|Sending"), SLOW),
          "the transfer dialog did not close: the transfer had not ended")


def case_zmodem_autostart_and_jpeg_to_viewer(desk, stack):
    """The host starts sz with no command typed: the receive dialog opens by
    itself, a JPEG and a binary file land byte-identical in the session's
    download folder, and with the real-time view switched on from the menu
    the viewer starts and is fed the picture to its end. The host closes
    right after sz: once the dialog is closed the session ends and its entry
    is saved."""
    folder, server = host(stack, "printf 'host ready\\r\\n'; while [ ! -e go ]; do sleep 0.1; done; "
                                 "sz -q photo.jpg data.bin 2>sz.err; echo $? > sz.rc")
    write(os.path.join(folder, "data.bin"), os.urandom(200000))
    ppm = write(os.path.join(folder, "photo.ppm"),  # a gradient, large enough for several blocks
                b"P6 320 240 255\n" + bytes((x * 7 + y * 3 + c * 50) & 0xFF
                                             for y in range(240) for x in range(320) for c in range(3)))
    with open(os.path.join(folder, "photo.jpg"), "wb") as f:
        subprocess.run(["cjpeg", "-quality", "90", ppm], stdout=f, check=True)
    prog, main = online(desk, stack, server.port)
    entry = prog.entry_file("127.0.0.1")
    os.utime(entry, (1, 1))
    shutil.copy(os.path.join(BIN, "sorlin32.exe"), prog.dir)
    desk.menu(main, "t", "v")  # View JPEG Realtime
    write(os.path.join(folder, "go"), "")
    dialog = desk.window("File Receiving")
    rc = host_result(folder, "sz.rc", 60)
    check(rc == "0", "sz ended with %s: %s" % (rc, read(os.path.join(folder, "sz.err"))[-300:]))
    check_arrived(os.path.join(prog.dir, "Down"), folder, ("photo.jpg", "data.bin"))
    # The viewer has the whole picture only when every block was announced.
    shown = desk.window("PHOTO.JPG 100 % done")
    viewer = desk.run("xdotool", "getwindowpid", shown).stdout.strip()
    check(viewer.isdigit(), "no process for the viewer's window")
    stack.callback(subprocess.run, ["kill", viewer], stderr=subprocess.DEVNULL)
    desk.shot("varnix32_jpeg_viewer_fed")
    subprocess.run(["kill", viewer])
    desk.gone("PHOTO.JPG.*", "the viewer did not stop")
    check(os.path.getmtime(entry) < 1000, "the session ended while the transfer had the line")
    check(not desk.windows("Message"), "a message box came with the transfer")
    close_transfer(desk, dialog, "varnix32_zmodem_autostart_done")
    check(wait_for(lambda: os.path.getmtime(entry) > 1000, SLOW), "the host's close was lost: still online")


def case_zmodem_lookalike_then_kermit_receive_and_send(desk, stack):
    """Text with "**" and CAN but no ZMODEM header (here also "**" CAN "B0"
    and garbage) opens no dialog, and the session goes on. Kermit through the
    Transfer menu against gkermit on the host: a receive into the download
    folder, then a send chosen in the batch list."""
    folder, server = host(stack, "printf 'art **\\030 stars **\\030B0zz\\030\\030 after\\r\\n'; exec /bin/sh")
    write(os.path.join(folder, "k.bin"), os.urandom(150000))
    os.mkdir(os.path.join(folder, "in"))
    prog, main = online(desk, stack, server.port, "transferProtocol=7")
    up = write(os.path.join(prog.dir, "up.bin"), os.urandom(3000000))
    check(not wait_for(lambda: desk.windows("File Receiving"), 4), "a receive opened for text")
    desk.shot("varnix32_zmodem_lookalike")
    # The session still takes commands: the host's gkermit starts.
    dialog = receive_after(desk, main, "cd '%s' && gkermit -q -i -P -e 4000 -s k.bin; echo $? > k.rc" % folder)
    check(host_result(folder, "k.rc", 60) == "0", "gkermit's send did not end with success")
    check_arrived(os.path.join(prog.dir, "Down"), folder, ["k.bin"])
    close_transfer(desk, dialog, "varnix32_kermit_received")
    desk.type(main, "cd in && gkermit -q -i -P -e 4000 -r; echo $? > ../up.rc")
    time.sleep(1)
    desk.menu(main, "r", "Down", "Return")  # "&Send" shares its letter with "Capture &Session"
    batch = desk.window("Batch List")
    desk.keys(batch, "Tab", "Return")  # Add
    desk.type(desk.window("Open File"), wine_path(up))
    desk.gone("Open File", "the file dialog did not take the name")
    time.sleep(0.5)
    desk.shot("varnix32_batch_list")
    desk.keys(batch, "Tab", "Tab", "Return")  # Delete, then Done
    dialog = desk.window("Sending")
    time.sleep(2.5)
    desk.shot("varnix32_transfer_sending")
    check(host_result(folder, "up.rc", 90) == "0", "gkermit's receive did not end with success")
    # Kermit names travel in upper case.
    check(same_bytes(os.path.join(folder, "in", "UP.BIN"), up),
          "up.bin did not arrive byte-identical: %s" % os.listdir(os.path.join(folder, "in")))
    close_transfer(desk, dialog, "varnix32_kermit_sent")


def case_ymodem_receive_from_sb_in_a_window_fitted_to_the_terminal(desk, stack):
    """YMODEM batch from lrzsz's sb on the host: both files arrive whole. With
    resizing "None" the window takes the terminal's 80 x 24 size instead of
    the large geometry it was stored with."""
    folder, server = host(stack)
    write(os.path.join(folder, "y1.bin"), os.urandom(1025))
    write(os.path.join(folder, "y2.bin"), os.urandom(70000))
    desk.store_geometry((1000, 740, 0, 0))
    stack.callback(desk.store_geometry)
    # Raw blocks need the host's BINARY mode, which the entry asks for.
    prog, main = online(desk, stack, server.port, "transferProtocol=4", "binaryMode=1", "resizeMode=0")
    check(wait_for(lambda: desk.geometry(main)[2] < 900, SLOW),
          "window still %s wide in None mode" % (desk.geometry(main),))
    width, height = desk.geometry(main)[2:]
    check(width > 500 and height > 300, "window shrank below the terminal: %dx%d" % (width, height))
    dialog = receive_after(desk, main, "cd '%s' && sb -vv y1.bin y2.bin 2>sb.err; echo $? > sb.rc" % folder)
    rc = host_result(folder, "sb.rc", 90)
    check(rc == "0", "sb ended with %s: %s" % (rc, read(os.path.join(folder, "sb.err"))[-400:]))
    check_arrived(os.path.join(prog.dir, "Down"), folder, ("y1.bin", "y2.bin"))
    close_transfer(desk, dialog, "varnix32_ymodem_received")


def case_ascii_capture_ends_at_the_end_character(desk, stack):
    """An ASCII receive into the file chosen in "Save File" ends at ^D, with
    everything the host sent kept, the end byte too."""
    # No echo: the NUL that starts a receive is not text of the capture.
    folder, server = host(stack, "stty -echo; printf 'host ready\\r\\n'; while [ ! -e go ]; do sleep 0.1; done; "
                                 "cat text.txt; printf '\\004'; sleep 5")
    lines = b"".join(b"line %d of the capture\n" % n for n in range(12000))
    write(os.path.join(folder, "text.txt"), lines)
    prog, main = online(desk, stack, server.port, "transferProtocol=0", "transferEndChar=^D", "binaryMode=1")
    desk.menu(main, "r", "r")
    target = os.path.join(prog.dir, "capture.txt")
    desk.type(desk.window("Save File"), wine_path(target))
    dialog = desk.window("File Receiving")
    write(os.path.join(folder, "go"), "")
    # The host's terminal turns each LF into CR LF.
    expected = lines.replace(b"\n", b"\r\n") + b"\x04"
    check(wait_for(lambda: os.path.exists(target) and read(target, "rb") == expected, SLOW),
          "the capture differs from what the host sent")
    close_transfer(desk, dialog, "varnix32_ascii_received")


# ---- the Telnetbook, Quick Connect and the help


def open_book(desk, book=None):
    """The Telnetbook from the File menu, its list focused (closing the open
    one first)."""
    if book:
        desk.keys(book, "Escape")
    desk.menu(desk.window(TITLE), "f", "t")
    return desk.window("Telnetbook")


def book_row_button(desk, book, row, button):
    """Selects the row (0 = first) of a freshly opened book and presses a button."""
    desk.keys(book, "Home", *(["Down"] * row))
    desk.keys(book, *(["Tab"] * BOOK_TABS[button]), "space")


def book_dialog(desk, book, row, button, title, fields, shot=None):
    """The dialog a button of the book opens for row, its fields filled and
    taken with Enter."""
    book_row_button(desk, book, row, button)
    dialog = desk.window(title)
    desk.fill(dialog, *fields)
    if shot:
        desk.shot(shot)
    desk.keys(dialog, "Return")
    return dialog


def type_and_check(desk, main, prog, name, what):
    """A command typed into the session writes name beside the program."""
    marker = os.path.join(prog.dir, name)
    time.sleep(2)
    desk.type(main, "echo %s > '%s'" % (name, marker))
    check(wait_for(lambda: os.path.exists(marker), SLOW), what)


def case_telnetbook_lists_copies_deletes_connects(desk, stack):
    """Entries sorted without regard to case, a file of the wrong size left
    out, Copy writing a new entry from the selected one, Delete asking first,
    Connect reaching a real telnetd, New and Copy refused... and the empty book."""
    _, server = host(stack)
    directory = tempfile.mkdtemp(prefix="varnix32_e2e_")
    for file, name, address, port in (("zeta.tel", "zeta", "z.example", 0), ("beta.TEL", "beta", "b.example", 23),
                                      ("Alpha.tel", "Alpha", "127.0.0.1", server.port)):
        new_entry(directory, file, "name=" + name, "address=" + address, "port=%d" % port)
    write(os.path.join(directory, "aaaa.tel"), b"\x00" * 100)  # no entry: the wrong size
    prog = start(desk, stack, directory=directory)
    book = desk.window("Telnetbook")
    time.sleep(0.5)
    desk.shot("varnix32_telnetbook")
    # Listed: Alpha, beta, Default, zeta. The fourth row is zeta.
    book_dialog(desk, book, 3, "copy", "Copy settings to new host", ("zeta2", "z2.example"), "varnix32_telnetbook_copy")
    check(wait_for(lambda: prog.entry_file("zeta2"), SLOW), "Copy did not create zeta2.TEL")
    copied = entry_values(prog.entry_file("zeta2"))
    check(copied.get("address") == "z2.example" and copied.get("name") == "zeta2", "the copy holds %r" % copied)
    check(entry_values(prog.entry_file("zeta")).get("address") == "z.example", "the source entry changed")
    # New starts from the template in the configuration sheet; Edit
    # changes an entry whose name stays. Row 0 is Alpha.
    book = open_book(desk, book)
    book_dialog(desk, book, 0, "new", "Configuration", ("fresh", "fresh.example"), "varnix32_telnetbook_new")
    check(wait_for(lambda: prog.entry_file("fresh"), SLOW), "New did not create fresh.TEL")
    fresh = entry_values(prog.entry_file("fresh"))
    check(fresh.get("address") == "fresh.example" and fresh.get("emulation") == "4", "the new entry holds %r" % fresh)
    # Row 3 is now fresh; its name is read-only here.
    book = open_book(desk, book)
    book_dialog(desk, book, 3, "edit", "Configuration", (None, "edited.example"), "varnix32_telnetbook_edit")
    check(wait_for(lambda: entry_values(prog.entry_file("fresh")).get("address") == "edited.example", SLOW),
          "Edit did not change the entry's address")
    check(len([f for f in os.listdir(prog.dir) if f.lower().endswith(".tel")]) == 7,
          "Edit left another file: %s" % os.listdir(prog.dir))
    # A copy named with a path separator is refused and writes nothing outside.
    book = open_book(desk, book)
    copy = book_dialog(desk, book, 0, "copy", "Copy settings to new host", ["../escaped"])
    desk.keys(desk.window("Error"), "Return")
    desk.keys(copy, "Escape")
    check(not glob.glob(os.path.join(os.path.dirname(directory), "escaped*")), "a copy was written outside")
    # Delete asks; No keeps the file, Yes removes it. Row 1 is beta.
    for answer, kept, failure in (("n", True, "No deleted the entry"), ("y", False, "Yes did not delete beta.TEL")):
        book = open_book(desk, book)
        book_row_button(desk, book, 1, "delete")
        desk.keys(desk.window("Message"), answer)
        check(wait_for(lambda: bool(prog.entry_file("beta")) == kept, SLOW), failure)
    # Connect on the first row reaches the host of Alpha.
    book = open_book(desk, book)
    desk.keys(book, "Home", "Return")
    desk.gone("Telnetbook", "Connect did not close the book")
    main = desk.window(TITLE)
    type_and_check(desk, main, prog, "booked.txt", "the session to Alpha's host did not run the command")
    desk.type(main, "exit")
    desk.keys(desk.window("Message"), "Return")  # "Disconnected"


def case_telnetbook_empty_book(desk, stack):
    """With every entry deleted the buttons that need a selection do nothing;
    the book still closes and opens."""
    prog = start(desk, stack)
    book = desk.window("Telnetbook")
    book_row_button(desk, book, 0, "delete")  # the only entry: Default
    desk.keys(desk.window("Message"), "y")
    check(wait_for(lambda: not prog.entry_file("Default"), SLOW), "Default.tel was not deleted")
    time.sleep(0.3)
    desk.shot("varnix32_telnetbook_empty")
    # Opened again: Enter (Connect) does nothing, and Tab skips the four
    # disabled buttons, so the second Tab reaches Close.
    book = open_book(desk, book)
    desk.keys(book, "Return")
    time.sleep(0.5)
    check(desk.windows("Telnetbook"), "Connect acted in an empty book")
    desk.keys(book, "Tab", "Tab", "space")
    desk.gone("Telnetbook", "the selection buttons of an empty book are enabled")


def case_quick_connect_saves_entry_and_connects(desk, stack):
    """Quick Connect to a typed address and port: the entry is in the book
    with the template's settings and the session reaches the telnetd."""
    _, server = host(stack)
    prog = start(desk, stack, book=106)
    quick = desk.window("Quick Connect")
    desk.fill(quick, "127.0.0.1", str(server.port))
    desk.shot("varnix32_quick_connect")
    desk.keys(quick, "Return")
    check(wait_for(lambda: prog.entry_file("127.0.0.1"), SLOW), "no entry file for 127.0.0.1")
    values = entry_values(prog.entry_file("127.0.0.1"))
    check(values.get("port") == str(server.port) and values.get("name") == "127.0.0.1" and
          values.get("emulation") == "4", "the saved entry holds %r" % values)
    check(os.path.getsize(prog.entry_file("127.0.0.1")) == 2424, "the entry file has the wrong size")
    type_and_check(desk, desk.window(TITLE), prog, "quick.txt", "the quick connection did not run the command")


def case_refused_quick_connect_leaves_saved_entry_alone(desk, stack):
    """Quick Connect to the address of a saved entry with another port that
    refuses: the error box, and the entry file is byte for byte as saved."""
    directory = entry_dir("name=127.0.0.1", "address=127.0.0.1", "port=35105", "emulation=2")
    saved = read(os.path.join(directory, "127.0.0.1.tel"), "rb")
    prog = start(desk, stack, book=106, directory=directory)
    quick = desk.window("Quick Connect")
    desk.fill(quick, "127.0.0.1", str(free_port()))
    desk.keys(quick, "Return")
    box = desk.window("Error", 30)
    desk.keys(box, "Return")
    desk.gone("Error", "the Error box did not close")
    check(entry_values(prog.entry_file("127.0.0.1")).get("port") == "35105",
          "the refused quick connection changed the saved entry: %r" % entry_values(prog.entry_file("127.0.0.1")))
    check(read(prog.entry_file("127.0.0.1"), "rb") == saved, "the saved entry file changed")
    desk.menu_exit(prog, desk.window(TITLE))
    # A quick session on that entry that runs and ends leaves it alone too.
    _, server = host(stack)
    desk.reg_set("DiscBox_Telnet", 1)
    prog = start(desk, stack, book=106, directory=directory)
    quick = desk.window("Quick Connect")
    desk.fill(quick, "127.0.0.1", str(server.port))
    desk.keys(quick, "Return")
    main = desk.window(TITLE)
    check(wait_for(lambda: desk.brightness(main, 4, 88, 300, 20) > 0.0015, 15), "no text from the host drawn")
    desk.type(main, "exit")
    desk.keys(desk.window("Message", 15), "Return")  # "Disconnected"
    check(read(prog.entry_file("127.0.0.1"), "rb") == saved, "the quick session wrote the saved entry back")
    name = desk.run("xdotool", "getwindowname", main).stdout.strip()
    check(name == "Kelvro32-Telnet", "the title offline is %r" % name)
    desk.keys(desk.window("Quick Connect", 10), "Escape")  # start-up choice 106 asks again
    desk.menu_exit(prog, main)


def case_msdos_button_starts_the_comspec_shell(desk, stack):
    """The MS-DOS button starts the shell COMSPEC names (Wine has no
    command.com): its console window opens and no "cannot start" box."""
    prog = start(desk, stack, book=107)
    main = desk.window(TITLE)
    before = set(desk.run("xdotool", "search", "--onlyvisible", "--name", ".").stdout.split())
    desk.click(main, 300, 62)
    def console():
        now = set(desk.run("xdotool", "search", "--onlyvisible", "--name", "cmd").stdout.split())
        return [w for w in now if w not in before]
    shell = wait_for(console, 20)
    check(not desk.windows("Message"), "the MS-DOS button gave a message box")
    check(shell, "no command interpreter window opened")
    desk.shot("varnix32_msdos_shell")
    desk.type(shell[0], "exit")  # the interpreter ends and its console goes
    check(wait_for(lambda: not console(), 10), "the command interpreter did not end")
    desk.click(main, 400, 300)  # without a window manager nothing activates the window again
    desk.menu_exit(prog, main)


def case_bash_prompts_once_per_enter_and_extended_colours(desk, stack):
    """bash sends its bracketed-paste mode before every prompt: each Enter in
    the window still gives one prompt (bash counts them into a file). Then
    256-colour and RGB renditions and ls with 256-colour codes in the ANSI
    colour terminal, looked at in screenshots."""
    folder, server = host(stack, "PS1='$ ' PROMPT_COMMAND='echo p >> prompts' exec /bin/bash --norc -i")
    prompts = os.path.join(folder, "prompts")
    prog, main = online(desk, stack, server.port, "emulation=2", "terminalId=ansi")
    count = lambda: read(prompts).count("p") if os.path.exists(prompts) else 0
    check(wait_for(lambda: count() == 1, 15), "no first prompt from bash")
    for presses in range(1, 4):
        desk.keys(main, "Return")
        check(wait_for(lambda: count() >= presses + 1, 10), "no prompt after Enter %d" % presses)
        time.sleep(0.7)  # time for a prompt too many
        check(count() == presses + 1, "%d prompts after %d Enters" % (count(), presses))
    desk.shot("varnix32_bash_several_enters")
    desk.type(main, "printf '\\033[38;5;196mRED \\033[48;5;21mON-BLUE\\033[0m \\033[1;38;2;0;255;0mGREEN\\033[0m\\n'")
    desk.type(main, "LS_COLORS='di=38;5;33:ln=38;5;208:ex=48;5;22;38;5;231' ls --color=always /usr /bin 2>/dev/null | head -8")
    check(wait_for(lambda: count() == 6, 10), "the commands did not end at a prompt each")
    time.sleep(0.5)
    desk.shot("varnix32_ls_256_colours")


def case_exit_while_connected_asks_once(desk, stack):
    """File > Exit while connected asks one question; Yes ends the session and
    the program without a second box, even with the "Disconnected" box on."""
    _, server = host(stack)
    desk.reg_set("DiscBox_Telnet", 1)
    desk.reg_set("WarnClose_Telnet", 1)
    prog, main = online(desk, stack, server.port)
    name = desk.run("xdotool", "getwindowname", main).stdout.strip()
    check(name == "Kelvro32-Telnet - 127.0.0.1", "the title while connected is %r" % name)
    desk.keys(main, "alt+f", "x")
    box = desk.window("Message", 10)
    time.sleep(0.5)
    desk.shot("varnix32_exit_question")
    boxes = []
    desk.keys(box, "y")
    deadline = time.time() + 20
    while prog.proc.poll() is None and time.time() < deadline:
        boxes += [w for w in desk.windows("Message") if w != box and w not in boxes]
        time.sleep(0.1)
    check(not boxes, "a second box after the exit question")
    check(prog.wait_exit(5), "Yes did not end the program")


# ---- the configuration sheet from the Settings menu


def case_settings_menu_sheet_and_session_capture(desk, stack):
    """Settings > Terminal Prefs. opens the sheet on the terminal page and OK
    saves the connected entry; the "Session capture" box of Settings > Default
    Dir starts and stops the capture of the running session."""
    _, server = host(stack)
    desk.reg_set("SESSION", None)  # made anew under this program directory
    prog, main = online(desk, stack, server.port)
    desk.menu(main, "s", "t")
    sheet = desk.window("Configuration")
    time.sleep(0.5)
    desk.shot("varnix32_sheet_terminal_from_menu")
    desk.keys(sheet, "End", "Return")  # the terminal list has the focus: IBM3151
    desk.gone("Configuration", "OK did not close the sheet")
    check(entry_values(prog.entry_file("127.0.0.1")).get("emulation") == "10",
          "the terminal page's choice did not reach the entry file")
    log = os.path.join(prog.dir, "Log", "127.0.0.1.log")
    for turn in ("on", "off"):
        desk.menu(main, "s", "d")
        sheet = desk.window("Configuration")
        time.sleep(0.5)
        desk.click(sheet, 36, 197)
        time.sleep(0.3)
        desk.shot("varnix32_sheet_default_dir_capture")
        desk.keys(sheet, "Return")
        desk.gone("Configuration", "OK did not close the sheet")
        if turn == "on":
            check(wait_for(lambda: os.path.exists(log), SLOW), "turning capture on while online opened no log")
            desk.type(main, "echo captured-$((6*7))")
            time.sleep(1)
    check(wait_for(lambda: "captured-42" in read(log), SLOW),
          "the log does not hold the session's output after capture was turned off")


def case_help_buttons_open_their_topics(desk, stack):
    """The Help button of the book opens the HTML Help window on its topic of
    the compiled help file beside the program; "Edit Script" of the Firewall
    page opens the firewall script in notepad; the Help button of the sheet
    opens the topic of the page shown (the Protocols page, opened by Settings
    > Protocol)."""
    directory = tempfile.mkdtemp(prefix="varnix32_e2e_")
    shutil.copy(HELP_FILE, directory)
    write(os.path.join(directory, "pxtel.txt"), "EXIT\r\n")
    prog = start(desk, stack, directory=directory, trace="trace+htmlhelp")
    book = desk.window("Telnetbook")
    desk.keys(book, *(["Tab"] * BOOK_TABS["help"]), "space")
    help_window = desk.window("Kelvro32-Telnet Help")
    time.sleep(1)
    desk.shot("varnix32_help_telnetbook")
    check(prog.help_went_to("telnet_telnetbook.html"), "the help window did not go to the Telnetbook topic")
    desk.keys(help_window, "alt+F4")
    desk.gone("Kelvro32-Telnet Help", "the help window did not close")
    desk.keys(book, "Escape")
    main = desk.window(TITLE)
    time.sleep(0.5)
    desk.menu(main, "s", "p")
    sheet = desk.window("Configuration")
    time.sleep(0.5)
    _, _, width, height = desk.geometry(sheet)
    # The Firewall tab, the last one, and its "Edit Script".
    desk.click(sheet, 459, 38)
    time.sleep(0.5)
    desk.click(sheet, 76, 150)
    desk.keys(desk.window("pxtel.txt - Notepad"), "alt+F4")
    desk.gone("pxtel.txt - Notepad", "notepad did not close")
    desk.click(sheet, 175, 38)  # back to Protocols
    time.sleep(0.5)
    desk.click(sheet, width - 50, height - 20)  # Help, in the lower right corner
    desk.window("Kelvro32-Telnet Help")
    check(prog.help_went_to("protocols.html"), "the sheet's Help did not go to the Protocols topic")


def menu_dialog(desk, main, key, title):
    """The dialog a File menu command opens: on a cold prefix the first print
    dialog takes many seconds, and keys typed meanwhile would reach it."""
    desk.menu(main, "f", key)
    return desk.window(title)


def case_print_setup_printer_kept_across_runs(desk, stack):
    """The printer picked in Print Setup is stored at once, and the next run's
    Print Buffer goes to it."""
    where = os.environ.get("SUITE_TEST_PRINT_DIR", "")
    check(where, "tests/win32/run starts the print queues")
    raw = os.path.join(where[2:].replace("\\", "/"), "raw")
    desk.reg_set("Printer", None)
    stack.callback(desk.reg_set, "Printer", None)
    prog = start(desk, stack, book=107)
    main = desk.window(TITLE)
    setup = menu_dialog(desk, main, "s", "Print Setup")
    desk.keys(setup, "alt+n", "R")
    desk.shot("varnix32_print_setup")
    desk.keys(setup, "Return")
    check(wait_for(lambda: desk.reg_get("Printer") == "RAWCAP", SLOW), "the choice was not stored")
    desk.menu_exit(prog, main)
    before = set(os.listdir(raw))
    prog = start(desk, stack, book=107)
    log = write(os.path.join(prog.dir, "kept.log"), "to the kept printer\r\n")
    main = desk.window(TITLE)
    desk.type(menu_dialog(desk, main, "l", "Open"), wine_path(log))
    # A finished job: its file is renamed from ".part" once the printer has it all.
    check(wait_for(lambda: [f for f in set(os.listdir(raw)) - before if f.endswith(".prn")], SLOW),
          "the next run printed elsewhere")
    desk.menu_exit(prog, main)


CASES = [v for k, v in list(globals().items()) if k.startswith("case_")]


def run_cases(all_cases, suite, program="varnix32.exe"):
    """Runs the cases whose names hold an argument (all without one) as
    GoogleTest-style lines of suite, on a desktop where program runs; 1 when
    any failed."""
    wanted = sys.argv[1:]
    cases = [c for c in all_cases if not wanted or any(w in c.__name__ for w in wanted)]
    desk = Desktop()
    desk.program = program
    passed, failed = 0, []
    try:
        for case in cases:
            name = suite + "." + case.__name__[5:]
            print("[ RUN      ] " + name, flush=True)
            start_time = time.time()
            try:
                with contextlib.ExitStack() as stack:
                    try:
                        case(desk, stack)
                    except Exception:  # the screen as the case left it, before its clean-up
                        desk.shot("failed_" + case.__name__[5:])
                        raise
                passed += 1
                print("[       OK ] %s (%d ms)" % (name, (time.time() - start_time) * 1000), flush=True)
            except Exception as e:  # a failed check or a broken step: both fail the case
                failed.append(name)
                detail = str(e) if isinstance(e, Failure) else traceback.format_exc()
                print("failure: " + detail, flush=True)
                print("[  FAILED  ] %s (%d ms)" % (name, (time.time() - start_time) * 1000), flush=True)
    finally:
        desk.close()
    print("[  PASSED  ] %d tests." % passed)
    if failed:
        print("[  FAILED  ] %d tests, listed below:" % len(failed))
        for name in failed:
            print("[  FAILED  ] " + name)
    return 1 if failed else 0


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(run_cases(CASES, "Varnix32EndToEnd"))
