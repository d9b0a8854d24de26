#!/usr/bin/python3
"""kelvro32 dialing under Wine: COM1 mapped to a pseudo-terminal on which the
software modem (tools/modem) answers, its number table reaching a loopback
telnetd. Dialing, redial, sequential dialing, hang-up, answer mode and chat
mode, driven through the X keyboard. Prints GoogleTest-style result lines."""
import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import varnix32_e2e as e2e  # noqa: E402  (the desktop, keys and checks)
import kelvro32_e2e as direct  # noqa: E402  (the program and its window)
import kelvro32_phonebook_e2e as phonebook  # noqa: E402  (the phonebook's buttons)

from varnix32_e2e import check, read, wait_for, write  # noqa: E402

MODEM = os.path.join(e2e.TOP, "build", "host", "tools", "modem")
TITLE = direct.TITLE
NUMBER = "555-1234"


class Modem:
    """tools/modem behind a pseudo-terminal standing for COM1, with the number
    table rules; stopped when the case ends."""

    def __init__(self, desk, stack, *rules):
        self.folder = tempfile.mkdtemp(prefix="kelvro32_modem_")
        stack.callback(shutil.rmtree, self.folder, True)
        args = " ".join("'%s'" % r for r in rules)
        # socat's address syntax takes the colons of HOST:PORT: the command goes through a script.
        script = write(os.path.join(self.folder, "run"), "echo $$ > '%s/pid'\nexec '%s' %s\n"
                       % (self.folder, MODEM, args))
        # Every start restarts the Wine server, which reads the port mapping then.
        self.path, _ = e2e.com_port(desk, stack, 1, "SYSTEM:sh %s" % script)

    def ring(self):
        pid = wait_for(lambda: os.path.exists(os.path.join(self.folder, "pid")) and
                       read(os.path.join(self.folder, "pid")).strip(), 5)
        os.kill(int(pid), signal.SIGUSR1)


class Host:
    """busybox telnetd on loopback whose session runs script in a folder of its
    own: it starts its shell without waiting for answers to its options, as a
    terminal on a modem line gives none. With raw, a plain shell service on a
    pseudo-terminal instead, 8-bit clean (Telnet doubles 0xFF and pads CR, and
    a modem line does not undo that), for binary transfers."""

    def __init__(self, stack, script="PS1='far$ ' exec /bin/sh -i", raw=False):
        self.folder = tempfile.mkdtemp(prefix="kelvro32_host_")
        os.chmod(self.folder, 0o755)
        stack.callback(shutil.rmtree, self.folder, True)
        program = write(os.path.join(self.folder, "host.sh"), "#!/bin/sh\ncd '%s'\n%s\n" % (self.folder, script))
        os.chmod(program, 0o755)
        self.port = e2e.free_port()
        if raw:
            e2e.spawn(stack, ["socat", "TCP-LISTEN:%d,bind=127.0.0.1,reuseaddr" % self.port,
                              "EXEC:%s,pty,setsid,ctty,stderr,sane" % program])
        else:
            e2e.spawn(stack, ["busybox", "telnetd", "-F", "-K", "-l", program, "-f", "/dev/null",
                              "-p", str(self.port), "-b", "127.0.0.1"])
        e2e.check_listening(self.port, "telnetd did not listen")

    def file(self, name):
        return os.path.join(self.folder, name)


def dialed_host(desk, stack, *rules, **host):
    """A host, and the modem whose number 5551234 reaches it once the rules
    given before it are used up."""
    server = Host(stack, **host)
    Modem(desk, stack, *rules, "--number", "5551234=127.0.0.1:%d" % server.port)
    return server


def program_dir(entries):
    """A program directory holding the delivered modem profiles and the entries
    (name, number, phone type, retry count)."""
    directory = tempfile.mkdtemp(prefix="kelvro32_dial_")
    for mdm in glob.glob(os.path.join(e2e.BIN, "*.mdm")):
        shutil.copy(mdm, directory)
    for name, number, phone_type, retry in entries:
        e2e.new_entry(directory, name + ".phn", "name=" + name, "phoneNumber=" + number,
                      "phoneType=%d" % phone_type, "portIndex=0", "speedIndex=1", "makerIndex=4",
                      "retryCount=%d" % retry, "timeout=30", "emulation=4", "transferProtocol=6")
    return directory


def start(desk, stack, names, entries):
    """kelvro32 opening names at start-up from a program directory of entries,
    and its main window."""
    prog = direct.launch(desk, stack, names, program_dir(entries), DOWNLOAD=None, BookBox=0)
    return prog, desk.window(TITLE)


def connected(desk, main):
    """The dial dialog came and went, and the host's prompt is drawn."""
    desk.window("Dialing .*", 60)
    desk.gone("Dialing .*", "the dial dialog stayed", 90)
    check(wait_for(lambda: desk.brightness(main, 4, 88, 400, 60) > 0.0015, 30), "nothing from the host drawn")
    time.sleep(1)


