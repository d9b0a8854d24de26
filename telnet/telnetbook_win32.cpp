#include "telnet/telnetbook_win32.h"

#include <cstring>

#include "shell/book_dialog_win32.h"
#include "shell/book_entry.h"
#include "shell/message_box.h"
#include "telnet/netlink_win32.h"
#include "telnet/telnet_program_win32.h"
#include "telnet/telnet_texts.h"

namespace {
bool busy() { return telnetProgram.online || netConnecting(); }

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

// New and Edit open the configuration sheet over record.
// INTEGRATION POINT: the sheet comes with the configuration pages; until it
// is linked in, the command says it is not available and nothing is saved.
int editEntry(HWND, uint8_t*, bool) {
  messageBox(TXT_NOT_AVAILABLE, nullptr, MSG_OK | MSG_ICONINFORMATION);
  return IDCANCEL;
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
  if (bookDialog(owner, telnetBook()) == 1 && !busy()) sessionConnect();
}

void telnetQuickConnectCommand(HWND owner) {
  if (busy()) return;  // the menu entry and the button are off while online
  if (quickConnectDialog(owner, telnetBook()) == 1) sessionConnect();
}
