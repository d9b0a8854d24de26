#!/usr/bin/python3
"""varnix32 from start to exit under Wine, driven as a user drives it: the
real program, keys typed through the X keyboard with xdotool, a real telnetd
or a loopback stand-in on the far side, the file system and the registry
checked afterwards. Prints GoogleTest-style result lines for ./test."""
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
EXE = os.path.join(TOP, "build", "target", "bin", "varnix32.exe")
ENTRY_TOOL = os.path.join(TOP, "build", "host", "tools", "entry")
SHOTS = os.path.join(TOP, "build", "screenshots")
KEY = r"HKLM\Software\Kelvro32"
TITLE = "Kelvro32-Telnet"


class Failure(Exception):
    pass


def check(condition, text):
    if not condition:
        raise Failure(text)


def free_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def wait_for(predicate, seconds, step=0.1):
    end = time.time() + seconds
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return predicate()


class Desktop:
    """One Xvfb display and the suite's end-to-end Wine prefix."""

    def __init__(self):
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        number = self.xvfb.stdout.readline().decode().strip()
        self.env = dict(os.environ, DISPLAY=":" + number, SUITE_WINEPREFIX=os.path.join(TOP, "build", "wine-e2e"))
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
        return subprocess.run(list(args), env=self.env, capture_output=True, text=True, timeout=60, **kw)

    def reg_set(self, name, value):
        self.run("wine", "reg", "add", KEY, "/v", name, "/t", "REG_SZ", "/d", str(value), "/f")

    def reg_delete(self, name):
        self.run("wine", "reg", "delete", KEY, "/v", name, "/f")

    def reg_get(self, name):
        out = self.run("wine", "reg", "query", KEY, "/v", name).stdout
        for line in out.splitlines():
            parts = line.split()
            if len(parts) >= 3 and parts[0].lower() == name.lower():
                return parts[2]
        return None

    def windows(self, title):
        out = self.run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % title).stdout
        return [w for w in out.split() if w]

    def window(self, title, seconds=20):
        found = wait_for(lambda: self.windows(title), seconds)
        check(found, "no window titled %r appeared" % title)
        return found[0]

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
        """Replaces the text of the focused field and of each next one (Tab)."""
        for i, text in enumerate(fields):
            self.keys(window, *(["Tab"] if i else []), "ctrl+a")
            self.run("xdotool", "type", "--delay", "25", text)

    def geometry(self, window):
        out = self.run("xdotool", "getwindowgeometry", "--shell", window).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def shot(self, name):
        os.makedirs(SHOTS, exist_ok=True)
        path = os.path.join(SHOTS, name + ".png")
        self.run("import", "-window", "root", path)
        return path

    def brightness(self, window, left, top, width, height):
        """Mean brightness (0..1) of a rectangle of the window's client side."""
        x, y, _, _ = self.geometry(window)
        path = os.path.join(tempfile.gettempdir(), "varnix32_e2e_probe.png")
        self.run("import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x + left, y + top), path)
        out = self.run("convert", path, "-format", "%[fx:mean]", "info:").stdout.strip()
        return float(out or 0)


class Program:
    """varnix32.exe started in a fresh program directory."""

    def __init__(self, desk, args, directory=None):
        self.desk = desk
        self.dir = directory or tempfile.mkdtemp(prefix="varnix32_e2e_")
        self.proc = subprocess.Popen(["wine", EXE] + list(args), cwd=self.dir, env=desk.env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def wait_exit(self, seconds=30):
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


class FirewallStandIn:
    """A loopback host that asks for the firewall script's texts and then
    records what the client sends."""

    def __init__(self):
        self.sock = socket.socket()
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(1)
        self.port = self.sock.getsockname()[1]
        self.received = b""
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def read_until(self, conn, text, seconds=15):
        end = time.time() + seconds
        while text not in self.received and time.time() < end:
            conn.settimeout(max(0.1, end - time.time()))
            try:
                data = conn.recv(4096)
            except socket.timeout:
                break
            if not data:
                break
            self.received += data
        return text in self.received

    def serve(self):
        self.sock.settimeout(30)
        try:
            conn, _ = self.sock.accept()
        except socket.timeout:
            return
        with conn:
            conn.sendall(b"Firewall login: ")
            if not self.read_until(conn, b"fwuser\r"):
                return
            conn.sendall(b"\r\nPassword: ")
            if not self.read_until(conn, b"fwsecret\r"):
                return
            conn.sendall(b"\r\nfirewall passed\r\n")
            # The Telnet session starts with the client's offers.
            self.read_until(conn, b"\xff\xfb\x1f", 15)
            time.sleep(0.5)


class NawsStandIn:
    """A loopback host that asks for window-size reports (DO NAWS) and keeps
    every size the client reports, in order."""

    def __init__(self):
        self.sock = socket.socket()
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(1)
        self.port = self.sock.getsockname()[1]
        self.received = b""
        self.done = threading.Event()
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def serve(self):
        self.sock.settimeout(30)
        try:
            conn, _ = self.sock.accept()
        except socket.timeout:
            return
        with conn:
            conn.sendall(b"\xff\xfd\x1fstand-in ready\r\n")
            conn.settimeout(0.2)
            while not self.done.is_set():
                try:
                    data = conn.recv(4096)
                except socket.timeout:
                    continue
                if not data:
                    break
                self.received += data

    def sizes(self):
        """(columns, rows) of each window-size subnegotiation received."""
        return [(w1[0] * 256 + w2[0], h1[0] * 256 + h2[0])
                for w1, w2, h1, h2 in re.findall(rb"\xff\xfa\x1f(.)(.)(.)(.)\xff\xf0", self.received, re.S)]

    def stop(self):
        self.done.set()
        self.thread.join(5)
        self.sock.close()


# ---- the cases


def case_session_typed_drawn_closed_saved(desk):
    """Prompt on the screen, typed keys run a command, the host's close brings
    the program offline and saves the entry, the geometry is stored at exit."""
    server = TelnetServer()
    prog = None
    try:
        # A stored geometry no screen could show starts at the system's default.
        for name, value in (("telnetw", "99999999"), ("telneth", "400"), ("telnetx", "-5"), ("telnety", "7")):
            desk.reg_set(name, value)
        desk.reg_set("BookBox_Telnet", 103)
        desk.reg_set("DiscBox_Telnet", 1)
        # Colour output of ls needs the ANSI colour terminal: the host's entry
        # file, found beside the program, says so.
        directory = tempfile.mkdtemp(prefix="varnix32_e2e_")
        entry = os.path.join(directory, "127.0.0.1.tel")
        subprocess.run([ENTRY_TOOL, "new", "tel", entry], check=True, capture_output=True)
        subprocess.run([ENTRY_TOOL, "set", entry, "emulation=2", "terminalId=ansi"], check=True, capture_output=True)
        os.utime(entry, (1, 1))  # so that the save at the disconnect shows
        prog = Program(desk, ["127.0.0.1", str(server.port)], directory)
        main = desk.window(TITLE)
        # The shell's prompt is drawn on the first text row below the toolbar.
        check(wait_for(lambda: desk.brightness(main, 4, 88, 300, 20) > 0.0015, 15), "no prompt drawn")
        offline_buttons = None
        marker = os.path.join(prog.dir, "typed.txt")
        desk.type(main, "cd /usr; echo typed-$((6*7)) > '%s'; ls --color=always" % marker)
        check(wait_for(lambda: os.path.exists(marker) and open(marker).read().strip() == "typed-42", 15),
              "the typed command did not run")
        time.sleep(0.5)
        online_buttons = desk.brightness(main, 0, 40, 140, 40)
        desk.shot("varnix32_session_colour_ls")
        desk.keys(main, "alt+n")
        desk.shot("varnix32_menu_session")
        desk.keys(main, "t")
        command = desk.window("Send telnet command", 10)
        desk.shot("varnix32_telnet_command")
        desk.keys(command, "Escape")
        # Exit while connected asks first; No keeps the session.
        desk.keys(main, "alt+f", "x")
        desk.keys(desk.window("Message", 10), "n")
        check(wait_for(lambda: not desk.windows("Message"), 5) and prog.proc.poll() is None,
              "answering No to the close warning did not keep the program")
        desk.type(main, "exit")
        box = desk.window("Message", 15)  # "Disconnected"
        saved = wait_for(lambda: (prog.entry_file("127.0.0.1") or "") if os.path.exists(entry) and
                         os.path.getmtime(entry) > 1000 else None, 10)
        check(saved and os.path.getsize(saved) == 2424, "127.0.0.1.tel not written when the host closed")
        desk.keys(box, "Return")
        # Start-up choice 103 opens the book again after the session.
        desk.keys(desk.window("Telnetbook", 10), "Escape")
        offline_buttons = desk.brightness(main, 0, 40, 140, 40)
        desk.shot("varnix32_offline")
        check(abs(offline_buttons - online_buttons) > 0.005, "the toolbar did not change back to offline")
        desk.keys(main, "alt+f", "x")
        check(prog.wait_exit(20), "File > Exit did not end the program")
        for name in ("telnetw", "telneth", "telnetx", "telnety"):
            value = desk.reg_get(name)
            check(value is not None and value.lstrip("-").isdigit(), "geometry value %s not stored" % name)
        check(int(desk.reg_get("telnetw")) > 100, "stored width is not the window's")
    finally:
        if prog:
            prog.stop()
        server.stop()


def case_failed_connections_leave_program_usable(desk):
    """A refused connection and an unknown host give their message box and the
    program is still there to be closed normally."""
    desk.reg_set("BookBox_Telnet", 103)
    for args in (["127.0.0.1", str(free_port())], ["no-such-host.invalid", "23"]):
        prog = Program(desk, args)
        try:
            main = desk.window(TITLE)
            box = desk.window("Error", 30)
            desk.keys(box, "Return")
            check(wait_for(lambda: not desk.windows("Error"), 5), "the error box did not close")
            check(prog.proc.poll() is None and desk.windows(TITLE), "program gone after %s" % args)
            desk.keys(main, "alt+f", "x")
            check(prog.wait_exit(20), "program did not exit after a failed connection to %s" % args)
        finally:
            prog.stop()


def case_bad_command_lines_refused(desk):
    """Too long a line, an address longer than the entry's field and a port
    beyond 16 bits end the program with its message and no window."""
    for args in (["h" * 256], ["h" * 80, "23"], ["127.0.0.1", "70000"]):
        prog = Program(desk, args)
        try:
            box = desk.window("Error", 20)
            check(not desk.windows(TITLE), "main window opened for a refused command line")
            desk.keys(box, "Return")
            check(prog.wait_exit(15), "program did not end after refusing %r" % args[0][:20])
        finally:
            prog.stop()


def case_firewall_script_then_telnet(desk):
    """Through the firewall host the script's texts are answered and then the
    Telnet offers are sent."""
    standin = FirewallStandIn()
    desk.reg_set("BookBox_Telnet", 103)
    desk.reg_set("FirewallAddressTelnet", "127.0.0.1")
    desk.reg_set("FirewallPortTelnet", standin.port)
    directory = tempfile.mkdtemp(prefix="varnix32_e2e_")
    entry = os.path.join(directory, "target.example.tel")
    subprocess.run([ENTRY_TOOL, "new", "tel", entry], check=True, capture_output=True)
    subprocess.run([ENTRY_TOOL, "set", entry, "useFirewall=1"], check=True, capture_output=True)
    with open(os.path.join(directory, "pxtel.txt"), "w") as f:
        f.write('WAITSTRING "login:"\r\nSEND "fwuser^M"\r\nWAITSTRING "Password:"\r\nSEND "fwsecret^M"\r\n'
                'WAITSTRING "passed"\r\nEXIT\r\n')
    prog = Program(desk, ["target.example", "23"], directory)
    try:
        desk.window(TITLE)
        check(wait_for(lambda: b"\xff\xfb\x1f" in standin.received, 40),
              "no Telnet offers after the firewall script; got %r" % standin.received[:80])
        check(standin.received.index(b"fwsecret\r") < standin.received.index(b"\xff\xfb\x1f"),
              "offers sent before the script ended")
    finally:
        prog.stop()
        desk.reg_delete("FirewallAddressTelnet")
        desk.reg_delete("FirewallPortTelnet")


def case_term_resize_reports_new_size(desk):
    """In Term mode, enlarging the window tells the server the new size."""
    server = TelnetServer()
    desk.reg_set("BookBox_Telnet", 103)
    directory = tempfile.mkdtemp(prefix="varnix32_e2e_")
    entry = os.path.join(directory, "127.0.0.1.tel")
    subprocess.run([ENTRY_TOOL, "new", "tel", entry], check=True, capture_output=True)
    subprocess.run([ENTRY_TOOL, "set", entry, "resizeMode=1"], check=True, capture_output=True)
    prog = Program(desk, ["127.0.0.1", str(server.port)], directory)
    try:
        main = desk.window(TITLE)
        check(wait_for(lambda: desk.brightness(main, 4, 88, 300, 20) > 0.0015, 15), "no prompt drawn")
        sizes = os.path.join(prog.dir, "sizes.txt")
        desk.type(main, "stty size > '%s'" % sizes)
        check(wait_for(lambda: os.path.exists(sizes) and open(sizes).read().strip(), 10), "stty did not run")
        before = open(sizes).read().split()
        # Maximise through the system menu, as a user would.
        desk.keys(main, "alt+space", "x")
        time.sleep(1.5)
        desk.type(main, "stty size >> '%s'" % sizes)
        check(wait_for(lambda: len(open(sizes).read().split()) == 4, 10), "second stty did not run")
        after = open(sizes).read().split()[2:]
        check(int(after[0]) > int(before[0]) and int(after[1]) > int(before[1]),
              "size %s after enlarging, %s before" % (after, before))
        desk.shot("varnix32_term_resized")
    finally:
        prog.stop()
        server.stop()


def case_term_resize_one_report_within_limits(desk):
    """In Term mode each resize gives the host exactly one report; a window
    too small for 24 x 80 reports 24 x 80 and grows to show 24 rows."""
    desk.reg_set("BookBox_Telnet", 103)

    def term_entry_directory():
        directory = tempfile.mkdtemp(prefix="varnix32_e2e_")
        entry = os.path.join(directory, "127.0.0.1.tel")
        subprocess.run([ENTRY_TOOL, "new", "tel", entry], check=True, capture_output=True)
        subprocess.run([ENTRY_TOOL, "set", entry, "resizeMode=1"], check=True, capture_output=True)
        return directory

    for name in ("telnetw", "telneth", "telnetx", "telnety"):
        desk.reg_delete(name)
    standin = NawsStandIn()
    prog = Program(desk, ["127.0.0.1", str(standin.port)], term_entry_directory())
    try:
        main = desk.window(TITLE)
        check(wait_for(lambda: standin.sizes(), 20), "no window-size report after DO NAWS")
        time.sleep(1.5)
        first = standin.sizes()
        # Maximise and restore through the system menu, as a user would.
        desk.keys(main, "alt+space", "x")
        time.sleep(2)
        grown = standin.sizes()[len(first):]
        check(len(grown) == 1, "maximising gave %d reports: %s" % (len(grown), grown))
        check(grown[0][0] > first[-1][0] and grown[0][1] > first[-1][1],
              "report %s after enlarging, %s before" % (grown, first[-1]))
        desk.keys(main, "alt+space", "r")
        time.sleep(2)
        back = standin.sizes()[len(first) + 1:]
        check(back == [first[-1]], "restoring reported %s, the size before was %s" % (back, first[-1]))
    finally:
        prog.stop()
        standin.stop()
    # A window stored smaller than 24 rows and 80 columns.
    for name, value in (("telnetw", 320), ("telneth", 160), ("telnetx", 0), ("telnety", 0)):
        desk.reg_set(name, value)
    standin = NawsStandIn()
    prog = Program(desk, ["127.0.0.1", str(standin.port)], term_entry_directory())
    try:
        main = desk.window(TITLE)
        check(wait_for(lambda: standin.sizes(), 20), "no window-size report after DO NAWS")
        check(wait_for(lambda: desk.geometry(main)[3] > 360, 10),
              "the window was not grown to hold 24 rows: %s" % (desk.geometry(main),))
        time.sleep(1.5)
        check(set(standin.sizes()) == {(80, 24)}, "a too small window reported %s" % standin.sizes())
        desk.shot("varnix32_term_minimum")
    finally:
        prog.stop()
        standin.stop()
        for name in ("telnetw", "telneth", "telnetx", "telnety"):
            desk.reg_delete(name)


def case_progress_dialog_cancel(desk):
    """While a connect waits, the "Telnet connection" dialog shows what it does;
    Cancel ends the attempt without an error and leaves the program usable."""
    # A listener whose backlog is full lets no further connect finish.
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(0)
    port = listener.getsockname()[1]
    fillers = []
    for _ in range(3):
        f = socket.socket()
        f.setblocking(False)
        f.connect_ex(("127.0.0.1", port))
        fillers.append(f)
    desk.reg_set("BookBox_Telnet", 103)
    prog = Program(desk, ["127.0.0.1", str(port)])
    try:
        main = desk.window(TITLE)
        dialog = desk.window("Telnet connection", 20)
        time.sleep(1)
        desk.shot("varnix32_connect_progress")
        check(desk.windows("Telnet connection"), "the connect ended by itself; the test needs one that waits")
        desk.keys(dialog, "Return")  # the Cancel button is the default one
        check(wait_for(lambda: not desk.windows("Telnet connection"), 10), "Cancel left the dialog open")
        time.sleep(1)
        check(not desk.windows("Error") and not desk.windows("error"), "a cancelled connect showed an error")
        # The main window takes keys again: the menu opens and Exit ends the program.
        desk.keys(main, "alt+f", "x")
        check(prog.wait_exit(20), "program not usable after Cancel")
    finally:
        prog.stop()
        for f in fillers:
            f.close()
        listener.close()


def case_entry_colours_at_connect(desk):
    """The entry's background colour is the terminal's once the session starts."""
    desk.reg_set("BookBox_Telnet", 103)
    for name in ("telnetw", "telneth", "telnetx", "telnety"):
        desk.reg_delete(name)
    directory = tempfile.mkdtemp(prefix="varnix32_e2e_")
    entry = os.path.join(directory, "127.0.0.1.tel")
    subprocess.run([ENTRY_TOOL, "new", "tel", entry], check=True, capture_output=True)
    # VT100 draws in the entry's two colours: here background palette 5 (blue).
    subprocess.run([ENTRY_TOOL, "set", entry, "emulation=4", "colour2=5"], check=True, capture_output=True)
    standin = NawsStandIn()
    prog = Program(desk, ["127.0.0.1", str(standin.port)], directory)
    try:
        main = desk.window(TITLE)
        check(wait_for(lambda: standin.sizes(), 20), "the session did not start")
        check(wait_for(lambda: desk.brightness(main, 40, 200, 200, 100) > 0.05, 10),
              "the terminal's empty area is not in the entry's background colour")
        desk.shot("varnix32_entry_colours")
    finally:
        prog.stop()
        standin.stop()


def case_end_of_windows_session(desk):
    """The end of the Windows session ends the program as an exit does, with
    the window's geometry stored."""
    desk.reg_set("BookBox_Telnet", 107)
    for name in ("telnetw", "telneth", "telnetx", "telnety"):
        desk.reg_delete(name)
    prog = Program(desk, [])
    try:
        desk.window(TITLE)
        time.sleep(1)
        desk.run("wine", "wineboot", "--end-session")
        check(prog.wait_exit(20), "program still running after the session ended")
        check(desk.reg_get("telnetw") and int(desk.reg_get("telnetw")) > 0, "geometry not stored")
    finally:
        prog.stop()


def case_none_mode_fits_window_to_terminal(desk):
    """With resizing "None" the window takes the terminal's 80 x 24 size
    instead of the large geometry it was stored with."""
    server = TelnetServer()
    desk.reg_set("BookBox_Telnet", 103)
    for name, value in (("telnetw", 1000), ("telneth", 740), ("telnetx", 0), ("telnety", 0)):
        desk.reg_set(name, value)
    directory = tempfile.mkdtemp(prefix="varnix32_e2e_")
    entry = os.path.join(directory, "127.0.0.1.tel")
    subprocess.run([ENTRY_TOOL, "new", "tel", entry], check=True, capture_output=True)
    subprocess.run([ENTRY_TOOL, "set", entry, "resizeMode=0"], check=True, capture_output=True)
    prog = Program(desk, ["127.0.0.1", str(server.port)], directory)
    try:
        main = desk.window(TITLE)
        check(wait_for(lambda: desk.geometry(main)[2] < 900, 15),
              "window still %s wide in None mode" % (desk.geometry(main),))
        width, height = desk.geometry(main)[2:]
        check(width > 500 and height > 300, "window shrank below the terminal: %dx%d" % (width, height))
    finally:
        prog.stop()
        server.stop()


def case_dialogs_and_menus_on_screen(desk):
    """Screenshots of the splash box, a menu with its hint, the About box, the
    view options and the Telnet command dialog, for people to look at."""
    desk.reg_set("BookBox_Telnet", 107)
    prog = Program(desk, [])
    try:
        # The splash box shows for a second while the window is created.
        end = time.time() + 20
        while time.time() < end and not desk.windows(TITLE):
            desk.shot("varnix32_splash")
            time.sleep(0.2)
        main = desk.window(TITLE)
        time.sleep(0.5)
        desk.keys(main, "alt+s", "Down")
        time.sleep(0.3)
        desk.shot("varnix32_menu_settings")
        desk.keys(main, "Escape", "Escape")
        desk.keys(main, "alt+h", "a")
        about = desk.window("About Kelvro32-Telnet", 10)
        desk.shot("varnix32_about")
        desk.keys(about, "Return")
        desk.keys(main, "alt+s", "v")
        view = desk.window("View options", 10)
        desk.shot("varnix32_view_options")
        desk.keys(view, "Escape")
        desk.keys(main, "alt+f", "x")
        check(prog.wait_exit(20), "program did not exit")
    finally:
        prog.stop()



# ---- transfers: the host's side runs real lrzsz and gkermit behind telnetd


def wine_path(path):
    return "Z:" + path.replace("/", "\\")


def host_folder(script=None):
    """A folder for the host's files and, when a script is given, host.sh in
    it: what the loopback telnetd runs in place of a login."""
    folder = tempfile.mkdtemp(prefix="varnix32_host_")
    os.chmod(folder, 0o755)
    if script is None:
        return folder, None
    path = os.path.join(folder, "host.sh")
    with open(path, "w") as f:
        f.write("#!/bin/sh\ncd '%s'\n%s\n" % (folder, script))
    os.chmod(path, 0o755)
    return folder, path


def connected_program(desk, server, fields=()):
    """varnix32 connected to server; the host's entry holds fields. Files
    are received into the program directory's own "Down"."""
    desk.reg_set("BookBox_Telnet", 103)
    desk.reg_delete("DOWNLOAD")
    directory = tempfile.mkdtemp(prefix="varnix32_e2e_")
    entry = os.path.join(directory, "127.0.0.1.tel")
    subprocess.run([ENTRY_TOOL, "new", "tel", entry], check=True, capture_output=True)
    if fields:
        subprocess.run([ENTRY_TOOL, "set", entry] + list(fields), check=True, capture_output=True)
    prog = Program(desk, ["127.0.0.1", str(server.port)], directory)
    return prog, desk.window(TITLE)


def random_file(path, size):
    with open(path, "wb") as f:
        f.write(os.urandom(size))
    return path


def same_bytes(a, b):
    return os.path.exists(a) and os.path.exists(b) and open(a, "rb").read() == open(b, "rb").read()


def host_result(folder, name, seconds):
    """The exit status the host's peer wrote to name (None while it runs)."""
    path = os.path.join(folder, name)
    return wait_for(lambda: os.path.exists(path) and open(path).read().strip(), seconds)


def close_transfer(desk, dialog, shot):
    """The ended transfer's button closes the dialog; a running one would
    only be cancelled and stay."""
    time.sleep(1)
    desk.shot(shot)
    # A click on the caption activates it even after another program had the focus.
    desk.run("xdotool", "mousemove", "--window", dialog, "60", "8", "click", "1")
    desk.keys(dialog, "Escape")
    check(wait_for(lambda: dialog not in desk.windows("File Receiving|Sending"), 10),
          "the transfer dialog did not close: the transfer had not ended")


def viewer_pid(desk, window):
    out = desk.run("xdotool", "getwindowpid", window).stdout.strip()
    return int(out) if out.isdigit() else None


def case_zmodem_autostart_and_jpeg_to_viewer(desk):
    """The host starts sz with no command typed: the receive dialog opens by
    itself, a JPEG and a binary file land byte-identical in the session's
    download folder, and with the real-time view switched on from the menu
    the viewer starts and is fed the picture to its end. The host closes
    right after sz: once the dialog is closed the session ends and its entry
    is saved."""
    folder, script = host_folder("printf 'host ready\\r\\n'; while [ ! -e go ]; do sleep 0.1; done; "
                                 "sz -q photo.jpg data.bin 2>sz.err; echo $? > sz.rc")
    random_file(os.path.join(folder, "data.bin"), 200000)
    ppm = os.path.join(folder, "photo.ppm")
    with open(ppm, "wb") as f:  # a gradient, large enough for several blocks
        f.write(b"P6 320 240 255\n" + bytes((x * 7 + y * 3 + c * 50) & 0xFF
                                             for y in range(240) for x in range(320) for c in range(3)))
    with open(os.path.join(folder, "photo.jpg"), "wb") as f:
        subprocess.run(["cjpeg", "-quality", "90", ppm], stdout=f, check=True)
    server = TelnetServer(script)
    prog = viewer = None
    try:
        prog, main = connected_program(desk, server)
        entry = prog.entry_file("127.0.0.1")
        os.utime(entry, (1, 1))
        shutil.copy(os.path.join(TOP, "build", "target", "bin", "sorlin32.exe"), prog.dir)
        check(wait_for(lambda: desk.brightness(main, 4, 88, 300, 20) > 0.0015, 15), "no text from the host")
        desk.keys(main, "alt+t", "v")  # View JPEG Realtime
        open(os.path.join(folder, "go"), "w").close()
        dialog = desk.window("File Receiving", 30)
        down = os.path.join(prog.dir, "Down")
        rc = host_result(folder, "sz.rc", 60)
        check(rc == "0", "sz ended with %s: %s" % (rc, open(os.path.join(folder, "sz.err")).read()[-300:]))
        for name in ("photo.jpg", "data.bin"):
            check(same_bytes(os.path.join(down, name), os.path.join(folder, name)),
                  "%s did not arrive byte-identical in the download folder" % name)
        # The viewer has the whole picture only when every block was announced.
        shown = desk.window("PHOTO.JPG 100 % done", 30)
        viewer = viewer_pid(desk, shown)
        check(viewer, "no process for the viewer's window")
        desk.shot("varnix32_jpeg_viewer_fed")
        os.kill(viewer, signal.SIGTERM)
        check(wait_for(lambda: not desk.windows("PHOTO.JPG.*"), 10), "the viewer did not stop")
        viewer = None
        check(os.path.getmtime(entry) < 1000, "the session ended while the transfer had the line")
        check(not desk.windows("Message"), "a message box came with the transfer")
        close_transfer(desk, dialog, "varnix32_zmodem_autostart_done")
        check(wait_for(lambda: os.path.getmtime(entry) > 1000, 10), "the host's close was lost: still online")
    finally:
        if viewer:
            os.kill(viewer, signal.SIGTERM)
        if prog:
            prog.stop()
        server.stop()
        shutil.rmtree(folder, ignore_errors=True)


def case_zmodem_lookalike_opens_nothing(desk):
    """Text with "**" and CAN but no ZMODEM header (here also "**" CAN "B0"
    and garbage) opens no dialog, and the session goes on: a typed command
    still runs."""
    folder, script = host_folder("printf 'art **\\030 stars **\\030B0zz\\030\\030 after\\r\\n'; exec /bin/sh")
    server = TelnetServer(script)
    prog = None
    try:
        prog, main = connected_program(desk, server)
        check(wait_for(lambda: desk.brightness(main, 4, 88, 300, 20) > 0.0015, 15), "the host's text is not drawn")
        check(not wait_for(lambda: desk.windows("File Receiving"), 4), "a receive opened for text")
        marker = os.path.join(folder, "typed.txt")
        desk.type(main, "echo still-here > typed.txt")
        check(wait_for(lambda: os.path.exists(marker), 10), "the session did not take a command after the text")
        desk.shot("varnix32_zmodem_lookalike")
    finally:
        if prog:
            prog.stop()
        server.stop()
        shutil.rmtree(folder, ignore_errors=True)


def case_kermit_receive_and_send(desk):
    """Kermit through the Transfer menu against gkermit on the host: a
    receive into the download folder, then a send chosen in the batch list."""
    folder, _ = host_folder()
    random_file(os.path.join(folder, "k.bin"), 150000)
    up = random_file(os.path.join(tempfile.mkdtemp(prefix="varnix32_up_"), "up.bin"), 3000000)
    os.mkdir(os.path.join(folder, "in"))
    server = TelnetServer()
    prog = None
    try:
        prog, main = connected_program(desk, server, ["transferProtocol=7"])
        check(wait_for(lambda: desk.brightness(main, 4, 88, 300, 20) > 0.0015, 15), "no prompt drawn")
        desk.type(main, "cd '%s' && gkermit -q -i -P -e 4000 -s k.bin; echo $? > k.rc" % folder)
        time.sleep(1)
        desk.keys(main, "alt+r", "r")
        dialog = desk.window("File Receiving", 15)
        check(host_result(folder, "k.rc", 60) == "0", "gkermit's send did not end with success")
        check(same_bytes(os.path.join(prog.dir, "Down", "k.bin"), os.path.join(folder, "k.bin")),
              "k.bin did not arrive byte-identical")
        close_transfer(desk, dialog, "varnix32_kermit_received")
        desk.type(main, "cd in && gkermit -q -i -P -e 4000 -r; echo $? > ../up.rc")
        time.sleep(1)
        desk.keys(main, "alt+r", "Down", "Return")  # "&Send" shares its letter with "Capture &Session"
        batch = desk.window("Batch List", 15)
        desk.keys(batch, "Tab", "Return")  # Add
        chooser = desk.window("Open File", 15)
        desk.type(chooser, wine_path(up))
        check(wait_for(lambda: not desk.windows("Open File"), 10), "the file dialog did not take the name")
        time.sleep(0.5)
        desk.shot("varnix32_batch_list")
        desk.keys(batch, "Tab", "Tab", "Return")  # Delete, then Done
        dialog = desk.window("Sending", 15)
        time.sleep(2.5)
        desk.shot("varnix32_transfer_sending")
        check(host_result(folder, "up.rc", 90) == "0", "gkermit's receive did not end with success")
        # Kermit names travel in upper case.
        check(same_bytes(os.path.join(folder, "in", "UP.BIN"), up),
              "up.bin did not arrive byte-identical: %s" % os.listdir(os.path.join(folder, "in")))
        close_transfer(desk, dialog, "varnix32_kermit_sent")
    finally:
        if prog:
            prog.stop()
        server.stop()
        shutil.rmtree(folder, ignore_errors=True)
        shutil.rmtree(os.path.dirname(up), ignore_errors=True)


def case_ymodem_receive_from_sb(desk):
    """YMODEM batch from lrzsz's sb on the host: both files arrive whole."""
    folder, _ = host_folder()
    for name, size in (("y1.bin", 1025), ("y2.bin", 70000)):
        random_file(os.path.join(folder, name), size)
    server = TelnetServer()
    prog = None
    try:
        # Raw blocks need the host's BINARY mode, which the entry asks for.
        prog, main = connected_program(desk, server, ["transferProtocol=4", "binaryMode=1"])
        check(wait_for(lambda: desk.brightness(main, 4, 88, 300, 20) > 0.0015, 15), "no prompt drawn")
        desk.type(main, "cd '%s' && sb -vv y1.bin y2.bin 2>sb.err; echo $? > sb.rc" % folder)
        time.sleep(1)
        desk.keys(main, "alt+r", "r")
        dialog = desk.window("File Receiving", 15)
        rc = host_result(folder, "sb.rc", 90)
        check(rc == "0", "sb ended with %s: %s" % (rc, open(os.path.join(folder, "sb.err")).read()[-400:]))
        for name in ("y1.bin", "y2.bin"):
            check(same_bytes(os.path.join(prog.dir, "Down", name), os.path.join(folder, name)),
                  "%s did not arrive byte-identical" % name)
        close_transfer(desk, dialog, "varnix32_ymodem_received")
    finally:
        if prog:
            prog.stop()
        server.stop()
        shutil.rmtree(folder, ignore_errors=True)


def case_ascii_capture_ends_at_the_end_character(desk):
    """An ASCII receive into the file chosen in "Save File" ends at ^D, with
    everything the host sent kept, the end byte too."""
    # No echo: the NUL that starts a receive is not text of the capture.
    folder, script = host_folder("stty -echo; printf 'host ready\\r\\n'; while [ ! -e go ]; do sleep 0.1; done; "
                                 "cat text.txt; printf '\\004'; sleep 5")
    lines = b"".join(b"line %d of the capture\n" % n for n in range(12000))
    with open(os.path.join(folder, "text.txt"), "wb") as f:
        f.write(lines)
    server = TelnetServer(script)
    prog = None
    try:
        prog, main = connected_program(desk, server, ["transferProtocol=0", "transferEndChar=^D", "binaryMode=1"])
        check(wait_for(lambda: desk.brightness(main, 4, 88, 300, 20) > 0.0015, 15), "no text from the host")
        desk.keys(main, "alt+r", "r")
        target = os.path.join(prog.dir, "capture.txt")
        desk.type(desk.window("Save File", 15), wine_path(target))
        dialog = desk.window("File Receiving", 15)
        open(os.path.join(folder, "go"), "w").close()
        # The host's terminal turns each LF into CR LF.
        expected = lines.replace(b"\n", b"\r\n") + b"\x04"
        check(wait_for(lambda: os.path.exists(target) and open(target, "rb").read() == expected, 30),
              "the capture differs from what the host sent")
        close_transfer(desk, dialog, "varnix32_ascii_received")
    finally:
        if prog:
            prog.stop()
        server.stop()
        shutil.rmtree(folder, ignore_errors=True)


def case_uuencode_from_the_menu(desk):
    """Tools > uuencode on a 100,000-byte file writes three parts beside it
    that decode to the file, and says so."""
    import binascii
    folder, _ = host_folder()
    source = random_file(os.path.join(folder, "payload.bin"), 100000)
    desk.reg_set("BookBox_Telnet", 107)
    prog = Program(desk, [])
    try:
        main = desk.window(TITLE)
        desk.keys(main, "alt+t", "e")
        desk.type(desk.window("Open File", 15), wine_path(source))
        box = desk.window("Message", 20)
        desk.shot("varnix32_uuencode_done")
        desk.keys(box, "Return")
        parts = [os.path.join(folder, "payload%d.uue" % n) for n in (1, 2, 3)]
        check(all(os.path.exists(p) for p in parts), "parts: %s" % sorted(os.listdir(folder)))
        lines = b"".join(open(p, "rb").read() for p in parts).split(b"\r\n")
        check(lines[0] == b"begin 600 payload.bin", "first line %r" % lines[0])
        data = b"".join(binascii.a2b_uu(l) for l in lines[1:]
                        if l and l not in (b"BEGIN", b"`", b"end"))
        check(data == open(source, "rb").read(), "the parts do not decode to the file")
    finally:
        prog.stop()
        shutil.rmtree(folder, ignore_errors=True)
# ---- the Telnetbook, Quick Connect and the help


HELP_FILE = os.path.join(TOP, "build", "target", "bin", "kelvro32-telnet.chm")
# Tab stops of the Telnetbook from its list: Connect, New, Edit, Copy, Delete, Close, Help.
BOOK_TABS = {"connect": 1, "new": 2, "edit": 3, "copy": 4, "delete": 5, "close": 6, "help": 7}


def make_entry(directory, file, name, address, port):
    path = os.path.join(directory, file)
    subprocess.run([ENTRY_TOOL, "new", "tel", path], check=True, capture_output=True)
    subprocess.run([ENTRY_TOOL, "set", path, "name=" + name, "address=" + address, "port=%d" % port],
                   check=True, capture_output=True)
    return path


def entry_values(path):
    out = subprocess.run([ENTRY_TOOL, "show", path], check=True, capture_output=True, text=True).stdout
    values = {}
    for line in out.splitlines():
        key, _, value = line.partition("=")
        values[key.strip()] = value.strip()
    return values


def open_book(desk, main):
    """The Telnetbook from the File menu, its list focused."""
    desk.keys(main, "alt+f", "t")
    return desk.window("Telnetbook", 10)


def reopen_book(desk, book):
    """Closes the book and opens it again from the main window's menu."""
    desk.keys(book, "Escape")
    return open_book(desk, desk.window(TITLE))


def book_row_button(desk, book, row, button):
    """Selects the row (0 = first) of a freshly opened book and presses a button."""
    desk.keys(book, "Home", *(["Down"] * row))
    desk.keys(book, *(["Tab"] * BOOK_TABS[button]), "space")


def case_telnetbook_lists_copies_deletes_connects(desk):
    """Entries sorted without regard to case, a file of the wrong size left
    out, Copy writing a new entry from the selected one, Delete asking first,
    Connect reaching a real telnetd, New and Copy refused... and the empty book."""
    server = TelnetServer()
    directory = tempfile.mkdtemp(prefix="varnix32_e2e_")
    make_entry(directory, "zeta.tel", "zeta", "z.example", 0)
    make_entry(directory, "beta.TEL", "beta", "b.example", 23)
    make_entry(directory, "Alpha.tel", "Alpha", "127.0.0.1", server.port)
    with open(os.path.join(directory, "aaaa.tel"), "wb") as f:
        f.write(b"\x00" * 100)  # no entry: the wrong size
    desk.reg_set("BookBox_Telnet", 103)
    prog = Program(desk, [], directory)
    try:
        book = desk.window("Telnetbook")
        time.sleep(0.5)
        desk.shot("varnix32_telnetbook")
        # Listed: Alpha, beta, Default, zeta. The fourth row is zeta.
        book_row_button(desk, book, 3, "copy")
        copy = desk.window("Copy settings to new host", 10)
        desk.fill(copy, "zeta2", "z2.example")
        desk.shot("varnix32_telnetbook_copy")
        desk.keys(copy, "Return")
        check(wait_for(lambda: prog.entry_file("zeta2"), 10), "Copy did not create zeta2.TEL")
        copied = entry_values(prog.entry_file("zeta2"))
        check(copied.get("address") == "z2.example" and copied.get("name") == "zeta2",
              "the copy holds %r" % copied)
        check(entry_values(prog.entry_file("zeta")).get("address") == "z.example", "the source entry changed")
        # New starts from the template in the configuration sheet; Edit
        # changes an entry whose name stays. Row 0 is Alpha.
        book = reopen_book(desk, book)
        book_row_button(desk, book, 0, "new")
        sheet = desk.window("Configuration", 10)
        desk.fill(sheet, "fresh", "fresh.example")
        desk.shot("varnix32_telnetbook_new")
        desk.keys(sheet, "Return")
        check(wait_for(lambda: prog.entry_file("fresh"), 10), "New did not create fresh.TEL")
        fresh = entry_values(prog.entry_file("fresh"))
        check(fresh.get("address") == "fresh.example" and fresh.get("emulation") == "4",
              "the new entry holds %r" % fresh)
        book = reopen_book(desk, book)
        book_row_button(desk, book, 3, "edit")  # Alpha, beta, Default, fresh
        sheet = desk.window("Configuration", 10)
        desk.keys(sheet, "Tab")  # past the name, which is read-only here
        desk.fill(sheet, "edited.example")
        desk.shot("varnix32_telnetbook_edit")
        desk.keys(sheet, "Return")
        check(wait_for(lambda: entry_values(prog.entry_file("fresh")).get("address") == "edited.example", 10),
              "Edit did not change the entry's address")
        check(len([f for f in os.listdir(prog.dir) if f.lower().endswith(".tel")]) == 7,
              "Edit left another file: %s" % os.listdir(prog.dir))
        # A copy named with a path separator is refused and writes nothing outside.
        book = reopen_book(desk, book)
        book_row_button(desk, book, 0, "copy")
        copy = desk.window("Copy settings to new host", 10)
        desk.fill(copy, "../escaped")
        desk.keys(copy, "Return")
        desk.keys(desk.window("Error", 10), "Return")
        desk.keys(copy, "Escape")
        check(not glob.glob(os.path.join(os.path.dirname(directory), "escaped*")), "a copy was written outside")
        # Delete asks; No keeps the file, Yes removes it. Row 1 is beta.
        book = reopen_book(desk, book)
        book_row_button(desk, book, 1, "delete")
        desk.keys(desk.window("Message", 10), "n")
        check(prog.entry_file("beta"), "No deleted the entry")
        book = reopen_book(desk, book)
        book_row_button(desk, book, 1, "delete")
        desk.keys(desk.window("Message", 10), "y")
        check(wait_for(lambda: not prog.entry_file("beta"), 5), "Yes did not delete beta.TEL")
        # Connect on the first row reaches the host of Alpha.
        desk.keys(book, "Escape")
        main = desk.window(TITLE)
        book = open_book(desk, main)
        desk.keys(book, "Home", "Return")
        check(wait_for(lambda: not desk.windows("Telnetbook"), 10), "Connect did not close the book")
        marker = os.path.join(prog.dir, "booked.txt")
        time.sleep(2)
        desk.type(main, "echo booked > '%s'" % marker)
        check(wait_for(lambda: os.path.exists(marker), 15), "the session to Alpha's host did not run the command")
        desk.type(main, "exit")
        desk.keys(desk.window("Message", 15), "Return")  # "Disconnected"
    finally:
        prog.stop()
        server.stop()


def case_telnetbook_empty_book(desk):
    """With every entry deleted the buttons that need a selection do nothing;
    the book still closes and opens."""
    desk.reg_set("BookBox_Telnet", 103)
    prog = Program(desk, [])
    try:
        book = desk.window("Telnetbook")
        book_row_button(desk, book, 0, "delete")  # the only entry: Default
        desk.keys(desk.window("Message", 10), "y")
        check(wait_for(lambda: not prog.entry_file("Default"), 5), "Default.tel was not deleted")
        time.sleep(0.3)
        desk.shot("varnix32_telnetbook_empty")
        # Opened again: Enter (Connect) does nothing, and Tab skips the four
        # disabled buttons, so the second Tab reaches Close.
        book = reopen_book(desk, book)
        desk.keys(book, "Return")
        time.sleep(0.5)
        check(desk.windows("Telnetbook"), "Connect acted in an empty book")
        desk.keys(book, "Tab", "Tab", "space")
        check(wait_for(lambda: not desk.windows("Telnetbook"), 5), "the selection buttons of an empty book are enabled")
    finally:
        prog.stop()


def case_quick_connect_saves_entry_and_connects(desk):
    """Quick Connect to a typed address and port: the entry is in the book
    with the template's settings and the session reaches the telnetd."""
    server = TelnetServer()
    desk.reg_set("BookBox_Telnet", 106)
    prog = Program(desk, [])
    try:
        quick = desk.window("Quick Connect")
        desk.run("xdotool", "type", "--delay", "25", "127.0.0.1")
        desk.keys(quick, "Tab")
        desk.run("xdotool", "type", "--delay", "25", str(server.port))
        desk.shot("varnix32_quick_connect")
        desk.keys(quick, "Return")
        check(wait_for(lambda: prog.entry_file("127.0.0.1"), 10), "no entry file for 127.0.0.1")
        values = entry_values(prog.entry_file("127.0.0.1"))
        check(values.get("port") == str(server.port) and values.get("name") == "127.0.0.1" and
              values.get("emulation") == "4", "the saved entry holds %r" % values)
        check(os.path.getsize(prog.entry_file("127.0.0.1")) == 2424, "the entry file has the wrong size")
        main = desk.window(TITLE)
        marker = os.path.join(prog.dir, "quick.txt")
        time.sleep(2)
        desk.type(main, "echo quick > '%s'" % marker)
        check(wait_for(lambda: os.path.exists(marker), 15), "the quick connection did not run the command")
    finally:
        prog.stop()
        server.stop()


def case_help_button_opens_topic(desk):
    """The Help buttons of the book and of Quick Connect open the HTML Help
    window on their topics of the compiled help file beside the program."""
    desk.reg_set("BookBox_Telnet", 103)
    directory = tempfile.mkdtemp(prefix="varnix32_e2e_")
    shutil.copy(HELP_FILE, directory)
    log = os.path.join(directory, "wine.log")
    env = dict(desk.env, WINEDEBUG="trace+htmlhelp")
    with open(log, "w") as err:
        proc = subprocess.Popen(["wine", EXE], cwd=directory, env=env, stdout=subprocess.DEVNULL, stderr=err)
    prog = Program.__new__(Program)
    prog.desk, prog.dir, prog.proc = desk, directory, proc
    try:
        book = desk.window("Telnetbook")
        desk.keys(book, *(["Tab"] * BOOK_TABS["help"]), "space")
        desk.window("Kelvro32-Telnet Help", 15)
        time.sleep(1)
        desk.shot("varnix32_help_telnetbook")
        # The prefix has no HTML engine, so the pane stays blank: the help
        # library's own trace shows which topic of which file it went to.
        navigated = re.compile(r'NavigateToChm \S+ L".*\\\\kelvro32-telnet\.chm" L"/telnet_telnetbook\.html"')
        check(wait_for(lambda: navigated.search(open(log, errors="replace").read()), 5),
              "the help window did not go to the Telnetbook topic of the help file")
    finally:
        prog.stop()


# ---- the configuration sheet from the Settings menu


def case_settings_menu_sheet_and_session_capture(desk):
    """Settings > Terminal Prefs. opens the sheet on the terminal page and OK
    saves the connected entry; the "Session capture" box of Settings > Default
    Dir starts and stops the capture of the running session."""
    server = TelnetServer()
    desk.reg_set("BookBox_Telnet", 103)
    for name in ("SESSION", "DOWNLOAD"):  # made anew under this program directory
        desk.reg_delete(name)
    prog = Program(desk, ["127.0.0.1", str(server.port)])
    try:
        main = desk.window(TITLE)
        check(wait_for(lambda: desk.brightness(main, 4, 88, 300, 20) > 0.0015, 15), "no prompt drawn")
        desk.keys(main, "alt+s", "t")
        sheet = desk.window("Configuration", 10)
        time.sleep(0.5)
        desk.shot("varnix32_sheet_terminal_from_menu")
        desk.keys(sheet, "End", "Return")  # the terminal list has the focus: IBM3151
        check(wait_for(lambda: not desk.windows("Configuration"), 10), "OK did not close the sheet")
        saved = prog.entry_file("127.0.0.1")
        check(saved and entry_values(saved).get("emulation") == "10",
              "the terminal page's choice did not reach the entry file")

        log = os.path.join(prog.dir, "Log", "127.0.0.1.log")

        def toggle_capture():
            desk.keys(main, "alt+s", "d")
            sheet = desk.window("Configuration", 10)
            time.sleep(0.5)
            desk.run("xdotool", "mousemove", "--window", sheet, "36", "197", "click", "1")
            time.sleep(0.3)
            desk.shot("varnix32_sheet_default_dir_capture")
            desk.keys(sheet, "Return")
            check(wait_for(lambda: not desk.windows("Configuration"), 10), "OK did not close the sheet")

        toggle_capture()
        check(wait_for(lambda: os.path.exists(log), 5), "turning capture on while online opened no log")
        desk.type(main, "echo captured-$((6*7))")
        time.sleep(1)
        toggle_capture()
        check(wait_for(lambda: "captured-42" in open(log, errors="replace").read(), 5),
              "the log does not hold the session's output after capture was turned off")
    finally:
        prog.stop()
        server.stop()


def case_sheet_help_button_opens_page_topic(desk):
    """"Edit Script" of the Firewall page opens the firewall script in
    notepad; the Help button of the sheet opens the topic of the page shown
    (the Protocols page, opened by Settings > Protocol)."""
    desk.reg_set("BookBox_Telnet", 107)
    directory = tempfile.mkdtemp(prefix="varnix32_e2e_")
    shutil.copy(HELP_FILE, directory)
    with open(os.path.join(directory, "pxtel.txt"), "w") as f:
        f.write("EXIT\r\n")
    log = os.path.join(directory, "wine.log")
    env = dict(desk.env, WINEDEBUG="trace+htmlhelp")
    with open(log, "w") as err:
        proc = subprocess.Popen(["wine", EXE], cwd=directory, env=env, stdout=subprocess.DEVNULL, stderr=err)
    prog = Program.__new__(Program)
    prog.desk, prog.dir, prog.proc = desk, directory, proc
    try:
        main = desk.window(TITLE)
        time.sleep(0.5)
        desk.keys(main, "alt+s", "p")
        sheet = desk.window("Configuration", 10)
        time.sleep(0.5)
        _, _, width, height = desk.geometry(sheet)
        # The Firewall tab, the last one, and its "Edit Script".
        desk.run("xdotool", "mousemove", "--window", sheet, "459", "38", "click", "1")
        time.sleep(0.5)
        desk.run("xdotool", "mousemove", "--window", sheet, "76", "150", "click", "1")
        notepad = desk.window("pxtel.txt - Notepad", 15)
        desk.keys(notepad, "alt+F4")
        check(wait_for(lambda: not desk.windows("pxtel.txt - Notepad"), 10), "notepad did not close")
        desk.run("xdotool", "mousemove", "--window", sheet, "175", "38", "click", "1")  # back to Protocols
        time.sleep(0.5)
        # The Help button sits in the sheet's lower right corner.
        desk.run("xdotool", "mousemove", "--window", sheet, str(width - 50), str(height - 20), "click", "1")
        desk.window("Kelvro32-Telnet Help", 15)
        navigated = re.compile(r'NavigateToChm \S+ L".*\\\\kelvro32-telnet\.chm" L"/protocols\.html"')
        check(wait_for(lambda: navigated.search(open(log, errors="replace").read()), 5),
              "the sheet's Help did not go to the Protocols topic")
    finally:
        prog.stop()
def menu_dialog(desk, main, key, title):
    """The dialog a File menu command opens; the keys are tried again while
    the splash box may still hold the keyboard."""
    for _ in range(4):
        desk.keys(main, "alt+f", key)
        if wait_for(lambda: desk.windows(title), 4):
            return desk.window(title)
        desk.keys(main, "Escape", "Escape")
    return desk.window(title, 1)


def case_print_setup_printer_kept_across_runs(desk):
    """The printer picked in Print Setup is stored at once, and the next run's
    Print Buffer goes to it."""
    where = os.environ.get("SUITE_TEST_PRINT_DIR", "")
    check(where, "tests/win32/run starts the print queues")
    raw = os.path.join(where[2:].replace("\\", "/"), "raw")
    desk.reg_set("BookBox_Telnet", 107)
    desk.reg_delete("Printer")
    prog = Program(desk, [])
    try:
        main = desk.window(TITLE)
        setup = menu_dialog(desk, main, "s", "Print Setup")
        desk.keys(setup, "alt+n", "R")
        desk.shot("varnix32_print_setup")
        desk.keys(setup, "Return")
        check(wait_for(lambda: desk.reg_get("Printer") == "RAWCAP", 5), "the choice was not stored")
        desk.keys(main, "alt+f", "x")
        check(prog.wait_exit(20), "program did not exit")
    finally:
        prog.stop()
    before = set(os.listdir(raw))
    prog = Program(desk, [])
    try:
        log = os.path.join(prog.dir, "kept.log")
        with open(log, "w") as f:
            f.write("to the kept printer\r\n")
        main = desk.window(TITLE)
        desk.type(menu_dialog(desk, main, "l", "Open"), "Z:" + log.replace("/", "\\"))
        check(wait_for(lambda: set(os.listdir(raw)) - before, 30), "the next run printed elsewhere")
        desk.keys(main, "alt+f", "x")
        check(prog.wait_exit(20), "program did not exit")
    finally:
        prog.stop()
        desk.reg_delete("Printer")


CASES = [
    case_session_typed_drawn_closed_saved,
    case_failed_connections_leave_program_usable,
    case_bad_command_lines_refused,
    case_firewall_script_then_telnet,
    case_term_resize_reports_new_size,
    case_term_resize_one_report_within_limits,
    case_progress_dialog_cancel,
    case_entry_colours_at_connect,
    case_end_of_windows_session,
    case_none_mode_fits_window_to_terminal,
    case_dialogs_and_menus_on_screen,
    case_zmodem_autostart_and_jpeg_to_viewer,
    case_zmodem_lookalike_opens_nothing,
    case_kermit_receive_and_send,
    case_ymodem_receive_from_sb,
    case_ascii_capture_ends_at_the_end_character,
    case_uuencode_from_the_menu,
    case_telnetbook_lists_copies_deletes_connects,
    case_telnetbook_empty_book,
    case_quick_connect_saves_entry_and_connects,
    case_help_button_opens_topic,
    case_settings_menu_sheet_and_session_capture,
    case_sheet_help_button_opens_page_topic,
    case_print_setup_printer_kept_across_runs,
]


def main():
    wanted = sys.argv[1:]
    cases = [c for c in CASES if not wanted or any(w in c.__name__ for w in wanted)]
    desk = Desktop()
    passed, failed = 0, []
    try:
        for case in cases:
            name = "Varnix32EndToEnd." + case.__name__[5:]
            print("[ RUN      ] " + name, flush=True)
            start = time.time()
            try:
                case(desk)
                passed += 1
                print("[       OK ] %s (%d ms)" % (name, (time.time() - start) * 1000), flush=True)
            except Exception as e:  # a failed check or a broken step: both fail the case
                failed.append(name)
                detail = str(e) if isinstance(e, Failure) else traceback.format_exc()
                print("failure: " + detail, flush=True)
                desk.shot("failed_" + case.__name__[5:])
                print("[  FAILED  ] %s (%d ms)" % (name, (time.time() - start) * 1000), flush=True)
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
    sys.exit(main())
