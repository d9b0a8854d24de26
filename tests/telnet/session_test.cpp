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

// While a transfer reads the line the engine takes the Telnet layer out of
// the data, however the bytes are split across reads: a doubled 0xFF is one
// (four give two), commands go to the engine and are answered, and no byte of
// a command is data. Outside transfers, and on Rlogin, every byte is data.
TEST(NetConnection, TelnetLayerLeavesTransferDataAtEverySplit) {
  // DO TTYPE (answered WILL TTYPE), SB TTYPE SEND SE (answered with our type),
  // NOP, and 0xFF doubled once and twice.
  const std::string wire = std::string("ab\xFF\xFF" "c\xFF\xFD\x18" "d\xFF\xFA\x18\x01\xFF\xF0" "e", 16) +
                           "\xFF\xFF\xFF\xFF" "f\xFF\xF1" "g";
  const std::string data = "ab\xFF" "cde\xFF\xFF" "fg";
  const std::string replies = std::string("\xFF\xFB\x18\xFF\xFA\x18\x00", 7) + "vt100\xFF\xF0";
  snprintf(telnetSession.terminalId, sizeof telnetSession.terminalId, "vt100");
  netTransferRunning = true;
  for (size_t cut = 0; cut <= wire.size(); ++cut) {
    Pair pair(64);
    int r;
    pair.put(wire.substr(0, cut));
    std::string got = readAll(64, &r);
    pair.put(wire.substr(cut));
    got += readAll(64, &r);
    EXPECT_EQ(got, data) << "cut at " << cut;
    EXPECT_EQ(pair.take(), replies) << "cut at " << cut;
  }
  netTransferRunning = false;
  int r;
  {
    Pair pair(64);
    pair.put(wire);
    EXPECT_EQ(readAll(64, &r), wire) << "no transfer: the terminal's path reads the layer";
  }
  netTransferRunning = true;
  {
    Pair pair(64, true);
    pair.put(wire);
    EXPECT_EQ(readAll(64, &r), wire) << "Rlogin: 0xFF is plain data";
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
