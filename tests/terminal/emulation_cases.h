// Tables of byte streams for one emulation: bytes in, then the screen, the
// cursor, the replies and the attributes that must come out.
#pragma once
#include <ostream>
#include <string>

#include "tests/terminal/terminal_harness.h"

namespace harness {

const std::string E = "\033";

struct ScreenCase {
  const char* name;
  std::string input;
  std::string screen;  // rows joined by "|", trailing empty rows left out
  std::string cursor;  // 1-based row,column
  std::string reply = "";
  int emulation = 0;   // for tables over several emulations
};
inline void PrintTo(const ScreenCase& c, std::ostream* os) { *os << c.name; }

struct AttributeCase {
  const char* name;
  std::string input;
  std::string firstRow;  // attributes of row 1, two hex digits a cell
  std::string current;   // the current attribute afterwards ("": not compared)
  int emulation = 0;     // for tables over several emulations
};
inline void PrintTo(const AttributeCase& c, std::ostream* os) { *os << c.name; }

inline std::string hexByte(int v) {
  char two[4];
  std::snprintf(two, sizeof two, "%02x", v & 0xFF);
  return two;
}

inline void expectScreenCase(int emulation, const ScreenCase& c) {
  reset(emulation);
  feed(c.input);
  EXPECT_EQ(screenText(), c.screen);
  EXPECT_EQ(cursor(), c.cursor);
  EXPECT_EQ(wire.replies, c.reply);
  EXPECT_FALSE(emulator.inSequence) << "the sequence should have ended";
  // Erased characters (ECH) reach the window only at its next repaint.
  expectPathsAlike(emulation, c.input, std::string(c.name) != "erase_characters");
}

inline void expectAttributeCase(int emulation, const AttributeCase& c) {
  reset(emulation);
  feed(c.input);
  EXPECT_EQ(attrs(0), c.firstRow);
  if (!c.current.empty()) EXPECT_EQ(hexByte(screen.attribute), c.current);
  expectPathsAlike(emulation, c.input);
}

inline std::string caseName(const char* name) { return name; }

}  // namespace harness
