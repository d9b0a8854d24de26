#!/usr/bin/python3
"""quenda32 under Wine against a vsftpd on loopback: the FTP book, the login
dialogs, commands typed at the ftp> prompt, a host on the command line, the
pages of the sheet. What the session view showed is read back from the session
capture, complete once the session has ended. Prints GoogleTest-style result
lines for ./test."""
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import varnix32_e2e as e2e  # noqa: E402  (the desktop, keys and checks)

from varnix32_e2e import SLOW, check, read, wait_for, write  # noqa: E402

EXE = os.path.join(e2e.BIN, "quenda32.exe")
TITLE = "Kelvro32-FTP"
# Tab stops of the FTP book from its list: Connect, New, Edit, Copy, Delete, Open.
BOOK_TABS = {"connect": 1, "new": 2, "edit": 3, "copy": 4, "delete": 5, "open": 6}


class Server:
    """vsftpd on 127.0.0.1 serving a small tree: the test login (peertest,
    peerpass) reads and writes it, anonymous users read it."""

    def __init__(self, stack):
        self.run = tempfile.mkdtemp(prefix="quenda32_ftp_")
        stack.callback(shutil.rmtree, self.run, True)
        os.chmod(self.run, 0o755)
        self.tree = os.path.join(self.run, "tree")
        os.makedirs(os.path.join(self.run, "empty"))
        os.makedirs(os.path.join(self.tree, "docs"))
        write(os.path.join(self.tree, "readme.txt"), "Welcome.\n")
        write(os.path.join(self.tree, "docs", "notes.txt"), "Notes.\n")
        subprocess.run(["chown", "-R", "peertest:peertest", self.tree], check=True)
        os.chmod(self.tree, 0o755)
        self.port = e2e.free_port()
        conf = os.path.join(self.run, "vsftpd.conf")
        write(conf, "\n".join([
            "listen=YES", "listen_ipv6=NO", "listen_address=127.0.0.1", "listen_port=%d" % self.port,
            "background=NO", "anonymous_enable=YES", "anon_root=" + self.tree, "no_anon_password=YES",
            "local_enable=YES", "write_enable=YES", "local_root=" + self.tree, "pam_service_name=vsftpd",
            "pasv_enable=YES", "pasv_address=127.0.0.1", "port_enable=YES", "connect_from_port_20=NO",
            "secure_chroot_dir=" + os.path.join(self.run, "empty"), "seccomp_sandbox=NO", "xferlog_enable=NO", ""]))
        e2e.spawn(stack, ["/usr/sbin/vsftpd", conf])
        e2e.check_listening(self.port, "vsftpd does not listen")


class Quenda(e2e.Program):
    """quenda32.exe in a program directory of its own, its session logs in it."""

    exe = EXE

    def entry_file(self, stem):
        names = [n for n in os.listdir(self.dir) if n.lower() == (stem + ".ftp").lower()]
        return os.path.join(self.dir, names[0]) if names else None

    def session_log(self, name):
        path = os.path.join(self.dir, "Log", name + ".log")
        return read(path) if os.path.exists(path) else ""


def entry(directory, name, *fields):
    return e2e.new_entry(directory, name + ".ftp", "name=" + name, "address=127.0.0.1", "sessionCapture=1", *fields)


def start(desk, stack, args=(), book=103, entries=()):
    """quenda32 with the start-up choice book, in a fresh directory holding
    the entries (name, fields...), its logs kept there."""
    directory = tempfile.mkdtemp(prefix="quenda32_e2e_")
    for name, *fields in entries:
        entry(directory, name, *fields)
    desk.reg_set("BookBox_FTP", book)
    desk.reg_set("DiscBox_FTP", 1)
    desk.reg_set("DOWNLOAD", None)  # the program's own "Down"
    desk.reg_set("SESSION", e2e.wine_path(os.path.join(directory, "Log")))
    os.makedirs(os.path.join(directory, "Log"))
    prog = Quenda(desk, args, directory)
    stack.callback(prog.stop)
    return prog


