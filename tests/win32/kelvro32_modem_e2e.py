#!/usr/bin/python3
"""kelvro32's modem dialogs under Wine: COM1 mapped to a pseudo-terminal
whose far end is tools/modem (or a line that never answers), the modem
search run from the menu and read from its dialog, the profile editors
writing the maker's file. Prints GoogleTest-style result lines."""
import os
import shutil
import signal
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import kelvro32_e2e as k  # noqa: E402  (the program and its start)
import varnix32_e2e as e2e  # noqa: E402  (the desktop, keys and checks)

from varnix32_e2e import check, wait_for  # noqa: E402

MODEM_TOOL = os.path.join(e2e.TOP, "build", "host", "tools", "modem")
WINDOW_TEXT = os.path.join(e2e.TOP, "build", "target", "tests", "window_text.exe")
SEARCH_TITLE = "Check modem port"
SEARCH_STATUS = 12


class FarEnd:
    """COM1 as a pseudo-terminal whose far end runs command, mapped in the
    prefix's registry; the other ports are mapped to paths where nothing
    answers. Everything goes when the case ends."""

    def __init__(self, desk, stack, command):
        self.path, self.proc = e2e.com_port(desk, stack, 1, "SYSTEM:%s" % command)
        for n in range(2, 9):
            desk.run("wine", "reg", "add", r"HKLM\Software\Wine\Ports", "/v", "COM%d" % n, "/t", "REG_SZ", "/d",
                     os.path.join(desk.env["WINEPREFIX"], "no-such-com%d" % n), "/f")

    def stop(self):
        e2e.stop_process(self.proc)


def offline_program(desk, stack, directory=None):
    prog = k.launch(desk, stack, [], directory or tempfile.mkdtemp(prefix="kelvro32_modem_"), BookBox=0)
    main = desk.window(k.TITLE)
    time.sleep(1.5)  # the splash box closes itself
    return prog, main


def search_text(desk):
    return desk.run("wine", WINDOW_TEXT, SEARCH_TITLE, str(SEARCH_STATUS)).stdout.strip()


def searched(desk, stack, far):
    """kelvro32 offline with COM1's far end running far, the modem search
    started from the menu: the program, its window and the search dialog."""
    port = FarEnd(desk, stack, far)
    prog, main = offline_program(desk, stack)
    desk.menu(main, "m", "p")
    return port, prog, main, desk.window(SEARCH_TITLE, 10)


def search_result(desk, seconds):
    """The status line once the search has ended ("Modem ..."), or None."""
    return wait_for(lambda: (lambda t: t if t.startswith("Modem") else None)(search_text(desk)), seconds)


def case_search_finds_the_modem_on_com1_and_none_without_it(desk, stack):
    """tools/modem behind COM1 answers "ATQ\\r" and is found on port 1; a
    line whose far end reads and never answers is given up, and with no
    other port the search ends with none found."""
    modem, prog, main, dialog = searched(desk, stack, "exec %s" % MODEM_TOOL)
    text = search_result(desk, 10)
    check(text == "Modem found in port 1", "the modem was not found: %r" % text)
    desk.shot("kelvro32_modem_found")
    desk.dismiss(dialog, "Return", SEARCH_TITLE, "OK did not close the ended search")
    desk.menu_exit(prog, main)
    modem.stop()

    _, prog, main, dialog = searched(desk, stack, "exec cat >/dev/null")
    check(wait_for(lambda: search_text(desk) == "Checking port COM1:", 5), "COM1 was not tried")
    desk.keys(dialog, "Return")  # still searching: OK does nothing yet
    check(desk.windows(SEARCH_TITLE), "the dialog closed while it searched")
    desk.shot("kelvro32_modem_searching")
    # Eight ports of at most three seconds each.
    text = search_result(desk, 40)
    check(text == "Modem is not found in any port", "a silent line was taken for a modem: %r" % text)
    desk.shot("kelvro32_modem_not_found")
    desk.dismiss(dialog, "Return", SEARCH_TITLE, "OK did not close the ended search")
    desk.menu_exit(prog, main)


def profile_slot(path, slot):
    data = open(path, "rb").read()
    return data[slot * 80:slot * 80 + 80].split(b"\0", 1)[0].decode("latin-1")


def case_profile_and_result_editors_write_the_makers_file(desk, stack):
    """Settings > Modem Setting on Hayes: the editor shows the delivered
    file's strings; a changed prefix and, in the result-code editor, a
    changed busy text are written to Hayes.mdm with the rest kept."""
    directory = tempfile.mkdtemp(prefix="kelvro32_modem_")
    hayes = os.path.join(directory, "Hayes.mdm")
    shutil.copy(os.path.join(e2e.BIN, "Hayes.mdm"), hayes)
    delivered = open(hayes, "rb").read()
    prog, main = offline_program(desk, stack, directory)
    desk.menu(main, "s", "m")
    listing = desk.window("Modem Setting", 10)
    desk.keys(listing, "Home", "Down", "Down", "Down", "Down")  # AT&T, BlackBox, BOCA, Dallas, Hayes
    desk.shot("kelvro32_modem_list")
    desk.keys(listing, "Return")
    editor = desk.window("Hayes", 10)
    desk.shot("kelvro32_modem_profile")
    desk.fill(editor, "ATDX")  # Prefix, the first field
    desk.dismiss(editor, "Return", "Hayes", "OK did not close the profile editor")
    check(wait_for(lambda: profile_slot(hayes, 1) == "ATDX", 5), "the prefix was not written")
    written = open(hayes, "rb").read()
    check(len(written) == 2240 and written[160:] == delivered[160:], "the rest of the profile changed")

    desk.keys(listing, "Return")
    editor = desk.window("Hayes", 10)
    desk.keys(editor, *(["Tab"] * 7), "space")  # past the seven strings to "Result Code >>"
    results = desk.window("Hayes Result code", 10)
    desk.shot("kelvro32_modem_result_code")
    desk.fill(results, "LINE BUSY")
    desk.dismiss(results, "Return", "Hayes Result code", "OK did not close the result-code editor")
    check(wait_for(lambda: profile_slot(hayes, 6) == "LINE BUSY", 5), "the busy text was not written")
    check(profile_slot(hayes, 1) == "ATDX" and profile_slot(hayes, 7) == "NO DIALTONE", "other slots changed")
    desk.dismiss(editor, "Escape", "Hayes", "Cancel did not close the profile editor")
    desk.dismiss(listing, "Escape", "Modem Setting", "Cancel did not close the maker list")
    desk.menu_exit(prog, main)


CASES = [v for k_, v in list(globals().items()) if k_.startswith("case_")]


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(e2e.run_cases(CASES, "Kelvro32ModemEndToEnd", "kelvro32.exe"))
