// The Telnet program's command line and the session it names (what is refused
// before it can overrun the entry, and which ".tel" file is trusted); the
// entry's settings reaching the session; and the socket link's portable half:
// where a session connects to, and the read and write contracts over a
// scripted platform receive and send.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/book_entry.h"
#include "shell/message_box.h"
#include "shell/message_box_posix.h"
#include "shell/settings.h"
#include "shell/settings_posix.h"
#include "telnet/command_line.h"
#include "telnet/net_connection.h"
#include "telnet/netlink_posix.h"
#include "telnet/session_options.h"
#include "telnet/telnet_engine.h"
#include "terminal/colours.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"
#include "tests/shell/book_fixture.h"
#include "tests/support/peers.h"

namespace {
struct LineCase {
  std::string line;
  int result;
  const char* host;
  int port;
};

TEST(CommandLine, HostAndPortOrRefusal) {
  const LineCase cases[] = {
      {"", 0, "", 0},
      {"   ", 0, "", 0},
      {"10.1.2.3/ 2323", 0, "10.1.2.3", 2323},
      {"  host.example  ", 0, "host.example", 0},
      {"host.example 0", 0, "host.example", 0},
      {"host.example 65535", 0, "host.example", 65535},
      {"host.example 65536", -1, "", 0},             // would wrap in 16 bits
      {"host.example 4294967319", -1, "", 0},        // would wrap in 32 bits to 23
      {"host.example 23x", -1, "", 0},
      {"host.example -23", -1, "", 0},
      {std::string(79, 'a') + " 23", 0, nullptr, 23},  // fills the address field exactly
      {std::string(79, 'a') + "/", 0, nullptr, 0},      // the slash goes before the length counts
      {std::string(80, 'a'), -1, "", 0},                 // one more than the field holds
      {std::string(256, ' '), -1, "", 0},                // the line's length alone refuses it
  };
  for (const LineCase& c : cases) {
    CommandLine out;
    out.port = 99;
    int result = parseCommandLine(c.line.c_str(), &out);
    EXPECT_EQ(result, c.result) << c.line.substr(0, 40);
    if (result != 0) continue;
    EXPECT_STREQ(out.host, c.host ? c.host : std::string(79, 'a').c_str()) << c.line.substr(0, 40);
    EXPECT_EQ(out.port, c.port) << c.line;
  }
}

class CommandLineEntry : public BookDirTest {
 protected:
  void SetUp() override {
    BookDirTest::SetUp();
    base = bookDefaultEntry();
    recordSetInt(base.bytes, bookField::port, 0);
  }
  // The first size bytes of entry (zeros past its end).
  void writeEntry(const char* name, const BookEntry& entry, size_t size) {
    std::vector<uint8_t> bytes(entry.bytes, entry.bytes + BOOK_ENTRY_SIZE);
    bytes.resize(size);
    writeFile(name, bytes);
  }
  BookEntry base;
};

TEST_F(CommandLineEntry, HostFileSuppliesSettingsAndTheLineItsAddress) {
  BookEntry stored = bookDefaultEntry();
  recordSetInt(stored.bytes, bookField::emulation, 2);
  recordSetText(stored.bytes, bookField::address, "elsewhere.example");
  recordSetInt(stored.bytes, bookField::port, 4000);
  writeEntry("10.1.2.3.TEL", stored, BOOK_ENTRY_SIZE);

  CommandLine line;
  ASSERT_EQ(parseCommandLine("10.1.2.3/ 2323", &line), 0);
  BookEntry entry = base;
  EXPECT_EQ(sessionForCommandLine(line, entry), 1);
  EXPECT_EQ(bookEmulation(entry), 2);
  EXPECT_EQ(recordText(entry.bytes, bookField::address), "10.1.2.3");
  EXPECT_EQ(recordText(entry.bytes, bookField::name), "10.1.2.3");
  EXPECT_EQ(bookPort(entry), 2323);

  // Without a port on the line the file's port stays.
  ASSERT_EQ(parseCommandLine("10.1.2.3", &line), 0);
  entry = base;
  sessionForCommandLine(line, entry);
  EXPECT_EQ(bookPort(entry), 4000);
}

TEST_F(CommandLineEntry, FileOfTheWrongSizeIsNotTrusted) {
  BookEntry stored = bookDefaultEntry();
  recordSetInt(stored.bytes, bookField::emulation, 2);
  for (size_t size : {size_t{100}, BOOK_ENTRY_SIZE - 1, BOOK_ENTRY_SIZE + 1}) {
    writeEntry("short.example.tel", stored, size);
    CommandLine line;
    ASSERT_EQ(parseCommandLine("short.example", &line), 0);
    BookEntry entry = base;
    EXPECT_EQ(sessionForCommandLine(line, entry), -1) << size;
    EXPECT_EQ(bookEmulation(entry), bookEmulation(base)) << "settings taken from a file of " << size;
    EXPECT_EQ(recordText(entry.bytes, bookField::address), "short.example");
  }
}

TEST_F(CommandLineEntry, LongHostNamesTheEntryWithinItsField) {
  const std::string host(79, 'h');
  CommandLine line;
  ASSERT_EQ(parseCommandLine(host.c_str(), &line), 0);
  BookEntry entry = base;
  EXPECT_EQ(sessionForCommandLine(line, entry), 0);
  EXPECT_EQ(recordText(entry.bytes, bookField::name), std::string(COMMAND_NAME_MAX, 'h'));
  EXPECT_EQ(recordText(entry.bytes, bookField::address), host);
}
// The entry reaches the session when it starts: terminal settings (colours,
// columns and rows unless the terminal follows the window, options).
struct Case {
  int colourText, colourBack, width, height, resize, emulation;
  uint32_t text, back;  // palette positions expected, -1 for the default
  int columns, rows;
};

TEST(SessionOptions, EntrySettingsAppliedAtConnect) {
  coloursReset();
  const TerminalColours defaults = terminalColours;
  const Case cases[] = {
      // zeroed colours keep the default scheme; width 1 is 132 columns
      {0, 0, 1, 30, 0, 4, 99, 99, 132, 30},
      {3, 5, 0, 0, 2, 6, 2, 4, 80, 24},    // palette positions plus one; no rows means 24
      {16, 1, 0, 40, 0, 2, 15, 0, 80, 40},
      {17, 200, 0, 24, 0, 4, 99, 99, 80, 24},  // out of range: the default stays
      {2, 2, 1, 50, 1, 4, 1, 1, 77, 33},       // Term: the window decides the size
  };
  for (const Case& c : cases) {
    terminalReset(33, 77, 200);
    terminalColours.text = terminalColours.background = 0x123456;  // left from the last session
    BookEntry e = bookDefaultEntry();
    recordSetInt(e.bytes, bookField::colour1, c.colourText);
    recordSetInt(e.bytes, bookField::colour2, c.colourBack);
    recordSetInt(e.bytes, bookField::terminalWidth, c.width);
    recordSetInt(e.bytes, bookField::terminalHeight, c.height);
    recordSetInt(e.bytes, bookField::resizeMode, c.resize);
    recordSetInt(e.bytes, bookField::emulation, c.emulation);
    recordSetInt(e.bytes, bookField::localEcho, c.resize);
    sessionApplyTerminal(e);
    SCOPED_TRACE(c.colourText * 1000 + c.colourBack);
    EXPECT_EQ(terminalColours.text, c.text == 99 ? defaults.text : defaults.palette[c.text]);
    EXPECT_EQ(terminalColours.background, c.back == 99 ? defaults.background : defaults.palette[c.back]);
    EXPECT_EQ(screen.columns, c.columns);
    EXPECT_EQ(screen.rows, c.rows);
    EXPECT_EQ(terminalOptions.emulation, c.emulation);
    EXPECT_EQ(terminalOptions.localEcho, c.resize != 0);
  }
}

TEST(SessionOptions, TermFitLimitsAndTheHeightThatShows24Rows) {
  struct Fit {
    int width, height, toolbar, cellWidth, cellHeight;
    int rows, columns, grow;
  };
  const Fit fits[] = {
      // 16 px rows under a 28 px toolbar: (500 - 28 - 32) / 16 - 1 = 26 rows
      {8 * 100 + 16 + 8, 500, 28, 8, 16, 26, 100, 0},
      {300, 200, 28, 8, 16, 24, 80, 25 * 16 + 28 + 32},  // too small: 24 x 80, grown to hold 24 rows
      {4000, 8000, 0, 8, 16, 255, 255, 0},                // the Term limits: 255 rows, 255 columns
      {8 * 81 + 16, 25 * 16 + 32 + 16, 16, 8, 16, 24, 80, 0},  // exactly 24 rows: no growth
      {100, 40, 0, 0, 0, 24, 83, 25 + 32},  // no font yet: cells of one pixel
  };
  for (const Fit& f : fits) {
    int rows = 0, columns = 0;
    int grow = sessionTermFit(f.width, f.height, f.toolbar, f.cellWidth, f.cellHeight, &rows, &columns);
    SCOPED_TRACE(f.width * 10000 + f.height);
    EXPECT_EQ(rows, f.rows);
    EXPECT_EQ(columns, f.columns);
    EXPECT_EQ(grow, f.grow);
  }
}

// Maps a stack deep enough for what follows before the address space is capped.
__attribute__((noinline)) void touchStack() {
  volatile char deep[512 * 1024];
  for (size_t i = 0; i < sizeof deep; i += 4096) deep[i] = 1;
}

// The screen's memory runs out, in a child process whose address space is
// capped just above what it uses: without room for the scroll-back the
// terminal says so and keeps the screen's lines; without room even for those
// it says so and the program does not start.
TEST(SessionOptions, ScreenMemoryShortageIsSaid) {
  struct Case {
    long room;  // bytes of address space left; 0: the heap filled too
    int result;
    const char* text;
  } cases[] = {
      {1 << 20, 1, "Not enough memory for scrolling"},
      {0, -1, "Not enough memory to run this application"},
  };
  for (const Case& c : cases) {
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    pid_t pid = fork();
    if (pid == 0) {
      touchStack();
      for (int i = 0; i < 4; ++i) messageBox(0, "", 0);  // the record's room, taken while there is memory
      messagesClear();
      screen = ScreenBuffer{};
      void* reserve = malloc(4096);  // for the message's text, given back once the heap is full
      long pages = 0;
      FILE* statm = fopen("/proc/self/statm", "r");
      if (!statm || fscanf(statm, "%ld", &pages) != 1) _exit(3);
      fclose(statm);
      rlimit saved{}, tight{};
      getrlimit(RLIMIT_AS, &saved);
      tight = saved;
      tight.rlim_cur = static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE) + c.room);
      setrlimit(RLIMIT_AS, &tight);
      void* full = nullptr;  // a chain of small blocks through their first word
      while (c.room == 0)
        if (void** block = static_cast<void**>(malloc(64))) *block = full, full = block;
        else break;
      free(reserve);
      int r = sessionTerminalStart(3000);
      setrlimit(RLIMIT_AS, &saved);
      while (full) {
        void* next = *static_cast<void**>(full);
        free(full);
        full = next;
      }
      std::string said = std::to_string(r) + " " + std::to_string(screen.capacity);
      for (const ShownMessage& m : messagesShown()) said += "|" + m.text;
      if (write(out[1], said.data(), said.size()) < 0) _exit(2);
      _exit(0);
    }
    close(out[1]);
    char said[256] = "";
    ssize_t n = read(out[0], said, sizeof said - 1);
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    said[n > 0 ? n : 0] = 0;
    EXPECT_EQ(std::string(said), std::to_string(c.result) + (c.result > 0 ? " 24|" : " 0|") + c.text);
  }
}

