// Modem profiles: the makers' file names, slot texts bounded whatever the file
// holds, reserved slots kept, and the image kept when no file opens.
#include <gtest/gtest.h>

#include <cstring>

#include "shell/modem_profile.h"
#include "tests/shell/book_fixture.h"

namespace {
using ModemProfiles = BookDirTest;

TEST(ModemMakers, FileNamesAreTheMakerNameCutToEightCharacters) {
  struct Case {
    int maker;
    const char* file;
  } cases[] = {{0, "AT&T.mdm"},    {8, "Promethu.mdm"}, {13, "USRoboti.mdm"}, {14, "Zoom.mdm"},
               {15, "Custom.mdm"}, {16, "Custom.mdm"},   {-1, "Custom.mdm"},   {65535, "Custom.mdm"}};
  for (const Case& c : cases) EXPECT_EQ(modemProfileFileName(c.maker), c.file) << c.maker;
}

TEST_F(ModemProfiles, SlotsRoundTripThroughTheFileAndReservedBytesAreKept) {
  ModemProfile p;
  std::vector<uint8_t> noise = patternBytes(MODEM_PROFILE_SIZE, 3);
  memcpy(p.bytes, noise.data(), MODEM_PROFILE_SIZE);
  ASSERT_EQ(profileSetSlot(p, SLOT_INIT, "AT&F^M"), 0);
  ASSERT_EQ(profileSetSlot(p, SLOT_RESULT_CARRIER, "CARRIER"), 0);
  ASSERT_EQ(profileSetSlot(p, SLOT_VALID_DIAL, "0123456789*#,"), 0);
  ASSERT_EQ(modemProfileSave(13, p), 0);
  EXPECT_EQ(files(), std::vector<std::string>{"USRoboti.mdm"});

  ModemProfile back;
  memset(back.bytes, 0, sizeof back.bytes);
  EXPECT_EQ(modemProfileLoad(13, back), static_cast<int>(MODEM_PROFILE_SIZE));
  EXPECT_EQ(memcmp(back.bytes, p.bytes, MODEM_PROFILE_SIZE), 0) << "reserved slots and tails kept as read";
  EXPECT_EQ(profileSlot(back, SLOT_INIT), "AT&F^M");
  EXPECT_EQ(profileSlot(back, SLOT_RESULT_CARRIER), "CARRIER");
  EXPECT_EQ(profileSlot(back, SLOT_VALID_DIAL), "0123456789*#,");
  EXPECT_EQ(memcmp(back.bytes + 14 * 80, noise.data() + 14 * 80, 9 * 80), 0);
  EXPECT_EQ(memcmp(back.bytes + 24 * 80, noise.data() + 24 * 80, 4 * 80), 0);
}

TEST_F(ModemProfiles, SlotTextsStayInsideTheirSlot) {
  ModemProfile p;
  memset(p.bytes, 'A', sizeof p.bytes);
  for (int slot = 0; slot < PROFILE_SLOTS; ++slot) EXPECT_EQ(profileSlot(p, slot), std::string(78, 'A'));
  EXPECT_EQ(profileSlot(p, -1), "");
  EXPECT_EQ(profileSlot(p, 28), "");

  std::string long79(79, 'x');
  EXPECT_EQ(profileSetSlot(p, SLOT_HANGUP, long79.c_str()), -1);
  EXPECT_EQ(profileSlot(p, SLOT_HANGUP), std::string(78, 'x'));
  EXPECT_EQ(p.bytes[3 * 80 + 78], 0);
  EXPECT_EQ(p.bytes[4 * 80], 'A') << "the next slot is untouched";
  EXPECT_EQ(profileSetSlot(p, 28, "x"), -1);
  EXPECT_EQ(profileSetSlot(p, -1, "x"), -1);
  EXPECT_EQ(p.bytes[0], 'A');
}

TEST_F(ModemProfiles, AProfileThatCannotBeOpenedLeavesTheImage) {
  ModemProfile p;
  memset(p.bytes, 0, sizeof p.bytes);
  profileSetSlot(p, SLOT_RESULT_OK, "OK");
  EXPECT_EQ(modemProfileLoad(4, p), -1);
  EXPECT_EQ(profileSlot(p, SLOT_RESULT_OK), "OK");

  // A file of any case is found; a short one replaces the whole image, the
  // part it lacks with zeros, so no other maker's strings stay behind.
  std::vector<uint8_t> head(80, 0);
  memcpy(head.data(), "ATDT", 4);
  writeFile("hAyEs.MDM", head);
  memset(p.bytes + 80, 'Z', sizeof p.bytes - 80);
  EXPECT_EQ(modemProfileLoad(4, p), 80);
  EXPECT_EQ(profileSlot(p, SLOT_DIAL_SUFFIX), "ATDT");
  EXPECT_EQ(std::vector<uint8_t>(p.bytes + 80, p.bytes + MODEM_PROFILE_SIZE),
            std::vector<uint8_t>(MODEM_PROFILE_SIZE - 80, 0));
  EXPECT_EQ(modemProfileSave(4, p), 0);
  EXPECT_EQ(files(), std::vector<std::string>{"hAyEs.MDM"});
  EXPECT_EQ(fileBytes("hAyEs.MDM").size(), MODEM_PROFILE_SIZE);
}
}  // namespace
