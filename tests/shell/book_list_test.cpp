// The book dialogs' rules on real files: what the list shows (entries of
// the exact size, whatever the case of the extension) and in which order, and
// the entry Quick Connect leaves in the book.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "shell/book_entry.h"
#include "shell/book_list.h"
#include "shell/ftp_entry.h"
#include "shell/message_box_posix.h"
#include "shell/message_ids.h"
#include "shell/phone_entry.h"
#include "tests/shell/book_fixture.h"

namespace fs = std::filesystem;

namespace {
const BookView TELNET_VIEW{&TELNET_BOOK, bookField::address, bookField::port};
const BookView FTP_VIEW{&FTP_BOOK, ftpField::address, ftpField::port};

class BookList : public BookDirTest {
 protected:
  template <size_t N>
  void writeEntry(const std::string& file, const BookView& view, const char* name, const char* address, int port) {
    std::vector<uint8_t> r(N, 0);
    recordSetText(r.data(), view.kind->nameField, name);
    recordSetText(r.data(), view.address, address);
    recordSetInt(r.data(), view.port, port);
    writeFile(file, r);
  }
};

std::vector<std::string> shown(const std::vector<BookRow>& rows) {
  std::vector<std::string> out;
  for (const BookRow& r : rows) out.push_back(r.name + "|" + r.address + "|" + r.port + "|" + fs::path(r.path).filename().string());
  return out;
}
}  // namespace

TEST_F(BookList, RowsAreSortedWithoutRegardToCaseAndOnlyWholeRecordsAreListed) {
  EXPECT_TRUE(bookRows(TELNET_VIEW).empty()) << "an empty book lists nothing";
  writeEntry<BOOK_ENTRY_SIZE>("zeta.tel", TELNET_VIEW, "Zeta", "z.example", 0);
  writeEntry<BOOK_ENTRY_SIZE>("Alpha.TEL", TELNET_VIEW, "Alpha", "10.0.0.1", 2323);
  writeEntry<BOOK_ENTRY_SIZE>("beta.Tel", TELNET_VIEW, "beta", "b.example", 23);
  writeEntry<BOOK_ENTRY_SIZE - 1>("short.tel", TELNET_VIEW, "short", "s", 1);
  writeEntry<BOOK_ENTRY_SIZE + 1>("long.tel", TELNET_VIEW, "long", "l", 1);
  writeEntry<FTP_ENTRY_SIZE>("ftp.ftp", FTP_VIEW, "ftphost", "f.example", 2121);
  writeFile("empty.tel", {});
  writeFile("other.tel.bak", std::vector<uint8_t>(BOOK_ENTRY_SIZE, 0));
  writeFile("tel", std::vector<uint8_t>(BOOK_ENTRY_SIZE, 0));
  fs::create_directory(dir / "dir.tel");
  writeFile("phone.phn", std::vector<uint8_t>(PHONE_ENTRY_SIZE, 0));
  EXPECT_EQ(shown(bookRows(TELNET_VIEW)),
            (std::vector<std::string>{"Alpha|10.0.0.1|2323|Alpha.TEL", "beta|b.example|23|beta.Tel",
                                      "Zeta|z.example||zeta.tel"}));
  // The same rule over the FTP records, whose port lies elsewhere.
  EXPECT_EQ(shown(bookRows(FTP_VIEW)), (std::vector<std::string>{"ftphost|f.example|2121|ftp.ftp"}));
  EXPECT_EQ(entryList(PHONE_BOOK).size(), 1u);
}

