// A fresh terminal for each test: bytes go in through the receive pass over an
// in-memory link; rows, attributes, cursor and replies come out.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "terminal/emulator.h"
#include "terminal/hooks.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/surface_posix.h"
#include "terminal/terminal_state.h"

namespace harness {

struct Wire {
  std::string incoming;  // bytes the host sent, not yet read
  size_t at = 0;
  std::string replies;   // bytes we wrote to the link
  int maxRead = 1 << 20; // largest read the link hands out at once
  bool lost = false;     // report LINK_LOST once the incoming bytes are used up
  void (*onWrite)() = nullptr;  // runs inside every write, like a socket write pumping messages
};

inline Wire wire;

inline int wireRead(uint8_t* buffer, int count) {
  size_t n = std::min({static_cast<size_t>(count), wire.incoming.size() - wire.at,
                       static_cast<size_t>(wire.maxRead)});
  if (n == 0 && wire.lost) return LINK_LOST;
  std::memcpy(buffer, wire.incoming.data() + wire.at, n);
  wire.at += n;
  return static_cast<int>(n);
}

inline int wireWrite(const uint8_t* bytes, int length) {
  wire.replies.append(reinterpret_cast<const char*>(bytes), length);
  if (wire.onWrite) wire.onWrite();
  return 0;
}

inline LinkOps wireOps = {wireRead, wireWrite, nullptr, nullptr, nullptr, nullptr, nullptr, true, nullptr, nullptr};

// Resets the whole terminal: emulation e, rows x columns, capacity lines.
inline void reset(int emulation = 4, int rows = 24, int columns = 80, int capacity = 1000) {
  wire = Wire{};
  terminalReset(rows, columns, capacity);
  terminalOptions.emulation = emulation;
  emulatorConnectionStart();
  linkAttach(&wireOps);
  receiveEightBit = true;
  surfaceClearCalls();
}

// Hands bytes to the receive pass the way the link delivers them.
inline int feed(const std::string& bytes) {
  wire.incoming += bytes;
  int result = 0;
  while (wire.at < wire.incoming.size() && result == 0) result = receiveAvailable();
  if (wire.lost && result == 0) result = receiveAvailable();
  return result;
}

inline std::string lineText(const ScreenLine& line) {
  return std::string(reinterpret_cast<const char*>(line.cells), std::max<int>(0, line.used));
}
inline std::string row(int r) { return lineText(lineAt(r)); }

inline std::string hexByte(int v) {
  char two[4];
  std::snprintf(two, sizeof two, "%02x", v & 0xFF);
  return two;
}

inline std::string attrs(int r) {
  std::string out;
  for (int c = 0; c < lineAt(r).used; ++c) out += hexByte(attributesAt(r)[c]);
  return out;
}

// Rows joined by "|", trailing empty rows left out.
inline std::string screenText() {
  std::vector<std::string> rows;
  for (int r = 0; r < screen.rows; ++r) rows.push_back(row(r));
  while (!rows.empty() && rows.back().empty()) rows.pop_back();
  std::string out;
  for (size_t i = 0; i < rows.size(); ++i) out += (i ? "|" : "") + rows[i];
  return out;
}

// A line of the scrollback, counted upward from the line above the screen (1).
inline std::string historyRow(int back) {
  return lineText(screen.text[((screen.screenTop - back) % screen.capacity + screen.capacity) % screen.capacity]);
}

// 1-based "row,column".
inline std::string cursor() {
  return std::to_string(screen.row + 1) + "," + std::to_string(screen.column + 1);
}

// Everything a byte stream can change that tests compare: screen, cursor,
// replies, every row's attributes and the current attribute.
struct Snapshot {
  std::string text, cursor, replies, attrs;
  bool operator==(const Snapshot& o) const {
    return text == o.text && cursor == o.cursor && replies == o.replies && attrs == o.attrs;
  }
};

inline Snapshot snapshot() {
  std::string a;
  for (int r = 0; r < screen.rows; ++r) a += attrs(r) + "/";
  return {screenText(), cursor(), wire.replies, a + hexByte(screen.attribute)};
}

// The buffer's rows as the window shows them, cells past the used length blank.
inline std::vector<std::string> bufferRows() {
  std::vector<std::string> g;
  for (int r = 0; r < screen.rows; ++r) {
    std::string line = row(r).substr(0, static_cast<size_t>(screen.columns));
    g.push_back(line + std::string(static_cast<size_t>(screen.columns) - line.size(), ' '));
  }
  return g;
}

inline std::string joinRows(const std::vector<std::string>& g) {
  std::string out;
  for (const std::string& line : g) out += line + "|";
  return out;
}
inline std::string bufferText() { return joinRows(bufferRows()); }

// The window as the user would see it: the surface calls since the reset
// painted onto a grid of characters. Scrolls move cells inside their
// rectangle (leaving what they uncover undefined), fills blank cells, drawn
// cells set them, and an invalidation repaints everything from the buffer (as
// the paint handler does).
inline std::string windowText() {
  const ScreenBuffer& s = screen;
  std::vector<std::string> g(s.rows, std::string(s.columns, ' '));
  auto cellAt = [&](int x, int y) -> char* {
    int c = x / s.cellWidth, r = (y - s.textTop) / s.cellHeight;
    if (x < 0 || y < s.textTop || c >= s.columns || r >= s.rows) return nullptr;
    return &g[r][c];
  };
  for (const SurfaceCall& c : surfaceCalls()) {
    if (c.op == SurfaceOp::DrawCell) {
      if (char* cell = cellAt(c.a, c.b)) *cell = static_cast<char>(c.c);
    } else if (c.op == SurfaceOp::Fill) {
      for (int y = c.b; y < c.d; y += s.cellHeight)
        for (int x = c.a; x < c.c; x += s.cellWidth)
          if (char* cell = cellAt(x, y)) *cell = ' ';
    } else if (c.op == SurfaceOp::Scroll) {
      std::vector<std::string> before = g;
      for (int y = c.b; y < c.d; y += s.cellHeight)
        for (int x = c.a; x < c.c; x += s.cellWidth) {
          int fromX = x - c.e, fromY = y - c.f;
          char* to = cellAt(x, y);
          // What the scroll uncovers is undefined until something paints it.
          if (fromX < c.a || fromX >= c.c || fromY < c.b || fromY >= c.d) {
            if (to) *to = '?';
            continue;
          }
          int fc = fromX / s.cellWidth, fr = (fromY - s.textTop) / s.cellHeight;
          if (to && fc < s.columns && fr < s.rows) *to = before[fr][fc];
        }
    } else if (c.op == SurfaceOp::Invalidate) {
      g = bufferRows();
    }
  }
  return joinRows(g);
}

// The same stream with the fast text runs turned off (a capture that keeps
// nothing makes every byte take the per-byte path) must leave the same
// screen, cursor, replies and attributes, and the window must show the buffer.
inline void expectPathsAlike(int emulation, const std::string& s, bool windowFollows = true) {
  reset(emulation);
  feed(s);
  Snapshot fast = snapshot();
  if (windowFollows) {
    EXPECT_EQ(windowText(), bufferText()) << "the window differs from the buffer";
  }
  reset(emulation);
  terminalHooks.captureOn = [] { return true; };
  feed(s);
  EXPECT_TRUE(snapshot() == fast) << "the per-byte path differs from the fast path";
}

// One byte per receive pass (a split inside every sequence at once; a link
// that hands out one byte per read would still fill a whole block), and every
// split into two passes, give the same as the stream in one pass.
inline void expectBytewiseAlike(int emulation, const std::string& s, const Snapshot& whole) {
  reset(emulation);
  for (char b : s) feed(std::string(1, b));
  EXPECT_TRUE(snapshot() == whole) << "emulation " << emulation << " one byte per pass";
}

inline void expectEverySplitAlike(int emulation, const std::string& s) {
  reset(emulation);
  feed(s);
  Snapshot whole = snapshot();
  expectBytewiseAlike(emulation, s, whole);
  for (size_t cut = 1; cut < s.size(); ++cut) {
    reset(emulation);
    feed(s.substr(0, cut));
    feed(s.substr(cut));
    EXPECT_TRUE(snapshot() == whole) << "emulation " << emulation << " cut at " << cut;
  }
}

// Tables of byte streams for one emulation: bytes in, then the screen, the
// cursor, the replies and the attributes that must come out.
inline const std::string E = "\033";

struct ScreenCase {
  const char* name;
  std::string input;
  std::string screen;  // rows joined by "|", trailing empty rows left out
  std::string cursor;  // 1-based row,column
  std::string reply = "";
  int emulation = 0;   // for tables over several emulations
};

struct AttributeCase {
  const char* name;
  std::string input;
  std::string firstRow;  // attributes of row 1, two hex digits a cell
  std::string current;   // the current attribute afterwards ("": not compared)
  int emulation = 0;     // for tables over several emulations
};

inline void expectCase(int emulation, const ScreenCase& c) {
  SCOPED_TRACE(c.name);
  reset(emulation);
  feed(c.input);
  EXPECT_EQ(screenText(), c.screen);
  EXPECT_EQ(cursor(), c.cursor);
  EXPECT_EQ(wire.replies, c.reply);
  EXPECT_FALSE(emulator.inSequence) << "the sequence should have ended";
  // Erased characters (ECH) reach the window only at its next repaint.
  expectPathsAlike(emulation, c.input, std::string(c.name).find("erase_char") == std::string::npos);
}

inline void expectCase(int emulation, const AttributeCase& c) {
  SCOPED_TRACE(c.name);
  reset(emulation);
  feed(c.input);
  EXPECT_EQ(attrs(0), c.firstRow);
  if (!c.current.empty()) {
    EXPECT_EQ(hexByte(screen.attribute), c.current);
  }
  expectPathsAlike(emulation, c.input);
}

// A whole table under one emulation (0: each case's own).
template <typename Case, size_t N>
void expectCases(int emulation, const Case (&cases)[N]) {
  for (const Case& c : cases) expectCase(emulation ? emulation : c.emulation, c);
}

}  // namespace harness
