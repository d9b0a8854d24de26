#!/usr/bin/python3
"""kelvro32's phonebook under Wine, driven through the X keyboard: entries
created through the configuration sheet, copied, edited, given dialing
options and deleted, each checked in its file; Dial of a direct entry opens
the line to a real shell behind COM1, and the Settings menu's sheet commands
change the entry of that session. Prints GoogleTest-style result lines."""
import os
import signal
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import kelvro32_e2e as k  # noqa: E402  (the program, its lines and waits)
import varnix32_e2e as e2e  # noqa: E402  (the desktop, keys and checks)

from varnix32_e2e import check, wait_for  # noqa: E402

TITLE = k.TITLE
# Tab presses from the list of the freshly opened phonebook to each button
# (the batch box and list come first; Remove is disabled and skipped).
TABS = {"dial": 3, "autolog": 4, "new": 5, "edit": 6, "copy": 7, "delete": 8, "options": 9}


def entry_path(directory, stem):
    """The entry file of stem, found without regard to case, or None."""
    for file in os.listdir(directory):
        if file.lower() == (stem + ".phn").lower():
            return os.path.join(directory, file)
    return None


def values(directory, stem):
    path = entry_path(directory, stem)
    return e2e.entry_values(path) if path else {}


def phone_dir():
    """A program directory holding the direct entry "Alpha" on COM1."""
    directory = tempfile.mkdtemp(prefix="kelvro32_book_")
    e2e.new_entry(directory, "Alpha.phn", "name=Alpha", "phoneType=2", "portIndex=0", "speedIndex=1", "emulation=4")
    return directory


def start(desk, stack, directory):
    """kelvro32 with the phonebook shown at start-up."""
    stack.callback(desk.reg_set, "BookBox", 0)
    prog = k.launch(desk, stack, [], directory, DOWNLOAD=None, seqdial=None, BookBox=1)
    book = desk.window("Phonebook")
    time.sleep(1.5)  # the splash box closes itself
    return prog, book


def reopen(desk, book):
    """The phonebook again from the File menu (its list focused)."""
    desk.dismiss(book, "Escape", "Phonebook", "Close did not close the phonebook")
    desk.menu(desk.window(TITLE), "f", "p")
    return desk.window("Phonebook")


def press(desk, book, row, button):
    desk.keys(book, "Home", *(["Down"] * row))
    desk.keys(book, *(["Tab"] * TABS[button]), "space")


def reopened_dialog(desk, book, row, button, title):
    """The phonebook opened again, and the dialog its button opens for row."""
    book = reopen(desk, book)
    press(desk, book, row, button)
    return book, desk.window(title)


def case_phonebook_creates_copies_edits_and_deletes(desk, stack):
    """New makes an entry through the sheet (every page shown), Copy a new
    file from the selected one, Edit changes an entry whose name stays (a
    refused value keeps the sheet open), Options stores the dialing values,
    Delete asks first; Batch dial is stored and Dial refuses its empty list."""
    directory = phone_dir()
    prog, book = start(desk, stack, directory)
    desk.shot("kelvro32_phonebook")
    # Listed: Alpha, Default. New starts from the template.
    press(desk, book, 0, "new")
    sheet = desk.window("Configuration")
    time.sleep(0.5)
    desk.fill(sheet, "Fresh", "5551234")
    desk.shot("kelvro32_sheet_0_general")
    # The pages after General, one Ctrl+Tab each, then round to General.
    for page in range(1, 8):
        desk.keys(sheet, "ctrl+Tab")
        time.sleep(0.5)
        desk.shot("kelvro32_sheet_%d" % page)
    desk.keys(sheet, "ctrl+Tab")
    time.sleep(0.3)
    desk.dismiss(sheet, "Return", "Configuration", "OK did not close the sheet")
    fresh = values(directory, "Fresh")
    check(fresh.get("phoneNumber") == "5551234" and fresh.get("name") == "Fresh", "New wrote %r" % fresh)
    # Rows: Alpha, Default, Fresh. Copy Fresh under a new name.
    book, copy = reopened_dialog(desk, book, 2, "copy", "Copy to a New Service")
    desk.fill(copy, "Fresh2", "777", "9")
    desk.shot("kelvro32_phonebook_copy")
    desk.dismiss(copy, "Return", "Copy to a New Service", "OK did not close the copy dialog")
    copied = values(directory, "Fresh2")
    check(copied.get("phoneNumber") == "777" and copied.get("phonePrefix") == "9", "the copy holds %r" % copied)
    check(values(directory, "Fresh").get("phoneNumber") == "5551234", "the source entry changed")
    # A copy whose number the modem cannot dial is refused and writes nothing.
    book, copy = reopened_dialog(desk, book, 2, "copy", "Copy to a New Service")
    desk.fill(copy, "Bad", "55?")
    desk.keys(copy, "Return")
    desk.keys(desk.window("Message"), "Return")  # "Invalid phone number specified"
    desk.dismiss(copy, "Escape", "Copy to a New Service", "Cancel did not close the copy dialog")
    check(entry_path(directory, "Bad") is None, "a refused copy was written")
    # Edit Alpha (a direct line): a number is refused, a prefix is taken.
    book, sheet = reopened_dialog(desk, book, 0, "edit", "Configuration")
    time.sleep(0.5)
    desk.fill(sheet, "123")  # the name is read-only: the phone edit has the focus
    desk.keys(sheet, "Return")
    desk.keys(desk.window("Message"), "Return")  # "Invalid phone type specified"
    check(desk.windows("Configuration"), "a refused page closed the sheet")
    desk.keys(sheet, "End", "shift+Home", "BackSpace")  # the focus is back on the phone edit
    desk.fill(sheet, None, "8")
    desk.dismiss(sheet, "Return", "Configuration", "OK did not close the sheet")
    alpha = values(directory, "Alpha")
    check(alpha.get("phonePrefix") == "8" and alpha.get("phoneNumber") == "" and alpha.get("name") == "Alpha",
          "Edit left %r" % alpha)
    # Dialing options of Alpha.
    book, options = reopened_dialog(desk, book, 0, "options", "Dialing Options")
    desk.fill(options, "3", "45")
    desk.shot("kelvro32_phonebook_dialing_options")
    desk.dismiss(options, "Return", "Dialing Options", "OK did not close the dialing options")
    alpha = values(directory, "Alpha")
    check(alpha.get("retryCount") == "3" and alpha.get("timeout") == "45", "the options wrote %r" % alpha)
    # Delete Fresh2 (row 3): No keeps it, Yes removes it.
    for answer, kept in (("n", True), ("y", False)):
        book = reopen(desk, book)
        press(desk, book, 3, "delete")
        desk.keys(desk.window("Message"), answer)
        check(wait_for(lambda: (entry_path(directory, "Fresh2") is not None) == kept, 10),
              "Delete answered %s left the file %s" % (answer, "gone" if kept else "there"))
    # Batch dial: stored at once; Dial with an empty list says so.
    book = reopen(desk, book)
    desk.keys(book, "Tab", "space")
    check(wait_for(lambda: desk.reg_get("seqdial") == "1", 10), "Batch dial was not stored")
    desk.keys(book, "shift+Tab", "Home", *(["Tab"] * TABS["dial"]), "space")
    desk.keys(desk.window("Message"), "Return")  # "No entries in batch dial list"
    check(desk.windows("Phonebook"), "Dial with an empty batch list closed the phonebook")
    desk.keys(book, "shift+Tab", "shift+Tab", "space")  # from Dial back to Batch dial
    check(wait_for(lambda: desk.reg_get("seqdial") == "0", 10), "Batch dial off was not stored")
    desk.dismiss(book, "Escape", "Phonebook", "Close did not close the phonebook")
    desk.menu_exit(prog, desk.window(TITLE))


