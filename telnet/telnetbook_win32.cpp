#include "telnet/telnetbook_win32.h"

#include <cstring>

#include "frame/frame_session.h"
#include "frame/frame_win32.h"
#include "shell/book_dialog_win32.h"
#include "shell/book_entry.h"
#include "frame/config_sheet_win32.h"
#include "telnet/session_entry_file.h"

namespace {
bool busy() { return frameSession.state != FrameState::Offline; }

void reloadTemplate() { bookLoadTemplate(); }
int validate(const uint8_t* record) {
  BookEntry e;
  memcpy(e.bytes, record, sizeof e.bytes);
  return bookValidateEntry(e);
}
int save(const uint8_t* record) {
  BookEntry e;
  memcpy(e.bytes, record, sizeof e.bytes);
  return bookSaveEntry(e);
}

// New and Edit open the configuration sheet on its first page over a copy
// of the entry; its OK saves the entry, and the session's own record is
// not touched, so editing while online changes nothing of the session.
int editEntry(HWND owner, uint8_t* record, bool newEntry) {
  BookEntry entry;
  memcpy(entry.bytes, record, sizeof entry.bytes);
  int result = settingsSheet(owner, &entry, CONFIG_GENERAL, newEntry);
  if (result == IDOK) memcpy(record, entry.bytes, sizeof entry.bytes);
  return result;
}

const BookEnv& telnetBook() {
  static const BookEnv env = {
      {&TELNET_BOOK, bookField::address, bookField::port},
      "Telnetbook",
      sessionEntry.bytes,
      templateEntry.bytes,
      reloadTemplate,
      validate,
      save,
      busy,
      editEntry,
      &HELP_TELNETBOOK,
      &HELP_TELNETBOOK_COPY,
      &HELP_QUICK_CONNECT,
  };
  return env;
}
}  // namespace

void telnetBookCommand(HWND owner) {
  if (bookDialog(owner, telnetBook()) == 1 && !busy()) {
    sessionEntryKeepFile(false);
    frameOpenSession();
  }
}

void telnetQuickConnectCommand(HWND owner) {
  if (busy()) return;  // the menu entry and the button are off while online
  int chosen = quickConnectDialog(owner, telnetBook());
  if (chosen == 0) return;
  sessionEntryKeepFile(chosen == 2);
  frameOpenSession();
}
