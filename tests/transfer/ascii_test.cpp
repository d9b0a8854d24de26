// The text transfer over the in-memory line on the manual clock: what the
// sender puts on the line, its pacing, and the capture's end character.
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "tests/transfer/transfer_fixture.h"
#include "terminal/link.h"
#include "terminal/link_fd_posix.h"
#include "transfer/ascii_transfer.h"
#include "transfer/protocol_dispatch.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_line.h"
#include "transfer/transfer_codes.h"

namespace {
TransferSettings asciiSettings(const char* initiate, const char* end, bool strip = false) {
  TransferSettings s = settingsFor(PROTOCOL_ASCII);
  std::snprintf(s.initiateChar, sizeof s.initiateChar, "%s", initiate);
  std::snprintf(s.endChar, sizeof s.endChar, "%s", end);
  s.stripLinefeed = strip;
  return s;
}

// Sends text as a file; returns what went on the line. ticks: the clock time
// at which each byte was written.
std::string sendText(const std::string& text, const TransferSettings& settings, int* result,
                     std::vector<uint32_t>* ticks = nullptr, const std::string& noise = "") {
  std::string dir = freshDir("ascii-send");
  std::ofstream(dir + "/text", std::ios::binary) << text;
  TransferState tx = senderFor(settings, {dir + "/text"});
  *result = runSender(tx, [&](const std::vector<uint8_t>& written) {
    if (ticks) ticks->insert(ticks->end(), written.size(), clockTicks());
    return std::vector<uint8_t>{};
  }, std::vector<uint8_t>(noise.begin(), noise.end()));
  EXPECT_EQ(lineWaiting(), 0) << "input received during the send is read and dropped";
  const std::vector<uint8_t>& w = faultLineWritten(0);
  return std::string(w.begin(), w.end());
}
}  // namespace

// Line ends and the characters around the text. A CR LF that straddles the
// 1024-byte block boundary must stay one CR LF (a fault of the old sender).
TEST(AsciiSend, LineEndsAndFramingCharacters) {
  std::string straddle = std::string(1023, 'a') + "\r\nb";
  struct Case {
    const char* what;
    std::string text;
    const char* initiate;
    const char* end;
    bool strip;
    std::string wire;
  } cases[] = {
      {"CR LF goes once", "a\r\nb\r\n", "", "", false, std::string("\0a\r\nb\r\n\x03", 8)},
      {"bare LF gains a CR", "\na\nb", "", "", false, std::string("\0\r\na\r\nb\x03", 8)},
      {"strip linefeed sends CR only", "a\r\nb\n", "", "", true, std::string("\0a\rb\r\x03", 6)},
      {"caret initiate and end", "x", "^Q", "^D", false, "\x11x\x04"},
      {"plain initiate; a plain end letter is no end", "x", "A", "D", false, "Ax\x03"},
      {"CR LF across the block boundary", straddle, "", "", false, std::string(1, '\0') + straddle + "\x03"},
      {"LF first in the second block", std::string(1024, 'a') + "\nb", "", "", false,
       std::string(1, '\0') + std::string(1024, 'a') + "\r\nb\x03"},
  };
  for (const Case& c : cases) {
    int r = 1;
    std::string wire = sendText(c.text, asciiSettings(c.initiate, c.end, c.strip), &r, nullptr,
                                std::string(3000, 'E'));
    EXPECT_EQ(r, 0) << c.what;
    EXPECT_EQ(wire, c.wire) << c.what;
  }
}

