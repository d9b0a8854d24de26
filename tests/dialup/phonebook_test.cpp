// The phonebook's rules without its windows: which files the listing shows
// and under which names, the description line, the checks an entry passes
// before it is saved, the General page's values, the dialing options and the
// dial list block.
#include <gtest/gtest.h>

#include <cstring>

#include "dialup/phonebook.h"
#include "shell/message_box_posix.h"
#include "shell/message_ids.h"
#include "tests/shell/book_fixture.h"

namespace {
using namespace phoneField;

struct PhonebookTest : BookDirTest {
  // A record of size bytes whose name field holds name (unterminated when it fills the field).
  std::vector<uint8_t> recordNamed(const std::string& n, size_t size = PHONE_ENTRY_SIZE) {
    std::vector<uint8_t> bytes = patternBytes(size, 7);
    for (size_t i = 0; i < 64 && 88 + i < size; ++i) bytes[88 + i] = i < n.size() ? n[i] : (i == n.size() ? 0 : 'x');
    return bytes;
  }
  int lastMessage() {
    auto all = messagesShown();
    int id = all.empty() ? 0 : all.back().id;
    messagesClear();
    return id;
  }
};

TEST_F(PhonebookTest, ListingNamesEveryPhnFileFromItsOwnBytes) {
  // Long names beside short files: a short file read over the previous
  // record's bytes would show that record's name, or part of it.
  for (const char* n : {"Alpha long name", "beta long name", "Gamma long name", "delta long name"})
    writeFile(std::string(n) + ".phn", recordNamed(n));
  writeFile("s1.PHN", recordNamed("Zed", 91));   // name unterminated at the end of the file
  writeFile("s2.Phn", recordNamed("Yo", 90));
  writeFile("s3.phn", recordNamed("", 40));      // ends before the name: names nothing
  writeFile("big.phn", recordNamed("Oversize", PHONE_ENTRY_SIZE + 100));
  std::vector<uint8_t> unterminated = recordNamed("");
  memset(&unterminated[88], 'N', 64);
  writeFile("u.pHn", unterminated);
  writeFile("other.tel", recordNamed("Telnet entry"));
  writeFile("near.phnx", recordNamed("Not a phone entry"));
  std::filesystem::create_directory(dir / "folder.phn");

  bool stopped = true;
  std::vector<std::string> names = phonebookNames(&stopped);
  EXPECT_FALSE(stopped);
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha long name", "beta long name", "delta long name",
                                             "Gamma long name", std::string(63, 'N'), "Oversize", "Yo", "Zed"}));
}

TEST_F(PhonebookTest, DescriptionAndChecksOfAnEntry) {
  PhoneEntry e = phoneDefaultEntry();
  recordSetInt(e.bytes, portIndex, 1);
  recordSetInt(e.bytes, speedIndex, 6);
  EXPECT_EQ(phoneDescription(e), "COM2:9600,8,N,1");
  recordSetInt(e.bytes, dataBits, 1), recordSetInt(e.bytes, parity, 2), recordSetInt(e.bytes, stopBits, 1);
  recordSetInt(e.bytes, portIndex, 9), recordSetInt(e.bytes, speedIndex, 12);  // damaged: clamped
  EXPECT_EQ(phoneDescription(e), "COM8:300,7,E,1.5");

  struct Case {
    const char* name;
    int type, data, par;
    const char* number;
    const char* valid;
    int text;
  } cases[] = {
      {"ok", 1, 0, 0, "555 1234", "0123456789 ", 0},
      {"", 1, 0, 0, "5551234", "", TXT_NO_SERVICE_NAME},
      {"ok", 1, 0, 1, "5551234", "", TXT_PHONE_DATA_PARITY},
      {"ok", 1, 1, 1, "5551234", "", 0},
      {"ok", 0, 0, 0, "", "", TXT_PHONE_NUMBER_NEEDED},
      {"ok", 2, 0, 0, "5551234", "", TXT_PHONE_TYPE_INVALID},
      {"ok", 2, 0, 0, "", "", 0},  // a direct line needs no number
      {"ok", 1, 0, 0, "555-1234", "0123456789", TXT_PHONE_NUMBER_INVALID},
      {"ok", 1, 0, 0, "555-1234", "0123456789-", 0},
      {"ok", 1, 0, 0, "9,5551234W", "", 0},  // no profile text: the usual dial characters
  };
  for (const Case& c : cases) {
    PhoneEntry x = phoneDefaultEntry();
    recordSetText(x.bytes, name, c.name);
    recordSetInt(x.bytes, phoneField::phoneType, c.type);
    recordSetInt(x.bytes, dataBits, c.data);
    recordSetInt(x.bytes, parity, c.par);
    recordSetText(x.bytes, phoneNumber, c.number);
    EXPECT_EQ(phoneValidate(x, phoneDialCharacters(c.valid)), c.text ? -1 : 0) << c.number;
    EXPECT_EQ(lastMessage(), c.text) << c.name << " " << c.number;
  }
}