TEST_F(BookList, QuickConnectBuildsTheEntryFromTheTypedTexts) {
  BookEntry templ = bookDefaultEntry();
  recordSetInt(templ.bytes, bookField::port, 2300);
  const std::string longHost(100, 'h');
  struct Case {
    const char* address;
    const char* port;
    std::string name, storedAddress;
    int64_t storedPort;
  } cases[] = {
      {"10.1.2.3", "2323", "10.1.2.3", "10.1.2.3", 2323},
      {"  host.example  ", " 0 ", "host.example", "host.example", 0},
      {"host.example", "", "host.example", "host.example", 2300},
      {"host.example", "abc", "host.example", "host.example", 2300},
      {"host.example", "70000", "host.example", "host.example", 2300},
      {longHost.c_str(), "23", std::string(60, 'h'), std::string(79, 'h'), 23},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    BookEntry e{};
    ASSERT_EQ(quickConnectEntry(TELNET_VIEW, templ.bytes, c.address, c.port, e.bytes), 0);
    EXPECT_EQ(recordText(e.bytes, bookField::name), c.name);
    EXPECT_EQ(recordText(e.bytes, bookField::address), c.storedAddress);
    EXPECT_EQ(recordInt(e.bytes, bookField::port), c.storedPort);
    EXPECT_EQ(recordInt(e.bytes, bookField::emulation), 4);  // the template's settings
  }
  BookEntry untouched{};
  untouched.bytes[0] = 'x';
  EXPECT_EQ(quickConnectEntry(TELNET_VIEW, templ.bytes, "   ", "23", untouched.bytes), -1);
  EXPECT_EQ(untouched.bytes[0], 'x');
}

TEST_F(BookList, QuickConnectKeepsTheSettingsOfAnExistingEntryAndLeavesItsFileAlone) {
  BookEntry templ = bookDefaultEntry();
  // The host's own entry, with a colour terminal and a user's port.
  BookEntry own = bookDefaultEntry();
  recordSetText(own.bytes, bookField::name, "10.1.2.3");
  recordSetText(own.bytes, bookField::address, "10.1.2.3");
  recordSetInt(own.bytes, bookField::emulation, 2);
  recordSetInt(own.bytes, bookField::port, 2424);
  writeFile("10.1.2.3.tel", std::vector<uint8_t>(own.bytes, own.bytes + BOOK_ENTRY_SIZE));
  // A wrong-size file of another name is no entry: the template is used.
  writeFile("other.tel", std::vector<uint8_t>(100, 7));

  // Built on the existing entry, which is not to be written: the typed port
  // is the session's alone.
  BookEntry e{};
  ASSERT_EQ(quickConnectEntry(TELNET_VIEW, templ.bytes, "10.1.2.3", "2323", e.bytes), 1);
  EXPECT_EQ(recordInt(e.bytes, bookField::emulation), 2);
  EXPECT_EQ(recordInt(e.bytes, bookField::port), 2323);
  EXPECT_EQ(fs::file_size(path("10.1.2.3.tel")), BOOK_ENTRY_SIZE);

  BookEntry other{};
  ASSERT_EQ(quickConnectEntry(TELNET_VIEW, templ.bytes, "other", "", other.bytes), 0);
  EXPECT_EQ(recordInt(other.bytes, bookField::emulation), 4);
  ASSERT_EQ(bookSaveEntry(other), 0);
  EXPECT_EQ(shown(bookRows(TELNET_VIEW)),
            (std::vector<std::string>{"10.1.2.3|10.1.2.3|2424|10.1.2.3.tel", "other|other||other.tel"}));
}

TEST_F(BookList, AnAddressThatCannotNameAFileIsRefusedByTheSaveAndWritesNothing) {
  BookEntry templ = bookDefaultEntry();
  for (const char* address : {"../outside", "a/b", "c:\\x", "host:23", "..", "con"}) {
    SCOPED_TRACE(address);
    messagesClear();
    BookEntry e{};
    ASSERT_EQ(quickConnectEntry(TELNET_VIEW, templ.bytes, address, "", e.bytes), 0);
    EXPECT_EQ(bookSaveEntry(e), -1);
    ASSERT_EQ(messagesShown().size(), 1u);
    EXPECT_EQ(messagesShown()[0].id, TXT_ENTRY_CREATE_FAILED);
  }
  EXPECT_TRUE(files().empty());
  EXPECT_FALSE(fs::exists(dir.parent_path() / "outside.TEL"));
}