def book_connect(desk, book, row, button="connect"):
    desk.keys(book, "Home", *(["Down"] * row))
    desk.keys(book, *(["Tab"] * BOOK_TABS[button]), "space")


def type_line(desk, main, text, settle=0):
    # A click on the status bar activates the window without doing anything else.
    desk.click(main, 60, desk.geometry(main)[3] - 8)
    desk.type(main, text)
    time.sleep(settle)


def session_drawn(desk, main, settle=2):
    """Waits for the session view to draw text, then lets the replies come."""
    check(wait_for(lambda: desk.brightness(main, 4, 88, 300, 40) > 0.0015, SLOW), "no session text drawn")
    time.sleep(settle)


def disconnect(desk, main, prog=None, entry=None):
    """Session > Disconnect, and the "Disconnected" box closed; returns what
    the session view of entry showed, complete now."""
    desk.menu(main, "n", "d")
    desk.keys(desk.window("Message"), "Return")
    desk.gone("Message", "the disconnect box did not close")
    return prog.session_log(entry) if prog else None


def case_ftpbook_login_dialogs_dir_and_pwd_typed(desk, stack):
    """An entry without user and password connected from the FTP book asks for
    both; pwd and dir typed at ftp> show their replies; the entry keeps the
    user name but not the password, which was not to be saved."""
    server = Server(stack)
    prog = start(desk, stack, book=101, entries=[("Local", "port=%d" % server.port)])
    book = desk.window("FTPbook")
    desk.shot("quenda32_ftpbook")
    book_connect(desk, book, 1)  # "Default" sorts first
    user = desk.window("Enter your username")
    desk.shot("quenda32_user_dialog")
    desk.keys(user, "Return")  # an empty name only beeps
    check(desk.windows("Enter your username"), "OK with an empty user name closed the dialog")
    desk.type(user, "peertest")
    password = desk.window("Enter your password")
    desk.shot("quenda32_password_dialog")
    desk.type(password, "peerpass")
    main = desk.window(TITLE)
    session_drawn(desk, main)
    type_line(desk, main, "pwd", 2)
    type_line(desk, main, "dir", 3)
    desk.shot("quenda32_main_window")
    # A typed get runs in the transfer dialog; the file lands in the download directory.
    type_line(desk, main, "get readme.txt")
    receiving = desk.window("Receiving")
    fetched = os.path.join(prog.dir, "Down", "readme.txt")
    check(wait_for(lambda: e2e.same_bytes(fetched, os.path.join(server.tree, "readme.txt")), SLOW),
          "readme.txt did not arrive whole")
    time.sleep(1)
    desk.keys(receiving, "space")  # the focused button: "OK" once the transfer is done
    desk.gone("Receiving", "the transfer dialog did not close")
    log = disconnect(desk, main, prog, "Local")
    check("230 " in log, "the login was not accepted: %r" % log[-400:])
    check("pwd\nPWD\n257 \"/" in log, "pwd and its reply not in the session view: %r" % log[-600:])
    check("ftp>dir\nLIST" in log and "readme.txt" in log and "226 " in log, "the listing not shown: %r" % log[-600:])
    check("PASS ****" in log and "peerpass" not in log, "the password was shown")
    values = e2e.entry_values(prog.entry_file("Local"))
    check(values.get("userName") == "peertest", "the user name was not kept: %r" % values)
    check(values.get("password", "") == "", "a password not to be saved was written: %r" % values)
    # Start-up choice 101 offers the book again after the session.
    desk.keys(desk.window("FTPbook"), "Escape")
    desk.menu_exit(prog, main)


def case_command_line_host_connects_at_once(desk, stack):
    """quenda32 127.0.0.1/ PORT with the FTP book as start-up choice connects
    at once, through the host's existing entry (anonymous here)."""
    server = Server(stack)
    prog = start(desk, stack, ["127.0.0.1/", str(server.port)], book=101,
                 entries=[("127.0.0.1", "anonymous=1", "port=21")])
    main = desk.window(TITLE)
    session_drawn(desk, main)
    check(not desk.windows("FTPbook"), "the book was shown instead of connecting")
    type_line(desk, main, "pwd", 2)
    log = disconnect(desk, main, prog, "127.0.0.1")
    check("USER anonymous" in log and "230 " in log and '257 "/"' in log, "no anonymous session: %r" % log[-600:])
    values = e2e.entry_values(prog.entry_file("127.0.0.1"))
    check(values.get("address") == "127.0.0.1" and values.get("port") == str(server.port),
          "the entry did not take the command line's host and port: %r" % values)
    desk.keys(desk.window("FTPbook"), "Escape")
    desk.menu_exit(prog, main)