TEST_F(PhonebookTest, GeneralPageWritesTheLineAndKeepsTheNameOfAnExistingEntry) {
  PhoneEntry e = phoneDefaultEntry();
  std::vector<uint8_t> pattern = patternBytes(PHONE_ENTRY_SIZE, 3);
  memcpy(e.bytes + 2328, pattern.data() + 2328, 10);  // bytes of no field ride along
  ServiceValues v = serviceFromRecord(e.bytes);
  EXPECT_EQ(v.name, "Default");
  EXPECT_EQ(v.phone, "0000");
  v.name = "Renamed";
  v.phone = std::string(50, '5');
  v.prefix = "12345678";
  v.phoneType = 1, v.parity = 0, v.stopBits = 2, v.dataBits = 0, v.speedIndex = 3, v.portIndex = 7;
  ASSERT_EQ(serviceApply(e.bytes, false, v, phoneDialCharacters("")), 0);
  EXPECT_EQ(recordText(e.bytes, name), "Default");
  EXPECT_EQ(recordText(e.bytes, phoneNumber), std::string(39, '5'));
  EXPECT_EQ(recordText(e.bytes, phonePrefix), "123456");
  EXPECT_EQ(phoneDescription(e), "COM8:38400,8,N,2");
  EXPECT_EQ(memcmp(e.bytes + 2332, pattern.data() + 2332, 6), 0);

  // A new entry takes its name; a refused one leaves the prefix as it was.
  v.name = "New one";
  v.prefix = "9";
  v.phoneType = 2;  // direct, but with a number
  EXPECT_EQ(serviceApply(e.bytes, true, v, phoneDialCharacters("")), -1);
  EXPECT_EQ(lastMessage(), TXT_PHONE_TYPE_INVALID);
  EXPECT_EQ(recordText(e.bytes, phonePrefix), "123456");
  v.phone.clear();
  v.name = "..\\outside";
  EXPECT_EQ(serviceApply(e.bytes, true, v, phoneDialCharacters("")), -1);
  EXPECT_EQ(lastMessage(), TXT_ENTRY_CREATE_FAILED);
  v.name = "New one";
  ASSERT_EQ(serviceApply(e.bytes, true, v, phoneDialCharacters("")), 0);
  EXPECT_EQ(recordText(e.bytes, name), "New one");
  EXPECT_EQ(recordText(e.bytes, phonePrefix), "9");
}

TEST(PhonebookValues, DialOptionsAndTheDialListBlock) {
  struct Case {
    const char* typed;
    int value;
    bool refused;
  } cases[] = {{"0", 0, false}, {"255", 255, false}, {"256", 7, true}, {"", 7, true},
               {"1x", 7, true}, {"-1", 7, true},   {"99999999999", 7, true}};
  for (const Case& c : cases) {
    bool refused = false;
    EXPECT_EQ(dialOptionValue(c.typed, 7, &refused), c.value) << c.typed;
    EXPECT_EQ(refused, c.refused) << c.typed;
  }
  std::vector<uint8_t> block = batchDialBlock({"first", std::string(80, 'L')});
  ASSERT_EQ(block.size(), 128u);
  EXPECT_STREQ(reinterpret_cast<const char*>(&block[0]), "first");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&block[64])), std::string(63, 'L'));
}
}  // namespace
