// The Telnet program's command line and the session it names: what is
// refused before it can overrun the entry, and which ".tel" file is trusted.
#include <gtest/gtest.h>

#include <string>

#include "telnet/command_line.h"
#include "tests/shell/book_fixture.h"

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
      {std::string(255, 'a'), -1, "", 0},
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
}  // namespace