// Every byte waits the inter-character delay; a line end also waits the
// inter-line delay after its CR and before its LF.
TEST(AsciiSend, DelaysRunOnTheClock) {
  TransferSettings s = asciiSettings("", "");
  s.charDelayMs = 7;
  s.lineDelayMs = 40;
  std::vector<uint32_t> ticks;
  int r = 1;
  std::string wire = sendText("ab\nc", s, &r, &ticks);
  ASSERT_EQ(r, 0);
  ASSERT_EQ(wire, std::string("\0ab\r\nc\x03", 7));
  ASSERT_EQ(ticks.size(), wire.size());
  // Gaps after the initiate byte: a, b (char delay), CR (char delay), LF (line delay), c, ETX.
  std::vector<uint32_t> gaps;
  for (size_t i = 1; i < ticks.size(); ++i) gaps.push_back(ticks[i] - ticks[i - 1]);
  EXPECT_GE(gaps[0], 7u);
  EXPECT_EQ(std::vector<uint32_t>(gaps.begin() + 1, gaps.end() - 1), (std::vector<uint32_t>{7, 7, 40, 7}));
  EXPECT_LE(gaps[5], 2u) << "the end byte follows without a delay";
}

// The capture starts with the initiate byte, ends at the end byte (keeping
// what came with it in the same read) and never times out on its own.
TEST(AsciiReceive, EndCharacterEndsTheCapture) {
  Receiver c = receiverFor(asciiSettings("^Q", "^D"));
  std::string first(1500, 'x');
  int r = runReceiver(c.rx, {{0, bytesOf(first)}, {200000, bytesOf("ab\x04" "cd")}, {300000, bytesOf("late")}});
  EXPECT_EQ(r, STEP_COMPLETE);
  EXPECT_EQ(readFile(c.rx.localPath), first + "ab\x04" "cd");
  EXPECT_EQ(faultLineWritten(1), std::vector<uint8_t>{0x11}) << "no NAK, CAN or time-out reminder";
  EXPECT_EQ(c.rx.byteCount, first.size() + 5);
}

// A plain letter in the end field ends nothing; the bytes held in the buffer
// when the line drops reach the file when the dialog closes.
TEST(AsciiReceive, PendingBytesSurviveALostLine) {
  Receiver c = receiverFor(asciiSettings("", "D"));
  std::string text = std::string(2100, 'D') + "\x04";
  bool cut = false;
  int r = runReceiver(c.rx, {{0, bytesOf(text)}}, [&]() {
    if (clockTicks() > 50000 && !cut) {
      cut = true;
      faultLineCut();
    }
  });
  EXPECT_EQ(r, LINK_LOST);
  EXPECT_EQ(faultLineWritten(1), std::vector<uint8_t>{0x00}) << "an empty initiate field sends NUL";
  EXPECT_EQ(readFile(c.rx.localPath).size(), 2048u) << "whole buffers are written as they fill";
  transferSelect(&c.rx);
  EXPECT_EQ(asciiReceiveFlush(), 0);
  transferSelect(nullptr);
  EXPECT_EQ(readFile(c.rx.localPath), text);
}

// On a serial line the capture puts XON/XOFF back to the session's flow
// control when its end byte arrives. A pseudo-terminal stands for the port.
TEST(AsciiReceive, SerialFlowControlRestoredAtTheEnd) {
  for (int flow : {0, 2, 3}) {
    int master = -1, port = -1;
    ASSERT_EQ(openpty(&master, &port, nullptr, nullptr, nullptr), 0);
    termios t{};
    tcgetattr(port, &t);
    cfmakeraw(&t);
    if (flow < 2) t.c_iflag |= IXON | IXOFF;
    else t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);
    tcsetattr(port, TCSANOW, &t);
    TransferSettings s = asciiSettings("", "^D");
    s.flowControl = flow;
    Receiver c = receiverFor(s);
    ASSERT_EQ(linkAttachFd(port, false), 0);
    transferSelect(&c.rx);
    ASSERT_EQ(write(master, "hi\x04", 3), 3);
    int r = receiveBegin();
    if (r >= 0) r = receiveRun();
    transferSelect(nullptr);
    EXPECT_EQ(r, STEP_COMPLETE) << flow;
    tcgetattr(port, &t);
    bool on = (t.c_iflag & IXON) && (t.c_iflag & IXOFF);
    bool off = !(t.c_iflag & (IXON | IXOFF));
    EXPECT_TRUE(flow >= 2 ? on : off) << "flow control " << flow;
    EXPECT_EQ(readFile(c.rx.localPath), "hi\x04");
    linkClose();
    close(master);
  }
}
