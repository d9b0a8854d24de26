// Records are byte arrays: fields land at their offsets little-endian, texts
// stay inside their space whatever a file holds, and refused values leave the
// record as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "shell/book_entry.h"
#include "shell/ftp_entry.h"
#include "shell/phone_entry.h"

namespace {
struct Placement {
  const char* record;
  FieldSpec field;
  int64_t value;
  size_t offset;
  std::vector<uint8_t> bytes;  // what must be stored at offset
};

// One field of each width and signedness in each record, at the offsets the
// files of the installed base use.
const Placement placements[] = {
    {"tel", bookField::port, 2323, 186, {0x13, 0x09, 0, 0}},
    {"tel", bookField::maxErrors, -2, 2420, {0xFE, 0xFF, 0xFF, 0xFF}},
    {"tel", bookField::fontCharSet, 255, 2371, {0xFF}},
    {"tel", bookField::kermitPacketSize, 9024, 2410, {0x40, 0x23}},
    {"phn", phoneField::scrollLock, 0x01020304, 194, {4, 3, 2, 1}},
    {"phn", phoneField::timeout, 300, 2338, {0x2C, 0x01}},
    {"ftp", ftpField::textColour, 0xFFFFFFFF, 824, {0xFF, 0xFF, 0xFF, 0xFF}},
    {"ftp", ftpField::systemType, 3, 838, {3, 0}},
};

TEST(RecordFields, IntegersLandAtTheirOffsetsLittleEndian) {
  for (const Placement& p : placements) {
    EXPECT_EQ(p.field.offset, p.offset) << p.record << " " << p.field.name;
    std::vector<uint8_t> record(2500, 0xAA);  // room for the byte after the last field
    ASSERT_EQ(recordSetInt(record.data(), p.field, p.value), 0) << p.record << " " << p.field.name;
    EXPECT_EQ(std::vector<uint8_t>(record.begin() + p.offset, record.begin() + p.offset + p.bytes.size()), p.bytes)
        << p.record << " " << p.field.name;
    EXPECT_EQ(record[p.offset - 1], 0xAA) << "byte before " << p.field.name << " untouched";
    EXPECT_EQ(record[p.offset + p.bytes.size()], 0xAA) << "byte after " << p.field.name << " untouched";
    EXPECT_EQ(recordInt(record.data(), p.field), p.value) << p.record << " " << p.field.name;
  }
}

TEST(RecordFields, TablesStayInsideTheirRecordsAndDoNotOverlap) {
  struct Table {
    const FieldSpec* fields;
    int count;
    size_t size;
  } tables[] = {{bookFieldTable, bookFieldCount, BOOK_ENTRY_SIZE},
                {phoneFieldTable, phoneFieldCount, PHONE_ENTRY_SIZE},
                {ftpFieldTable, ftpFieldCount, FTP_ENTRY_SIZE}};
  for (const Table& t : tables) {
    std::vector<int> owner(t.size, -1);
    for (int i = 0; i < t.count; ++i) {
      const FieldSpec& f = t.fields[i];
      ASSERT_LE(f.offset + f.size, t.size) << f.name;
      for (int b = f.offset; b < f.offset + f.size; ++b) {
        EXPECT_EQ(owner[b], -1) << f.name << " overlaps " << (owner[b] >= 0 ? t.fields[owner[b]].name : "");
        owner[b] = i;
      }
      for (int j = 0; j < i; ++j) EXPECT_STRNE(f.name, t.fields[j].name) << "names are unique";
    }
  }
}

// Texts from a file without NUL stay inside their field (the record fuzzer
// checks every field) and inside the caller's buffer; texts written are
// terminated, and what does not fit is refused.
TEST(RecordFields, TextsStayInsideTheirFieldAndTheCallersBuffer) {
  BookEntry e;
  memset(e.bytes, 'x', sizeof e.bytes);
  char small[5];
  EXPECT_EQ(recordText(e.bytes, bookField::name, small, sizeof small), 4u);
  EXPECT_STREQ(small, "xxxx");

  memset(e.bytes, 0xEE, sizeof e.bytes);
  EXPECT_EQ(recordSetText(e.bytes, bookField::terminalId, "vt100"), 0);
  EXPECT_EQ(recordText(e.bytes, bookField::terminalId), "vt100");
  for (int i = 5; i < 16; ++i) EXPECT_EQ(e.bytes[170 + i], 0) << "rest of the field is cleared";
  EXPECT_EQ(e.bytes[186], 0xEE) << "the next field is untouched";

  EXPECT_EQ(recordSetText(e.bytes, bookField::terminalId, "0123456789abcdefXYZ"), -1);
  EXPECT_EQ(recordText(e.bytes, bookField::terminalId), "0123456789abcde");
  EXPECT_EQ(e.bytes[185], 0) << "cut texts are terminated inside the field";

  EXPECT_EQ(fieldFromString(e.bytes, bookField::terminalId, "0123456789abcdef"), -1);
  EXPECT_EQ(recordText(e.bytes, bookField::terminalId), "0123456789abcde") << "a refused text changes nothing";
  EXPECT_EQ(fieldFromString(e.bytes, bookField::terminalId, "0123456789abcde"), 0);
  EXPECT_EQ(fieldFromString(e.bytes, bookField::transferStartChar, "^Q"), 0);
  EXPECT_EQ(recordText(e.bytes, bookField::transferStartChar), "^Q");
  EXPECT_EQ(fieldFromString(e.bytes, bookField::transferStartChar, "^Q!"), -1);
}

TEST(RecordFields, NumbersFromTextRefuseWhatDoesNotParseOrFit) {
  struct Case {
    FieldSpec field;
    const char* text;
    bool accepted;
  } cases[] = {
      {bookField::emulation, "65535", true},  {bookField::emulation, "65536", false},
      {bookField::emulation, "-1", false},    {bookField::emulation, "4x", false},
      {bookField::emulation, "", false},      {bookField::port, "-2147483648", true},
      {bookField::port, "2147483648", false}, {bookField::fontItalic, "256", false},
      {ftpField::backColour, "4294967295", true}, {ftpField::backColour, "-1", false},
  };
  for (const Case& c : cases) {
    BookEntry e{};
    recordSetInt(e.bytes, c.field, 7);
    EXPECT_EQ(fieldFromString(e.bytes, c.field, c.text) == 0, c.accepted) << c.field.name << "=" << c.text;
    if (!c.accepted) {
      EXPECT_EQ(recordInt(e.bytes, c.field), 7) << "refused value leaves " << c.field.name;
    }
  }
}

// Each accessor's value for a record of 0xFF bytes (every field out of range)
// and for one of zeros, paired with what it must give.
TEST(RecordFields, OutOfRangeValuesAreClampedWhereTheyAreUsed) {
  BookEntry e, zero{};
  PhoneEntry p, pz{};
  FtpEntry f;
  memset(e.bytes, 0xFF, sizeof e.bytes);
  memset(p.bytes, 0xFF, sizeof p.bytes);
  memset(f.bytes, 0xFF, sizeof f.bytes);
  const BookEntry before = e;
  const std::pair<int, int> got[] = {
      {bookEmulation(e), 4},         {bookTerminalRows(e), 99},      {bookTerminalColumns(e), 80},
      {bookResizeMode(e), 1},        {bookTransferProtocol(e), 0},   {bookFlowControl(e), 0},
      {bookLineSpeed(e), 0},         {bookProtocol(e), 0},           {bookPort(e), 0},
      {bookKermitPacketSize(e), 9024}, {bookTerminalRows(zero), 24}, {bookKermitPacketSize(zero), 1024},
      {phonePortIndex(p), 0},        {phoneSpeedIndex(p), 0},        {phoneMakerIndex(p), 15},
      {phoneType(p), 2},             {phoneEmulation(p), 4},         {phoneTerminalRows(p), 99},
      {phoneTransferProtocol(p), 0}, {phoneTimeoutSeconds(pz), 60},  {ftpSystemType(f), 0},
      {ftpPort(f), 21}};
  for (size_t i = 0; i < sizeof got / sizeof got[0]; ++i) EXPECT_EQ(got[i].first, got[i].second) << "pair " << i;
  EXPECT_EQ(memcmp(before.bytes, e.bytes, sizeof e.bytes), 0) << "reading never rewrites the record";
  recordSetInt(zero.bytes, bookField::terminalHeight, 10);
  EXPECT_EQ(bookTerminalRows(zero), 24);
  recordSetInt(zero.bytes, bookField::emulation, 10);
  EXPECT_EQ(bookEmulation(zero), 10);
  recordSetInt(f.bytes, ftpField::port, 2121);
  EXPECT_EQ(ftpPort(f), 2121);
}
}  // namespace