def case_dial_opens_a_direct_entry_and_the_settings_menu_edits_it(desk, stack):
    """Dial on a direct entry opens its port: keys reach the shell behind
    COM1; Communication Parameters shows the line while connected; after the
    hang-up Settings > Terminal Prefs. changes the entry's file; a modem
    entry's Dial dials, and a shell is no modem; the View options show the
    program's own start-up choices; Settings > Keyboard opens the key map."""
    line = k.Line(desk, stack, 1)
    directory = phone_dir()
    e2e.new_entry(directory, "Modem.phn", "name=Modem", "phoneType=1", "phoneNumber=5551234")
    prog, book = start(desk, stack, directory)
    # Rows: Alpha, Default, Modem.
    press(desk, book, 2, "dial")
    # A modem entry is dialed: the shell behind COM1 gives no modem reply.
    desk.keys(desk.window("Error", 30), "Return")  # "No response from modem"
    desk.keys(desk.window("Message", 30), "Return")  # every attempt failed
    main = desk.window(TITLE)
    desk.menu(main, "f", "p")
    book = desk.window("Phonebook")
    press(desk, book, 0, "dial")
    desk.gone("Phonebook", "Dial did not close the phonebook")
    k.online(desk, main)
    check(k.typed(desk, main, line, "echo dialed-$((6*7)) > dialed.txt", "dialed.txt", "dialed-42"),
          "keys did not reach the shell behind the dialed entry's port")
    desk.menu(main, "s", "o")  # Communication Parameters
    parameters = desk.window("Communication Parameter")
    desk.shot("kelvro32_communication_parameters")
    desk.dismiss(parameters, "Return", "Communication Parameter", "OK did not close the dialog")
    desk.menu(main, "n", "h")  # Session > Hangup
    desk.dismiss(desk.window("Message", 10), "Return", "Message", "the disconnect box did not close")
    # The phonebook is shown again after the hang-up.
    desk.dismiss(desk.window("Phonebook"), "Escape", "Phonebook", "Close did not close the phonebook")
    desk.menu(main, "s", "t")  # Terminal Prefs.: the sheet on its terminal page
    sheet = desk.window("Configuration")
    time.sleep(0.5)
    desk.shot("kelvro32_sheet_terminal_from_menu")
    desk.keys(sheet, "End", "Return")  # the terminal list has the focus: IBM3151
    desk.gone("Configuration", "OK did not close the sheet")
    check(wait_for(lambda: values(directory, "Alpha").get("emulation") == "10", 10),
          "the terminal page's choice did not reach the entry of the session")
    desk.menu(main, "e", "v")  # View options
    view = desk.window("View options")
    time.sleep(0.3)
    desk.shot("kelvro32_view_options")
    desk.dismiss(view, "Escape", "View options", "Cancel did not close the view options")
    desk.menu(main, "s", "k")  # Keyboard
    keymap = desk.window("Keymap Editor.*")  # titled with the terminal shown
    desk.dismiss(keymap, "Escape", "Keymap Editor.*", "the keymap editor did not close")
    desk.menu_exit(prog, main)


CASES = [v for name, v in list(globals().items()) if name.startswith("case_")]


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(e2e.run_cases(CASES, "Kelvro32Phonebook", "kelvro32.exe"))
