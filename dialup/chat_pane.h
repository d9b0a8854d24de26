// Chat mode's two panes as text: the local pane (what the user types, lines
// 0 to 10) above the line, the remote pane (what arrives, from line 13) below
// it. The window paints from these rows; the carets are where they are drawn.
#pragma once
#include <cstdint>

constexpr int CHAT_ROWS = 38;
constexpr int CHAT_COLUMNS = 254;
constexpr int CHAT_DIVIDER_LINE = 12;  // the line across the window

struct ChatCaret {
  int line;
  int column;
};

struct ChatScreen {
  char rows[CHAT_ROWS][CHAT_COLUMNS + 1];
  int columns;  // the window's width in characters (wrap point)
  ChatCaret local, remote;
};

// Empty panes, the local caret at the top left, the remote one at line 14.
void chatReset(ChatScreen& s, int columns);
// A typed character echoed into the local pane.
void chatLocal(ChatScreen& s, uint8_t byte);
// A received character into the remote pane; bit 7 is cleared unless the line
// carries 8 data bits. Returns 1 when it rings the bell, else 0.
int chatRemote(ChatScreen& s, uint8_t byte, bool eightBit);
