#include "dialup/chat_pane.h"

#include <cstring>

namespace {
constexpr int LOCAL_TOP = 0, LOCAL_BOTTOM = 10, LOCAL_SCROLL_AT = 9, LOCAL_STAY = 8;
constexpr int REMOTE_TOP = 13, REMOTE_BOTTOM = 37, REMOTE_START = 14, REMOTE_LAST = 23;

void clearRow(ChatScreen& s, int line) {
  memset(s.rows[line], ' ', CHAT_COLUMNS);
  s.rows[line][CHAT_COLUMNS] = '\0';
}

void scrollBand(ChatScreen& s, int top, int bottom) {
  for (int line = top; line < bottom; ++line) memcpy(s.rows[line], s.rows[line + 1], CHAT_COLUMNS + 1);
  clearRow(s, bottom);
}

void localNewLine(ChatScreen& s) {
  s.local.column = 0;
  if (++s.local.line >= LOCAL_SCROLL_AT) {
    scrollBand(s, LOCAL_TOP, LOCAL_BOTTOM);
    s.local.line = LOCAL_STAY;
  }
}

void remoteNewLine(ChatScreen& s) {
  s.remote.column = 0;
  if (s.remote.line < REMOTE_LAST) ++s.remote.line;
  else scrollBand(s, REMOTE_TOP, REMOTE_BOTTOM);
}

void put(ChatScreen& s, ChatCaret& caret, char c, void (*newLine)(ChatScreen&)) {
  s.rows[caret.line][caret.column] = c;
  if (++caret.column >= s.columns) newLine(s);
}
}  // namespace

void chatReset(ChatScreen& s, int columns) {
  for (int line = 0; line < CHAT_ROWS; ++line) clearRow(s, line);
  s.columns = columns < 1 ? 1 : columns > CHAT_COLUMNS ? CHAT_COLUMNS : columns;
  s.local = ChatCaret{LOCAL_TOP, 0};
  s.remote = ChatCaret{REMOTE_START, 0};
}

void chatLocal(ChatScreen& s, uint8_t byte) {
  if (byte == '\r') localNewLine(s);
  else put(s, s.local, static_cast<char>(byte), localNewLine);
}

int chatRemote(ChatScreen& s, uint8_t byte, bool eightBit) {
  if (!eightBit) byte &= 0x7F;
  if (byte == '\r' || byte == '\n') {
    remoteNewLine(s);
  } else if ((byte >= 32 && byte != 127)) {
    put(s, s.remote, static_cast<char>(byte), remoteNewLine);
  } else if ((byte == 8 || byte == 127) && s.remote.column > 0) {
    --s.remote.column;
    s.rows[s.remote.line][s.remote.column] = ' ';
  } else if (byte == 7) {
    return 1;
  }
  return 0;
}
