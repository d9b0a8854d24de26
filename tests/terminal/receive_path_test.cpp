// The receive pass and the two per-byte paths, the send path, the line-end and
// echo options, the upward hooks and the keys, all driven through the link.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "terminal/hooks.h"
#include "terminal/keymap.h"
#include "terminal/receive.h"
#include "terminal/receive_state.h"
#include "tests/terminal/terminal_harness.h"

using namespace harness;

namespace {

std::vector<int> blockSizes;

// Blocks of 1023 read again while full, even from a link that hands out small
// pieces; an inbound CR may grow a block to 1024, but not during a ZMODEM
// capture.
TEST(ReceivePass, BlockSizes) {
  struct Case {
    bool crLf, zmodem;
    std::string bytes;
    std::vector<int> blocks;
  } cases[] = {{false, false, std::string(3000, 'x'), {1023, 1023, 954}},
               {true, false, std::string(1022, 'x') + "\ryy", {1024, 2}},
               {true, true, "a\rb", {3}}};
  for (const Case& c : cases) {
    reset();
    blockSizes.clear();
    terminalOptions.inboundCrLf = c.crLf;
    if (c.zmodem) terminalHooks.zmodemCaptureActive = [] { return true; };
    terminalHooks.chatMode = [] { return true; };
    terminalHooks.chatBytes = [](const uint8_t*, int length) { blockSizes.push_back(length); };
    wire.maxRead = 100;
    wire.incoming = c.bytes;
    EXPECT_EQ(receiveAvailable(), 0);
    EXPECT_EQ(blockSizes, c.blocks) << c.bytes.size();
  }
  EXPECT_EQ(lastReceivedByte, 'b');
}

// A host that never stops: each pass takes a bounded number of blocks and
// says more may wait; the passes together deliver every byte in order.
TEST(ReceivePass, AFloodIsTakenInBoundedPassesWithNothingLostOrReordered) {
  reset();
  static std::string got;
  got.clear();
  terminalHooks.chatMode = [] { return true; };
  terminalHooks.chatBytes = [](const uint8_t* bytes, int length) {
    got.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
  };
  std::string flood;
  for (int i = 0; flood.size() < 100000; ++i) flood += std::to_string(i) + ",";
  wire.incoming = flood;
  const size_t bound = static_cast<size_t>(RECEIVE_BLOCKS_PER_PASS) * RECEIVE_BLOCK;
  std::vector<size_t> perPass;
  for (int pass = 0; pass < 10; ++pass) {
    size_t before = got.size();
    EXPECT_EQ(receiveAvailable(), 0);
    perPass.push_back(got.size() - before);
    if (!receiveBacklog()) break;
  }
  ASSERT_GE(perPass.size(), 2u);
  EXPECT_EQ(perPass[0], bound) << "the first pass stops at its bound";
  EXPECT_LT(perPass.back(), bound) << "the last pass finds the link empty";
  EXPECT_FALSE(receiveBacklog());
  EXPECT_EQ(got, flood);
}

TEST(ReceivePass, LostLinkProcessesBytesFirst) {
  reset();
  wire.lost = true;
  EXPECT_EQ(feed("last words"), LINK_LOST);
  EXPECT_EQ(row(0), "last words");
}

// Without autowrap the last cell of the line (cell 254, or cell 131 in the
// dial-up program) keeps being overwritten.
TEST(Printable, WithoutAutowrapLastCellIsOverwritten) {
  for (int last : {254, 131}) {
    reset();
    terminalOptions.autowrap = false;
    terminalOptions.noWrapLastCell = last;
    emulatorConnectionStart();
    feed(std::string(300, 'a') + "Z");
    EXPECT_EQ(row(0), std::string(last, 'a') + "Z");
    EXPECT_EQ(row(1), "");
    EXPECT_EQ(cursor(), "1," + std::to_string(last + 2));
  }
}

// Strip high bit itself is checked through termplay; here the 7-bit mask of a
// link that is not 8-bit yet and of a running script.
TEST(Printable, SevenBitLinkAndScriptMask) {
  reset();
  receiveEightBit = false;
  feed("\xe9");
  EXPECT_EQ(row(0), "i");
  reset();
  terminalHooks.scriptRunning = [] { return true; };
  feed("\xe9");
  EXPECT_EQ(row(0), "i");
}

TEST(Printable, DeleteMovesBackAndShortensLine) {
  reset();
  feed("abc" + E + "[1m\x7f");
  EXPECT_EQ(row(0), "ab");
  EXPECT_EQ(cursor(), "1,3");
  EXPECT_EQ(attributesAt(0)[2], 0xF0);
  feed("\x7f\x7f\x7f");
  EXPECT_EQ(cursor(), "1,1");
  EXPECT_EQ(row(0), "");
}

struct SendCase {
  const char* name;
  bool echo, outbound, controls, link, zmodem, ascii;
  std::string typed, sent, screen, cursor;
};

TEST(SendPath, EchoAndOutboundLineEnds) {
  const SendCase cases[] = {
      {"plain", false, false, false, true, false, false, "a\r", "a\r", "", "1,1"},
      {"outbound_crlf", false, true, false, true, false, false, "a\rb", "a\r\nb", "", "1,1"},
      {"echo_implies_crlf", true, false, false, true, false, false, "hi\r", "hi\r\n", "hi", "2,1"},
      // The CR is echoed through the control display, the LF through the normal path.
      {"echo_display_controls", true, false, true, true, false, false, "a\r", "a\r\n", "a<cr>", "2,6"},
      {"no_link_nothing", true, false, false, false, false, false, "x", "", "", "1,1"},
      // A ZMODEM capture takes echo and the line end away, unless ASCII goes out.
      {"zmodem_capture", true, false, false, true, true, false, "a\r", "a\r", "", "1,1"},
      {"zmodem_capture_ascii", false, true, false, true, true, true, "\r", "\r\n", "", "1,1"},
  };
  for (const SendCase& c : cases) {
    reset();
    terminalOptions.localEcho = c.echo;
    terminalOptions.outboundCrLf = c.outbound;
    terminalOptions.displayControls = c.controls;
    terminalOptions.asciiProtocol = c.ascii;
    if (c.zmodem) terminalHooks.zmodemCaptureActive = [] { return true; };
    if (!c.link) linkAttach(nullptr);
    sendBytes(reinterpret_cast<const uint8_t*>(c.typed.data()), static_cast<int>(c.typed.size()));
    EXPECT_EQ(wire.replies, c.sent) << c.name;
    EXPECT_EQ(screenText(), c.screen) << c.name;
    EXPECT_EQ(cursor(), c.cursor) << c.name;
  }
}

TEST(DisplayControls, ControlsShownByName) {
  reset();
  terminalOptions.displayControls = true;
  feed("A\r\nB" + E + "[1m\x7f");
  EXPECT_EQ(screenText(), "A<cr><lf>B<esc>[1m<del>");
  std::string plain;
  for (int i = 0; i < 23; ++i) plain += "70";
  EXPECT_EQ(attrs(0), plain);  // shown cells take the default attribute, not the bold one
}

TEST(DisplayControls, WrapsAndScrollsWholeScreen) {
  reset();
  feed(E + "[3;5r");
  terminalOptions.displayControls = true;
  feed(E + "[24;1H");  // shown, not obeyed
  feed(std::string(80 * 25, 'x'));
  EXPECT_EQ(screen.historyLines, 2);
  EXPECT_EQ(row(0).substr(0, 5), "xxxxx");
  EXPECT_EQ(row(22), std::string(80, 'x'));
  EXPECT_EQ(row(23), std::string(11, 'x'));  // after "<esc>[24;1H" and 2000 x
}

// Upward hooks.
std::string seen;

TEST(Hooks, EmptySlotsAreSafe) {
  reset();
  hooksReset();
  terminalOptions.telnet = true;
  feed("a\xff" "b\x18" + E + "[5i" + E + "[4i");
  EXPECT_EQ(row(0), "ab");
}

TEST(Hooks, TelnetCommandsOnlyOnTelnet) {
  reset();
  seen.clear();
  terminalOptions.telnet = true;
  static bool inCommand = false;
  inCommand = false;
  terminalHooks.telnetInCommand = [] { return inCommand; };
  terminalHooks.telnetCommandStart = [] { inCommand = true; seen += "<IAC>"; };
  terminalHooks.telnetCommandByte = [](uint8_t b) { seen += static_cast<char>(b); if (b != 0xFD) inCommand = false; };
  // A command in the middle of an escape sequence is still recognised.
  feed("a" + E + "[2\xff\xfd\x18" ";5Hb");
  EXPECT_EQ(seen, "<IAC>\xfd\x18");
  EXPECT_EQ(cursor(), "2,6");
  reset();
  terminalOptions.telnet = false;
  feed("\xff");
  EXPECT_EQ(row(0), "\xff");
}

TEST(Hooks, ZmodemCaptureTakesBytesAndChecksAfterBlock) {
  reset();
  seen.clear();
  static int checks = 0;
  checks = 0;
  terminalOptions.zmodemAutoStart = true;
  terminalHooks.zmodemCaptureActive = [] { return true; };
  terminalHooks.zmodemCaptureByte = [](uint8_t b) { seen += static_cast<char>(b); };
  terminalHooks.zmodemAutoStartCheck = [] { ++checks; };
  feed("rz\r**B00");
  EXPECT_EQ(seen, "rz\r**B00");
  EXPECT_EQ(screenText(), "");
  EXPECT_EQ(checks, 1);
}

TEST(Hooks, ScriptSeesRowUpToCursor) {
  reset();
  seen.clear();
  terminalHooks.scriptRunning = [] { return true; };
  terminalHooks.scriptLineMatch = [](const uint8_t* cells, int length) {
    seen = std::string(reinterpret_cast<const char*>(cells), length);
  };
  feed("login: xyz" + E + "[1;7H");
  feed("Q");
  EXPECT_EQ(seen, "login:Q");
}

// The fast path takes plain ASCII and sequence parameters eight bytes at a
// time: any other byte, at any place in a long run, must end the run exactly
// where the per-byte path would.
TEST(PlainRuns, EveryByteValueAtEveryPlaceOfAWord) {
  for (int b = 0; b < 256; ++b) {
    for (int at = 0; at < 9; ++at) {
      std::string s = "0123456789abcdefghijklmnopqrstuvwxyz";
      s[static_cast<size_t>(at + 3)] = static_cast<char>(b);
      harness::expectPathsAlike(4, s, false);
    }
  }
}

// The same for the parameters of a control sequence, taken eight at a time.
TEST(PlainRuns, EveryByteValueAmongSequenceParameters) {
  for (int b = 0; b < 256; ++b) {
    for (int at = 0; at < 9; ++at) {
      std::string s = "\x1b[1;22;3;44;5;66;7;88;9mX\x1b[12;34;56;78;90;12Hy";
      s[static_cast<size_t>(at + 3)] = static_cast<char>(b);
      harness::reset(4);
      harness::feed(s);
      SCOPED_TRACE(std::to_string(b) + " at " + std::to_string(at));
      // One byte per pass: the parameters are taken one at a time.
      harness::expectBytewiseAlike(4, s, harness::snapshot());
    }
  }
}

// A socket write pumps window messages, so a receive pass can start while a
// reply is being written.
int writesSeen = 0;
int deepest = 0;

TEST(NestedPass, InnerPassDoesNotOverwriteOuterBlock) {
  reset();
  writesSeen = 0;
  wire.onWrite = [] {
    if (writesSeen++ == 0) {
      wire.incoming += "xyz" + E + "[3;3HQ" + E + "[1;5H";
      receiveAvailable();
    }
  };
  feed("A" + E + "[6nBCDEFGH");
  EXPECT_EQ(row(0), "AxyzBCDEFGH");
  EXPECT_EQ(row(2), "  Q");
  EXPECT_EQ(wire.replies, E + "[1;2R");
}

TEST(NestedPass, FloodOfRequestsDoesNotNestWithoutLimit) {
  reset();
  writesSeen = deepest = 0;
  wire.onWrite = [] {
    ++writesSeen;
    deepest = std::max(deepest, receiveState.depth);
    // Every reply lets the host's next requests in at once.
    if (writesSeen < 500) wire.incoming += E + "[5n" + E + "[5n";
    receiveAvailable();
  };
  feed(E + "[5n");
  EXPECT_LE(deepest, MAX_RECEIVE_DEPTH);
  EXPECT_EQ(receiveState.depth, 0);
  // Nothing is lost: every request was answered.
  EXPECT_EQ(wire.at, wire.incoming.size());
  EXPECT_EQ(writesSeen, 1 + 2 * 499);
}

// Keys to bytes through the key map and the send rules, the editor notation,
// and the key-map file, driven through the link the bytes leave by.
struct KeyCase {
  const char* name;
  int emulation;
  int vk;              // pressed key (0: none)
  int typed;           // character message after it (-1: none)
  bool shift, cursorApp, keypadApp, eightBit, newLine, bsDel, shiftCommands, keypadEnter;
  std::string expected;
};

void press(const KeyCase& c) {
  reset(c.emulation);
  defaultKeyMap(c.emulation, &keyboard.map);
  keyboard.backspaceDelete = c.bsDel;
  keyboard.shiftCommandKeys = c.shiftCommands;
  keyboard.rlogin = keyboard.rloginRaw = false;
  emulator.cursorKeysApplication = c.cursorApp;
  emulator.keypadApplication = c.keypadApp;
  emulator.eightBitControls = c.eightBit;
  emulator.newLineMode = c.newLine;
  keyboard.shift = false;
  if (c.shift) keyPressed(0x10, false);
  if (c.vk) {
    keyPressed(c.vk, c.keypadEnter);
    keyToHost(c.vk);
  }
  if (c.typed >= 0) typedCharacter(static_cast<uint8_t>(c.typed));
  if (c.shift) keyReleased(0x10);
}

TEST(KeyToHost, EmulationsModesAndSendRules) {
  const KeyCase cases[] = {
      // name                      emu vk    typed  sh  cur  kpd  8bit nl   bsdel shcmd kpEnt expected
      {"up plain", 4, 0x26, -1, false, false, false, false, false, false, false, false, E + "[A"},
      {"up cursor app", 4, 0x26, -1, false, true, false, false, false, false, false, false, E + "OA"},
      {"up cursor app 8-bit", 6, 0x26, -1, false, true, false, true, false, false, false, false, "\x8f" "A"},
      {"F5 8-bit", 6, 0x74, -1, false, false, false, true, false, false, false, false, "\x9b" "15~"},
      {"home no app rule", 4, 0x24, -1, false, true, false, false, false, false, false, false, E + "[1~"},
      {"keypad 5 numeric", 4, 0x65, '5', false, false, false, false, false, false, false, false, "5"},
      {"keypad 5 application", 4, 0x65, '5', false, false, true, false, false, false, false, false, E + "Ou"},
      {"keypad enter application", 4, 0x0D, '\r', false, false, true, false, false, false, false, true, E + "OM"},
      {"main enter application", 4, 0x0D, '\r', false, false, true, false, false, false, false, false, "\r"},
      {"arrow char dropped", 4, 0x25, 'x', false, false, false, false, false, false, false, false, E + "[D"},
      {"F1", 4, 0x70, -1, false, false, false, false, false, false, false, false, E + "OP"},
      {"shift F1", 4, 0x70, -1, true, false, false, false, false, false, false, false, E + "[23~"},
      {"F13", 4, 0x7C, -1, false, false, false, false, false, false, false, false, E + "[25~"},
      {"0x2F nothing", 4, 0x2F, -1, false, false, false, false, false, false, false, false, ""},
      {"delete", 4, 0x2E, -1, false, false, false, false, false, false, false, false, "\x7f"},
      {"delete swapped", 4, 0x2E, -1, false, false, false, false, false, true, false, false, "\b"},
      {"backspace swapped", 4, 0x08, '\b', false, false, false, false, false, true, false, false, "\x7f"},
      {"shift insert is paste", 4, 0x2D, -1, true, false, false, false, false, false, true, false, ""},
      {"shift delete is copy", 4, 0x2E, -1, true, false, false, false, false, false, true, false, ""},
      {"shift insert dial-up", 4, 0x2D, -1, true, false, false, false, false, false, false, false, E + "[2~"},
      {"new-line mode", 4, 0x0D, '\r', false, false, false, false, true, false, false, false, "\r\n"},
      {"vt52 up", 3, 0x26, -1, false, true, false, false, false, false, false, false, E + "A"},
      {"wyse up", 8, 0x26, -1, false, false, false, false, false, false, false, false, "\x0b"},
      {"wyse F1", 8, 0x70, -1, false, false, false, false, false, false, false, false, "\x01@\r"},
      {"ibm shift F2", 10, 0x71, -1, true, false, false, false, false, false, false, false, E + "!b\r"},
      {"sco F1", 9, 0x70, -1, false, false, false, false, false, false, false, false, E + "[M"},
  };
  for (const KeyCase& c : cases) {
    press(c);
    EXPECT_EQ(wire.replies, c.expected) << c.name;
  }
}

TEST(SendKeyString, EchoRloginAndNoConnection) {
  reset(4);
  terminalOptions.localEcho = true;
  emulator.eightBitControls = true;
  // With local echo an ESC string takes the echoing path and still gets 0x9B.
  sendKeyString(reinterpret_cast<const uint8_t*>("\033[C"), 3);
  EXPECT_EQ(wire.replies, "\x9b" "C");

  reset(4);
  keyboard.rlogin = true;
  keyboard.rloginRaw = false;
  typedCharacter(0x11);
  typedCharacter(0x13);
  typedCharacter('a');
  EXPECT_EQ(wire.replies, "a");
  keyboard.rloginRaw = true;
  typedCharacter(0x13);
  EXPECT_EQ(wire.replies, "a\x13");
  keyboard.rlogin = keyboard.rloginRaw = false;

  linkAttach(nullptr);
  EXPECT_LT(sendKeyString(reinterpret_cast<const uint8_t*>("x"), 1), 0);
}

TEST(KeyNotation, ParsesAndRejects) {
  uint8_t out[KEYMAP_SLOT_BYTES];
  EXPECT_EQ(keyTextToBytes("\\1b\\4F\\50", out), 3);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 3), E + "OP");
  EXPECT_EQ(keyTextToBytes("\\1g", out), -1);
  EXPECT_EQ(keyTextToBytes("ab\\", out), -1);
  // Cut to 15 bytes, but a bad escape past the cut is still refused.
  EXPECT_EQ(keyTextToBytes("0123456789abcdefghij", out), 15);
  EXPECT_EQ(out[15], 0);
  EXPECT_EQ(keyTextToBytes("0123456789abcdefgh\\zz", out), -1);
}