def hang_up_and_exit(desk, prog, main, book=False):
    """Session > Hangup, the disconnect box taken (and the phonebook it opens
    again closed), then File > Exit."""
    desk.menu(main, "n", "h")
    desk.keys(desk.window("Message", 30), "Return")
    if book:
        desk.keys(desk.window("Phonebook", 30), "Escape")
    desk.menu_exit(prog, main)


def calls_to(port):
    out = subprocess.run(["ss", "-Htn", "state", "established", "dport = :%d" % port], capture_output=True,
                         text=True).stdout
    return out.strip()


def case_phonebook_dial_typed_hangup_and_book_again(desk, stack):
    """The phonebook's Dial dials the modem entry, reaching the telnetd behind
    the modem; typed keys run in its shell; Hangup drops the call (the modem
    back in command mode), shows the disconnect box and opens the phonebook
    again (the start-up choice), and keys no longer reach the line."""
    server = dialed_host(desk, stack)
    prog, book = phonebook.start(desk, stack, program_dir([("Home", NUMBER, 1, 3)]))
    phonebook.press(desk, book, 1, "dial")  # rows: Default, Home
    main = desk.window(TITLE)
    desk.window("Dialing Home", 30)
    time.sleep(1.2)
    desk.shot("kelvro32_dialing")
    connected(desk, main)
    check(direct.typed(desk, main, server, "echo typed-$((6*7)) > typed.txt", "typed.txt", "typed-42"),
          "the typed command did not run behind the modem")
    desk.shot("kelvro32_dialed_session")
    check(calls_to(server.port), "no call up before the hang-up")
    desk.menu(main, "n", "h")  # Session > Hangup
    box = desk.window("Message", 30)  # the disconnect box of every hang-up
    check(not calls_to(server.port), "the call was still up after the hang-up")
    desk.keys(box, "Return")
    book = desk.window("Phonebook", 30)
    desk.dismiss(book, "Escape", "Phonebook", "the phonebook did not close")
    desk.type(main, "echo after > after.txt")
    time.sleep(2)
    check(not os.path.exists(server.file("after.txt")), "keys still reached the line after Hangup")
    desk.shot("kelvro32_dial_offline")
    desk.menu_exit(prog, main)


def case_autolog_runs_the_entry_script_once_connected(desk, stack):
    """The phonebook's Autolog dials the entry and, once connected, runs its
    script (NAME.scr): what it sends runs in the far shell; when the script's
    dialog is closed, typed keys reach the line."""
    server = dialed_host(desk, stack)
    directory = program_dir([("Home", NUMBER, 1, 3)])
    write(os.path.join(directory, "Home.scr"), 'SEND "echo scripted-$((6*7)) > s.txt^M"\r\nEXIT\r\n')
    prog, book = phonebook.start(desk, stack, directory)
    phonebook.press(desk, book, 1, "autolog")  # rows: Default, Home
    main = desk.window(TITLE)
    script = desk.window("Script", 90)
    check(wait_for(lambda: os.path.exists(server.file("s.txt")) and "scripted-42" in read(server.file("s.txt")), 30),
          "the entry's script did not run")
    desk.dismiss(script, "Escape", "Script", "the script dialog did not close")
    check(direct.typed(desk, main, server, "echo after-script > a.txt", "a.txt", "after-script"),
          "keys did not reach the line after the script")
    hang_up_and_exit(desk, prog, main, book=True)


def case_dialed_zmodem_byte_identical(desk, stack):
    """A file sent with sz by the dialed host arrives byte-identical through
    the ZMODEM auto-start."""
    server = dialed_host(desk, stack, raw=True)
    write(server.file("data.bin"), os.urandom(120000))
    prog, main = start(desk, stack, ["Home"], [("Home", NUMBER, 1, 3)])
    connected(desk, main)
    check(direct.typed(desk, main, server, "echo up > up.txt", "up.txt", "up"), "the call does not carry keys")
    desk.type(main, "sz -q data.bin; echo $? > sz.rc")
    received = os.path.join(prog.dir, "Down", "data.bin")
    check(wait_for(lambda: e2e.same_bytes(received, server.file("data.bin")), 90),
          "the file sent with sz did not arrive whole")
    e2e.close_transfer(desk, desk.window("File Receiving", 10), "kelvro32_dial_zmodem")
    hang_up_and_exit(desk, prog, main)


def case_busy_twice_then_connect_with_retry_count_three(desk, stack):
    """BUSY twice, then the call: a retry count of 3 connects on the third dial."""
    server = dialed_host(desk, stack, "--number", "5551234=busy", "--number", "5551234=busy")
    prog, main = start(desk, stack, ["Home"], [("Home", NUMBER, 1, 3)])
    desk.window("Dialing Home", 60)
    time.sleep(10)  # two dials answered BUSY, the third under way
    desk.shot("kelvro32_redialing")
    connected(desk, main)
    check(direct.typed(desk, main, server, "echo third > third.txt", "third.txt", "third"),
          "the third dial did not connect")
    hang_up_and_exit(desk, prog, main)