def case_command_line_refused(desk, stack):
    """A host longer than the entry's address field and a port above 65535
    end the program with "Invalid internet address specified"."""
    for args in (["h" * 80], ["127.0.0.1", "65536"]):
        prog = start(desk, stack, args)
        box = desk.window("Error")
        desk.keys(box, "Return")
        check(prog.wait_exit(30), "the program went on after refusing %r" % args)
        check(not desk.windows(TITLE), "a main window appeared for %r" % args)


def case_email_dialog_shows_keeps_and_refuses_an_empty_address(desk, stack):
    """Settings > Email address shows the stored address: OK keeps it, one
    typed over it is stored, Cancel stores nothing, an empty field only beeps."""
    desk.reg_set("email", "first@example.org")
    prog = start(desk, stack)
    main = desk.window(TITLE)
    time.sleep(1.5)  # the splash box closes itself
    for typed, key, stored in ((None, "Return", "first@example.org"), ("second@example.org", "Return", None),
                               ("third@example.org", "Escape", None), ("", "Return", None)):
        desk.menu(main, "s", "e")
        box = desk.window("Email address")
        if typed == "":
            desk.keys(box, "ctrl+a", "BackSpace")
        elif typed:
            desk.fill(box, typed)
        desk.keys(box, key)
        if typed == "":
            time.sleep(1)
            check(desk.windows("Email address"), "OK with an empty address closed the box")
            desk.keys(box, "Escape")
        desk.gone("Email address", "the box stayed after %r" % typed)
        stored = stored or "second@example.org"
        check(desk.reg_get("email") == stored, "email %r after %r, not %r" % (desk.reg_get("email"), typed, stored))
    desk.menu_exit(prog, main)


def case_ftpbook_menu_connects_existing_entry_and_sheet_pages(desk, stack):
    """File > FTPbook connects an existing entry (anonymous); Edit shows the
    sheet, each of whose pages is looked at."""
    server = Server(stack)
    prog = start(desk, stack, entries=[("Anon", "anonymous=1", "port=%d" % server.port)])
    main = desk.window(TITLE)
    time.sleep(1.5)  # the splash box closes itself
    desk.menu(main, "f", "f")
    book = desk.window("FTPbook")
    book_connect(desk, book, 0, "edit")
    sheet = desk.window("Configuration")
    # Each tab clicked where the sheet draws it (x from the sheet's left, y 38).
    for page, x in (("general", 34), ("file_options", 118), ("firewall", 208), ("color", 265), ("fonts", 319),
                    ("default_dir", 378)):
        desk.click(sheet, x, 38)
        time.sleep(1)
        desk.shot("quenda32_sheet_" + page)
    desk.keys(sheet, "Escape")
    desk.gone("Configuration", "the sheet did not close")
    desk.keys(desk.window("FTPbook"), "Escape")
    desk.gone("FTPbook", "the book did not close")
    desk.menu(main, "f", "f")
    book_connect(desk, desk.window("FTPbook"), 0)
    session_drawn(desk, main)
    log = disconnect(desk, main, prog, "Anon")
    check("USER anonymous" in log and "230 " in log and "215 " in log, "no anonymous login: %r" % log[-600:])
    desk.menu_exit(prog, main)