NetRequest request(const char* address, int port, bool rlogin = false, bool firewall = false) {
  NetRequest r{};
  snprintf(r.address, sizeof r.address, "%s", address);
  r.port = port;
  r.rlogin = rlogin;
  r.useFirewall = firewall;
  return r;
}

// Where a request connects to: the host or the firewall, the port it asks
// for (0: the service is looked up) and the port after a failed look-up.
TEST(NetConnection, PlannedTargetAndPort) {
  const struct {
    const char* address;
    int port;
    bool rlogin, firewall;
    const char* firewallAddress;  // nullptr: not in the settings
    const char* firewallPort;
    const char* target;
    int portWithoutLookup, fallback;
  } cases[] = {
      {"10.0.0.1", 0, false, false, nullptr, nullptr, "10.0.0.1", 0, 23},
      {"host.example", 2323, false, false, nullptr, nullptr, "host.example", 2323, 23},
      {"host.example", 0, true, false, nullptr, nullptr, "host.example", 0, 513},
      {"host.example", 99, false, true, "10.1.1.1", nullptr, "10.1.1.1", 23, 23},
      {"host.example", 99, true, true, "10.1.1.1", "0", "10.1.1.1", 513, 0},
      {"host.example", 0, false, true, "fw.example", "0", "fw.example", 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.address) + ":" + std::to_string(c.port));
    settingsReset();
    messagesClear();
    if (c.firewallAddress) regWriteString("FirewallAddressTelnet", c.firewallAddress);
    if (c.firewallPort) regWriteString("FirewallPortTelnet", c.firewallPort);
    NetTarget t;
    ASSERT_EQ(netPlanTarget(request(c.address, c.port, c.rlogin, c.firewall), &t), 0);
    EXPECT_STREQ(t.address, c.target);
    EXPECT_EQ(netPortWithoutLookup(t), c.portWithoutLookup);
    EXPECT_EQ(netFallbackPort(t), c.fallback);
    EXPECT_TRUE(messagesShown().empty());
  }
}