def case_two_attempts_are_not_enough_and_message_105(desk, stack):
    """With a retry count of 2 the same modem gives up: the dialog goes and
    the main window says every attempt failed."""
    server = dialed_host(desk, stack, "--number", "5551234=busy", "--number", "5551234=busy")
    prog, main = start(desk, stack, ["Home"], [("Home", NUMBER, 1, 2)])
    box = desk.window("Message", 90)
    desk.shot("kelvro32_all_attempts")
    check(not desk.windows("Dialing .*"), "the dial dialog stayed")
    check(not calls_to(server.port), "a call came through")
    desk.keys(box, "Return")
    desk.menu_exit(prog, main)


def case_cancel_close_box_and_escape(desk, stack):
    """While a silent number is dialed: Escape only restarts the countdown,
    the Cancel button ends dialing without a message, the close box ends it
    with the failed-attempts message."""
    Modem(desk, stack, "--number", "5551234=silent")
    for how in ("cancel", "close"):
        prog, main = start(desk, stack, ["Home"], [("Home", NUMBER, 1, 3)])
        dialog = desk.window("Dialing Home", 60)
        time.sleep(8)  # reset, init and the dial sent
        desk.keys(dialog, "Escape")
        time.sleep(1)
        check(desk.windows("Dialing Home"), "Escape ended the dialing")
        desk.keys(dialog, "Return" if how == "cancel" else "alt+F4")
        desk.gone("Dialing .*", "the dial dialog stayed after " + how, 20)
        box = wait_for(lambda: desk.windows("Message"), 5)
        check(bool(box) == (how == "close"), "message 105 after %s: %s" % (how, bool(box)))
        if box:
            desk.keys(box[0], "Return")
        desk.menu_exit(prog, main)


def case_sequential_dialing_moves_to_the_second_entry(desk, stack):
    """Two entries dialed in turn: the first is busy, the second connects."""
    server = dialed_host(desk, stack, "--number", "5550100=busy")
    prog, main = start(desk, stack, ["First", "Second"], [("First", "555-0100", 1, 3), ("Second", NUMBER, 1, 3)])
    desk.window("Dialing Second", 60)
    connected(desk, main)
    check(direct.typed(desk, main, server, "echo second > second.txt", "second.txt", "second"),
          "the second entry did not connect")
    hang_up_and_exit(desk, prog, main)


def case_answer_mode_answers_a_ring(desk, stack):
    """A direct line to the modem: Answer sends ATS0=1, and the modem answers
    the next ring by itself and connects the caller (the telnetd)."""
    server = Host(stack)
    modem = Modem(desk, stack, "--answer", "127.0.0.1:%d" % server.port)
    prog, main = start(desk, stack, ["Line"], [("Line", "", 2, 0)])
    time.sleep(3)  # the direct line opens, the splash box goes
    desk.menu(main, "n", "a")  # Session > Answer
    time.sleep(1)
    modem.ring()
    check(wait_for(lambda: calls_to(server.port), 30), "the ring was not answered")
    time.sleep(2)
    check(direct.typed(desk, main, server, "echo answered > answered.txt", "answered.txt", "answered"),
          "the answered call does not carry keys")
    desk.menu(main, "f", "x")
    desk.keys(desk.window("Message", 10), "Return")  # still connected: Yes, exit
    check(prog.wait_exit(30), "File > Exit did not end the program")


def case_chat_mode_sends_and_shows(desk, stack):
    """Chat mode: typed text goes to the line and shows in the upper pane;
    what the far side sends shows in the lower pane. The status dialog opens
    and closes on the connected line."""
    server = dialed_host(desk, stack, script="read line; echo \"$line\" > chat.txt; sleep 1; echo reply-from-far; "
                                             "sleep 60")
    prog, main = start(desk, stack, ["Home"], [("Home", NUMBER, 1, 3)])
    desk.gone("Dialing .*", "the dial dialog stayed", 90)
    time.sleep(2)
    desk.menu(main, "n", "c")  # Session > Chat
    time.sleep(1)
    remote = lambda: desk.brightness(main, 4, 236, 120, 44)  # noqa: E731  (lines 14 to 17)
    blank = remote()
    check(direct.typed(desk, main, server, "hello-chat", "chat.txt", "hello-chat"),
          "the chat text did not reach the line")
    check(wait_for(lambda: remote() < blank - 0.02, 15), "nothing shown in the remote pane")
    desk.shot("kelvro32_chat")
    desk.menu(main, "m", "s")  # Miscellaneous > Comm Status
    status = desk.window("Communication Status", 20)
    desk.shot("kelvro32_comm_status")
    desk.dismiss(status, "Return", "Communication Status", "the status dialog did not close")
    desk.menu(main, "n", "c")  # chat off again
    hang_up_and_exit(desk, prog, main)


CASES = [v for k, v in list(globals().items()) if k.startswith("case_")]


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(e2e.run_cases(CASES, "Kelvro32DialEndToEnd", "kelvro32.exe"))