TEST(KeyNotation, EveryByteSurvivesShowAndRead) {
  for (int b = 1; b < 256; ++b) {
    uint8_t in[3] = {static_cast<uint8_t>(b), 'x', static_cast<uint8_t>(b)};
    char text[64];
    keyBytesToText(in, 3, text, sizeof text);
    uint8_t out[KEYMAP_SLOT_BYTES];
    ASSERT_EQ(keyTextToBytes(text, out), 3) << b << " shown as " << text;
    EXPECT_EQ(std::memcmp(in, out, 3), 0) << b << " shown as " << text;
  }
  char text[64];
  uint8_t mixed[] = {0x1b, '^', '\\', 0x7f, 0xe9, 'A'};
  keyBytesToText(mixed, 6, text, sizeof text);
  EXPECT_STREQ(text, "^[\\5e\\5c\\7f\\e9A");
}

std::string tempPath(const char* name) { return std::string(::testing::TempDir()) + name; }

TEST(KeyMapFile, WriteReadCreateAndDamage) {
  std::string path = tempPath("keys_test.kbd");
  std::remove(path.c_str());
  KeyMap map;
  // A missing file gives an empty map; typed characters still go out.
  std::snprintf(keyboard.mapPath, sizeof keyboard.mapPath, "%s", path.c_str());
  reset(4);
  loadKeyMap(4);
  keyToHost(0x26);
  typedCharacter('q');
  EXPECT_EQ(wire.replies, "q");

  // Written blocks come back from their own offsets; the rest of the file stays zero.
  KeyMap vt;
  defaultKeyMap(4, &vt);
  ASSERT_EQ(writeKeyMapBlock(path.c_str(), 4, vt), 0);
  std::ifstream f(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), static_cast<size_t>(KEYMAP_FILE_BYTES));
  EXPECT_EQ(bytes.substr(3 * 2752 + 5 * 16, 4), std::string("\033[A\0", 4));
  ASSERT_EQ(readKeyMapBlock(path.c_str(), 4, false, &map), 0);
  EXPECT_EQ(std::memcmp(&map, &vt, sizeof map), 0);
  ASSERT_EQ(readKeyMapBlock(path.c_str(), 4, true, &map), 0);
  EXPECT_EQ(slotLength(map, 5), 0);

  // A slot without its NUL stops at 15 bytes instead of running into the next.
  {
    std::fstream g(path, std::ios::binary | std::ios::in | std::ios::out);
    g.seekp(0);
    g << std::string(16, 'A') << "B";
  }
  ASSERT_EQ(readKeyMapBlock(path.c_str(), 1, false, &map), 0);
  EXPECT_EQ(slotLength(map, 0), 15);
  EXPECT_EQ(map.slots[1][0], 'B');

  // A file cut short: the block it cannot give is empty, earlier blocks read.
  std::filesystem::resize_file(path, 2752 * 3 + 100);
  EXPECT_EQ(readKeyMapBlock(path.c_str(), 4, false, &map), -1);
  EXPECT_EQ(slotLength(map, 5), 0);
  EXPECT_EQ(readKeyMapBlock(path.c_str(), 1, false, &map), 0);
  // Writing a block past the end pads the file so the offsets hold.
  ASSERT_EQ(writeKeyMapBlock(path.c_str(), 10, vt), 0);
  EXPECT_EQ(std::filesystem::file_size(path), static_cast<uintmax_t>(9 * 2752 + 1376));
  ASSERT_EQ(readKeyMapBlock(path.c_str(), 10, false, &map), 0);
  EXPECT_EQ(std::memcmp(&map, &vt, sizeof map), 0);
  std::remove(path.c_str());
}

TEST(KeyMapFile, DeliveredFileHoldsEachFamilysKeys) {
  static uint8_t file[KEYMAP_FILE_BYTES];
  defaultKeyMapFile(file);
  auto slot = [&](int e, int block, int s) {
    return std::string(reinterpret_cast<const char*>(file + ((e - 1) * 2 + block) * 1376 + s * 16));
  };
  for (int block = 0; block < 2; ++block) {
    EXPECT_EQ(slot(4, block, 5), E + "[A");
    EXPECT_EQ(slot(10, block, 31), E + "a\r");
  }
  for (int e = 1; e <= 10; ++e)
    for (int s = 0; s < KEYMAP_SLOTS; ++s) EXPECT_EQ(file[((e - 1) * 2) * 1376 + s * 16 + 15], 0);
}

}  // namespace