TEST(NetConnection, DottedDecimal) {
  for (const char* yes : {"10.0.0.1", "127.0.0.1", "255.255.255.255", "0.0.0.0"}) EXPECT_TRUE(netIsDottedDecimal(yes)) << yes;
  for (const char* no : {"", "10.0.0", "10.0.0.1.", "256.1.1.1", "1..1.1", "a.b.c.d", "localhost", "1.2.3.4x", "0001.2.3.4"})
    EXPECT_FALSE(netIsDottedDecimal(no)) << no;
}

// Leading zeros are not octal: the host driver reaches 127.0.0.10 for
// "127.000.0.010", as the Windows driver does.
TEST(NetConnection, ZeroPaddedDottedDecimalReachesTheDecimalAddress) {
  settingsReset();
  messagesClear();
  int port = 0, listener = tcpListen(&port, 0x7F00000A);
  ASSERT_GE(listener, 0);
  EXPECT_EQ(netConnectPosix(request("127.000.0.010", port), 3000), 0);
  EXPECT_TRUE(messagesShown().empty()) << messagesShown()[0].text;
  netDisconnectPosix();
  close(listener);
}

// The socket link over one end of a socketpair, the test holding the other:
// what the test writes is what the platform receives.
struct Pair {
  int far = -1;
  explicit Pair(int bufferSize, bool rlogin = false) {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) return;
    far = fds[1];
    netAdoptSocket(fds[0], rlogin, bufferSize);
  }
  ~Pair() {
    netDisconnectPosix();
    if (far >= 0) close(far);
  }
  void put(const std::string& bytes) const { ASSERT_EQ(write(far, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
  std::string take() const {
    std::string got;
    char buf[4096];
    ssize_t n;
    while ((n = recv(far, buf, sizeof buf, MSG_DONTWAIT)) > 0) got.append(buf, static_cast<size_t>(n));
    return got;
  }
};

std::string readAll(int count, int* result) {
  uint8_t buf[64];
  *result = linkRead(buf, count);
  return std::string(reinterpret_cast<char*>(buf), static_cast<size_t>(*result > 0 ? *result : 0));
}

TEST(NetConnection, EstablishedLinkReadsBoundedByTheBufferAndTheCount) {
  receiveEightBit = false;
  telnetStartCommand();  // left over from the last connection
  {
    Pair pair(4);
    EXPECT_TRUE(receiveEightBit);
    EXPECT_FALSE(telnetInCommand());
    EXPECT_TRUE(linkIsSocket());
    EXPECT_EQ(netReceiveBufferSize(), 4);
    pair.put("abcdefgh");
    int r;
    EXPECT_EQ(readAll(3, &r), "abc");
    EXPECT_EQ(readAll(10, &r), "defgh") << "the buffer refills while the count allows";
    pair.put("123456");
    int in = -1;
    EXPECT_EQ(linkPoll(&in, nullptr), 0);
    EXPECT_EQ(in, 4) << "one receive fills at most the buffer";
    linkPurge(0);
    EXPECT_EQ(readAll(10, &r), "56") << "a purge drops what was buffered, not what the socket holds";
  }
  netEstablished(0);
  EXPECT_EQ(netReceiveBufferSize(), 4096) << "a size below 1 gives 4096";
  netReleased();
  linkAttach(nullptr);
}

TEST(NetConnection, DoubledFFCollapsesOnlyDuringTelnetTransfers) {
  const std::string ffs(4, '\xFF');
  int r;
  {
    Pair pair(64);
    pair.put(ffs + "a\xFF\xFF" + "b");
    EXPECT_EQ(readAll(64, &r), ffs + "a\xFF\xFF" + "b") << "no transfer: nothing collapses";
    netTransferRunning = true;
    pair.put(ffs + "a\xFF\xFF\xFF" + "b");
    EXPECT_EQ(readAll(64, &r), "\xFF\xFF" "a\xFF\xFF" "b") << "four give two, three give two";
  }
  {
    Pair pair(64, true);
    pair.put(ffs);
    EXPECT_EQ(readAll(64, &r), ffs) << "Rlogin: 0xFF is plain data";
  }
  netTransferRunning = false;
}

TEST(NetConnection, PollReportsWaitingBytesAndTheLoss) {
  {
    Pair pair(16);
    pair.put("xyz");
    close(pair.far);
    pair.far = -1;
    int in = 0;
    EXPECT_EQ(linkPoll(&in, nullptr), 0);
    EXPECT_EQ(in, 3);
    int r;
    EXPECT_EQ(readAll(2, &r), "xy");
    EXPECT_EQ(linkPoll(&in, nullptr), 0);
    EXPECT_EQ(in, 1);
    EXPECT_EQ(readAll(5, &r), "z");
    EXPECT_EQ(linkPoll(&in, nullptr), LINK_LOST);
    EXPECT_EQ(readAll(5, &r), "");
    EXPECT_EQ(r, LINK_LOST) << "the loss stays reported";
  }
  int in = 0;
  EXPECT_EQ(linkPoll(&in, nullptr), 0) << "not connected";
}

TEST(NetConnection, WriteWaitsForRoomAndGivesUpOnCancelAndLoss) {
  Pair pair(16);
  const std::string hello = "hello";
  EXPECT_EQ(linkWrite(reinterpret_cast<const uint8_t*>(hello.data()), 5), 0) << "a socket write reports 0";
  EXPECT_EQ(pair.take(), "hello");
  // Nobody reads the far end: the socket fills, the write has to wait, and a
  // transfer's Cancel ends that wait.
  volatile bool abort = true;
  netWriteAbort = &abort;
  std::string big(1 << 22, 'y');
  EXPECT_EQ(linkWrite(reinterpret_cast<const uint8_t*>(big.data()), static_cast<int>(big.size())), -1)
      << "a transfer's Cancel ends the wait";
  netWriteAbort = nullptr;
  pair.take();
  close(pair.far);
  pair.far = -1;
  EXPECT_EQ(linkWrite(reinterpret_cast<const uint8_t*>(big.data()), static_cast<int>(big.size())), -1)
      << "the peer gone: the write fails";
}

}  // namespace
