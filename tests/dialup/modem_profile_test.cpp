// Reply classification, the delivered profiles, command strings as sent and
// the modem search's reply reader.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialup/modem_command.h"
#include "dialup/modem_makers.h"
#include "dialup/reply_class.h"
#include "dialup/search_reply.h"
#include "tests/shell/book_fixture.h"
#include "tests/support/tool_runner.h"

namespace {

ModemProfile withResults(const char* const texts[8]) {
  ModemProfile p;
  memset(p.bytes, 0, sizeof p.bytes);
  for (int i = 0; i < 8; ++i) profileSetSlot(p, SLOT_RESULT_BUSY + i, texts[i]);
  return p;
}

const char* const hayes[8] = {"BUSY", "NO DIALTONE", "NO CARRIER", "RING", "NO ANSWER", "ERROR", "OK", "CONNECT"};
const char* const bareCarrier[8] = {"BUSY", "NO DIALTONE", "CARRIER", "RING", "NO ANSWER", "ERROR", "OK", "CONNECT"};
const char* const emptyOk[8] = {"BUSY", "NO DIALTONE", "NO CARRIER", "RING", "NO ANSWER", "ERROR", "", "CONNECT"};

TEST(ReplyClass, FirstTextContainedInTheLineWins) {
  struct Case {
    const char* const* texts;
    const char* line;
    int expected;
  } cases[] = {
      {hayes, "CONNECT 115200/ARQ", REPLY_CONNECT},
      {hayes, "NO CARRIER", REPLY_CARRIER},
      {hayes, "OK", REPLY_OK},
      {hayes, "ok", REPLY_NONE},  // case counts
      {hayes, "BUSY", REPLY_BUSY},
      {hayes, "RINGING", REPLY_ANSWER},
      {hayes, "ATDT555", REPLY_NONE},
      {hayes, "", REPLY_NONE},
      {bareCarrier, "NO CARRIER", REPLY_CARRIER},
      {bareCarrier, "CARRIER 28800", REPLY_CARRIER},
      {emptyOk, "anything at all", REPLY_OK},
      {emptyOk, "CONNECT 9600", REPLY_OK},  // the empty OK text shadows connect
      {emptyOk, "ERROR", REPLY_ERROR},
  };
  for (const Case& c : cases) EXPECT_EQ(classifyReply(withResults(c.texts), c.line), c.expected) << c.line;
}

TEST(ReplyClass, ShadowedSlotsAreFound) {
  const char* const okInConnect[8] = {"BUSY", "NO DIALTONE", "NO CARRIER", "RING", "NO ANSWER", "ERROR", "CONN", "CONNECT"};
  const char* const emptyBusy[8] = {"", "NO DIALTONE", "NO CARRIER", "RING", "NO ANSWER", "ERROR", "OK", "CONNECT"};
  const char* const generalError[8] = {"BUSY", "NO DIALTONE", "NO CARRIER", "RING", "NO ANSWER", "O", "OK", "CONNECT"};
  EXPECT_EQ(profileShadowedSlot(withResults(hayes)), -1);
  EXPECT_EQ(profileShadowedSlot(withResults(emptyOk)), SLOT_RESULT_OK);
  EXPECT_EQ(profileShadowedSlot(withResults(okInConnect)), SLOT_RESULT_CONNECT);
  EXPECT_EQ(profileShadowedSlot(withResults(emptyBusy)), SLOT_RESULT_BUSY);
  EXPECT_EQ(profileShadowedSlot(withResults(generalError)), SLOT_RESULT_OK);
}

// Every delivered profile reaches every class, and its strings are usable as
// sent: reset and init end in CR, the escape waits around "+++".
TEST(DeliveredProfiles, EveryMakerIsSoundAndClassifiesRealReplies) {
  for (int maker = 0; maker < MODEM_MAKERS; ++maker) {
    ModemProfile p;
    makerProfile(maker, p);
    SCOPED_TRACE(modemMakerName(maker));
    EXPECT_EQ(profileShadowedSlot(p), -1);
    EXPECT_EQ(classifyReply(p, "CONNECT 57600/V42BIS"), REPLY_CONNECT);
    EXPECT_EQ(classifyReply(p, "NO DIALTONE"), REPLY_DIALTONE);
    for (int slot : {SLOT_RESET, SLOT_INIT, SLOT_HANGUP}) {
      std::string bytes;
      EXPECT_EQ(prepareModemCommand(profileSlot(p, slot).c_str(), slot == SLOT_INIT, bytes), 0);
      EXPECT_EQ(bytes.substr(0, 2), "AT");
      EXPECT_EQ(bytes.back(), '\r');
    }
    std::string escape;
    EXPECT_EQ(prepareModemCommand(profileSlot(p, SLOT_ESCAPE).c_str(), true, escape), 2);
    EXPECT_EQ(escape, "+++");
    for (char c : std::string("(555) 123-4567,,9*#")) EXPECT_NE(profileSlot(p, SLOT_VALID_DIAL).find(c), std::string::npos) << c;
  }
}

using GeneratedProfiles = BookDirTest;

TEST_F(GeneratedProfiles, TheBuildToolWritesEveryMakersFileAsTheTableHasIt) {
  std::string out, err;
  ASSERT_EQ(runTool("modem_files", dir.string(), &out, &err), 0) << err;
  EXPECT_EQ(files().size(), static_cast<size_t>(MODEM_MAKERS));
  for (int maker = 0; maker < MODEM_MAKERS; ++maker) {
    ModemProfile expected, loaded;
    makerProfile(maker, expected);
    memset(loaded.bytes, 0xAA, sizeof loaded.bytes);
    EXPECT_EQ(modemProfileLoad(maker, loaded), static_cast<int>(MODEM_PROFILE_SIZE)) << maker;
    EXPECT_EQ(memcmp(loaded.bytes, expected.bytes, MODEM_PROFILE_SIZE), 0) << maker;
  }
}

TEST(ModemCommand, CaretsAndPausesAsSent) {
  struct Case {
    const char* text;
    bool pauses;
    const char* bytes;
    int waits;
  } cases[] = {
      {"ATZ^M", false, "ATZ\r", 0},
      {"AT^", false, "AT^", 0},  // a caret at the end is sent as it is
      {"^", false, "^", 0},
      {"^^", false, "\x1e", 0},
      {"~~~+++~~~", true, "+++", 2},
      {"~~~+++~~~", false, "~~~+++~~~", 0},  // only init and escape pause
      {"~~AT~^M", true, "AT\r", 1},
      {"^~", true, ">", 0},  // a caret pair is not a pause
      {"", true, "", 0},
  };
  for (const Case& c : cases) {
    std::string bytes;
    EXPECT_EQ(prepareModemCommand(c.text, c.pauses, bytes), c.waits) << c.text;
    EXPECT_EQ(bytes, c.bytes) << c.text;
  }
}

// Feeds the stream; the index of the byte that found the modem, or -1.
int foundAt(const std::string& stream, SearchReply& r) {
  searchReplyReset(r);
  for (size_t i = 0; i < stream.size(); ++i)
    if (searchReplyByte(r, static_cast<uint8_t>(stream[i]))) return static_cast<int>(i);
  return -1;
}

TEST(SearchReply, NumericAndVerbalOkAreFoundAndNoiseIsNot) {
  struct Case {
    std::string stream;
    int found;
  } cases[] = {
      {"0", 0},
      {"ATQ\r0\r", 4},
      {"\r\nOK\r\n", 5},
      {"ATQ\r\r\nOK\r\n", 9},
      {"ATQ\r", -1},
      {"\r\n\r\n", -1},        // empty lines only
      {"OK\nOK\n", -1},        // bare LF is no boundary
      {"\r\nOK\rX\n", -1},     // CR not followed by LF
      {std::string("\r\nO\0K\r\n", 7), 6},
  };
  SearchReply r;
  for (const Case& c : cases) EXPECT_EQ(foundAt(c.stream, r), c.found) << c.stream;
}

TEST(SearchReply, AFloodKeepsTheTextBounded) {
  SearchReply r;
  std::string flood = "\r\n" + std::string(100000, 'x');
  EXPECT_EQ(foundAt(flood, r), -1);
  EXPECT_EQ(r.length, SEARCH_REPLY_MAX);
  EXPECT_EQ(strlen(r.text), static_cast<size_t>(SEARCH_REPLY_MAX));
  EXPECT_EQ(searchReplyByte(r, '\r'), 0);
  EXPECT_EQ(searchReplyByte(r, '\n'), 1);
}

}  // namespace
