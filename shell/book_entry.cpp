#include "shell/book_entry.h"

#include <cstring>

#include "shell/message_box.h"
#include "shell/message_ids.h"

using namespace bookField;

const FieldSpec bookFieldTable[] = {
#define BOOK_LIST(n, o, s, k) LIST_FIELD(BOOK_ENTRY_SIZE, n, o, s, k)
    BOOK_ENTRY_FIELDS(BOOK_LIST)
#undef BOOK_LIST
};
const int bookFieldCount = sizeof bookFieldTable / sizeof bookFieldTable[0];

const BookKind TELNET_BOOK = {".tel", ".TEL", BOOK_ENTRY_SIZE, bookField::name};

BookEntry sessionEntry;
BookEntry templateEntry;

// Stands in for a real host until the user edits the template.
static const char* const PLACEHOLDER_ADDRESS = "host.example.com";

BookEntry bookDefaultEntry() {
  BookEntry e{};
  uint8_t* r = e.bytes;
  recordSetText(r, address, PLACEHOLDER_ADDRESS);
  recordSetText(r, name, "Default");
  recordSetInt(r, emulation, 4);
  recordSetText(r, terminalId, "vt100");
  recordSetInt(r, terminalHeight, 24);
  recordSetInt(r, terminalWidth, 0);
  recordSetInt(r, resizeMode, 1);
  recordSetInt(r, autowrap, 1);
  recordSetInt(r, backspaceDelete, 1);
  recordSetInt(r, transferProtocol, 6);
  recordSetInt(r, zmodemEscapeControl, 1);
  recordSetInt(r, protocol, 0);
  recordSetInt(r, port, 0);
  recordSetInt(r, useFirewall, 0);
  recordSetText(r, fontFace, "courier");
  recordSetInt(r, fontHeight, FONT_HEIGHT_9PT);
  return e;
}

int bookLoadEntry(const char* entryName, BookEntry& entry) {
  return entryFileRead(TELNET_BOOK, entryName, entry.bytes);
}

int bookSaveEntry(const BookEntry& entry) {
  return entrySave(TELNET_BOOK, entry.bytes, TXT_ENTRY_CREATE_FAILED);
}

int bookValidateEntry(const BookEntry& entry) {
  int text = recordText(entry.bytes, name).empty()      ? TXT_NO_SERVICE_NAME
             : recordText(entry.bytes, address).empty() ? TXT_NO_ADDRESS
                                                        : 0;
  if (text == 0) return 0;
  messageBeep();
  messageBox(text, nullptr, MSG_OK | MSG_ICONINFORMATION);
  return -1;
}

int bookLoadTemplate() {
  BookEntry defaults = bookDefaultEntry();
  return entryLoadTemplate(TELNET_BOOK, TELNET_TEMPLATE_FILE, defaults.bytes, templateEntry.bytes);
}

int bookEmulation(const BookEntry& e) { return clampedOr(recordInt(e.bytes, emulation), 1, 10, 4); }
int bookTerminalRows(const BookEntry& e) {
  int64_t rows = recordInt(e.bytes, terminalHeight);
  return rows == 0 ? 24 : clampedTo(rows, 24, 99);
}
int bookTerminalColumns(const BookEntry& e) { return recordInt(e.bytes, terminalWidth) == 1 ? 132 : 80; }
int bookResizeMode(const BookEntry& e) { return clampedOr(recordInt(e.bytes, resizeMode), 0, 2, 1); }
int bookTransferProtocol(const BookEntry& e) { return clampedOr(recordInt(e.bytes, transferProtocol), 0, 7, 0); }
int bookFlowControl(const BookEntry& e) { return clampedOr(recordInt(e.bytes, flowControl), 0, 3, 0); }
int bookLineSpeed(const BookEntry& e) { return clampedOr(recordInt(e.bytes, lineSpeed), 0, 11, 0); }
int bookProtocol(const BookEntry& e) { return clampedOr(recordInt(e.bytes, protocol), 0, 1, 0); }
int bookPort(const BookEntry& e) { return clampedOr(recordInt(e.bytes, port), 0, 65535, 0); }
int bookKermitPacketSize(const BookEntry& e) {
  int64_t size = recordInt(e.bytes, kermitPacketSize);
  return size == 0 ? 1024 : clampedTo(size, 65, 9024);
}