def case_quick_connect_keeps_an_existing_entry_but_host_and_port(desk, stack):
    """Quick Connect to a host whose entry exists logs in with that entry's
    settings (anonymous here, where the default entry would ask for a user
    name); only its port changes, to the one typed."""
    server = Server(stack)
    prog = start(desk, stack, book=102, entries=[("127.0.0.1", "anonymous=1", "port=21", "passive=1")])
    quick = desk.window("Quick Connect")
    desk.fill(quick, "127.0.0.1", str(server.port))
    desk.keys(quick, "Return")
    main = desk.window(TITLE)
    session_drawn(desk, main, 0)
    check(not wait_for(lambda: desk.windows("Enter your username"), 3), "the default entry's settings were used")
    time.sleep(2)
    log = disconnect(desk, main, prog, "127.0.0.1")
    check("USER anonymous" in log and "230 " in log, "no anonymous login: %r" % log[-600:])
    values = e2e.entry_values(prog.entry_file("127.0.0.1"))
    check(values.get("port") == str(server.port) and values.get("anonymous") == "1" and values.get("passive") == "1",
          "the entry lost its settings: %r" % values)
    desk.keys(desk.window("Quick Connect"), "Escape")
    desk.menu_exit(prog, main)


class Firewall:
    """A firewall host on loopback: it asks "Name:" and "Password:", then
    opens the named FTP server and relays both ways."""

    def __init__(self, stack):
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.port = self.listener.getsockname()[1]
        self.asked = []
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()
        stack.callback(self.listener.close)

    def line(self, conn):
        data = b""
        for chunk in iter(lambda: conn.recv(1), b""):
            data += chunk
            if chunk == b"\r":
                break
        return data.decode(errors="replace").strip()

    @staticmethod
    def pipe(source, sink):
        for data in iter(lambda: source.recv(4096), b""):
            sink.sendall(data)
        sink.shutdown(socket.SHUT_WR)

    def serve(self):
        try:
            conn, _ = self.listener.accept()
        except OSError:
            return
        with conn:
            conn.sendall(b"firewall ready\r\nName: ")
            self.asked.append(self.line(conn))
            conn.sendall(b"\r\nPassword: ")
            self.asked.append(self.line(conn))
            _, host, port = (self.asked[0].split() + ["", "", ""])[:3]
            with socket.create_connection((host, int(port))) as far:
                threading.Thread(target=self.pipe, args=(far, conn), daemon=True).start()
                self.pipe(conn, far)


def case_firewall_script_asks_pass_then_logs_in(desk, stack):
    """An entry with "Use Firewall" connects to the firewall host, whose
    script sends $SITE and $PORT and the $PASS that the PASSWORD dialog asks
    for; the FTP login then runs through it."""
    server = Server(stack)
    firewall = Firewall(stack)
    for name, value in (("FirewallAddressFTP", "127.0.0.1"), ("FirewallPortFTP", firewall.port)):
        desk.reg_set(name, value)
        stack.callback(desk.reg_set, name, None)
    prog = start(desk, stack, ["127.0.0.1"], book=101,
                 entries=[("127.0.0.1", "anonymous=1", "useFirewall=1", "port=%d" % server.port)])
    write(os.path.join(prog.dir, "pxftp.txt"), 'TIMEOUT 20\nWAITSTRING "Name:"\nSEND "open $SITE $PORT^M"\n'
                                               'WAITSTRING "word:"\nSEND "$PASS^M"\nEXIT\n')
    password = desk.window("Enter password:")
    desk.shot("quenda32_firewall_password_dialog")
    desk.type(password, "fwsecret")
    main = desk.window(TITLE)
    check(wait_for(lambda: len(firewall.asked) == 2, SLOW), "the script did not answer the firewall")
    time.sleep(3)
    log = disconnect(desk, main, prog, "127.0.0.1")
    check(firewall.asked == ["open 127.0.0.1 %d" % server.port, "fwsecret"], "firewall got %r" % firewall.asked)
    check("USER anonymous" in log and "230 " in log, "no login through the firewall: %r" % log[-600:])
    check("fwsecret" not in log, "the firewall password was shown")
    desk.keys(desk.window("FTPbook"), "Escape")
    desk.menu_exit(prog, main)


CASES = [v for k, v in list(globals().items()) if k.startswith("case_")]


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(e2e.run_cases(CASES, "Quenda32EndToEnd", "quenda32.exe"))
