// The feed's two state machines on the host: the viewer's block reader
// waiting on a real growing file, and the sender's conversation, with the
// platform's messages recorded and the clock advanced by hand.
#include <gtest/gtest.h>

#include "shell/message_box_posix.h"
#include "shell/program_dir.h"
#include "shell/pump_posix.h"
#include "tests/viewer/viewer_files.h"
#include "viewer/feed_send.h"
#include "viewer/host_posix.h"
#include "viewer/jpeg_decode.h"

namespace {
constexpr FeedWindow SELF = 0x10, SENDER = 0x20, STRANGER = 0x30;

int posts(FeedMessage message, FeedWindow to) {
  int n = 0;
  for (const FeedCall& c : feedCalls())
    if (c.what == "post" && c.message == message && c.to == to) ++n;
  return n;
}

// A sender writing the file: each execute it scripts was preceded by
// appending the next 1024 bytes (the last block shorter), as rule 2 says.
struct GrowingSender {
  std::vector<uint8_t> data;
  std::string path;
  size_t written = 0;
  int executes = 0;
  bool terminateAfter = true;
  FeedEvent next(FeedWindow* from) {
    *from = SENDER;
    if (written >= data.size() && (executes > 0 && terminateAfter)) return FeedEvent::Terminate;
    size_t n = data.size() - written < 1024 ? data.size() - written : 1024;
    std::vector<uint8_t> now(data.begin(), data.begin() + static_cast<long>(written + n));
    writeBytes(path, now);
    written += n;
    ++executes;
    return FeedEvent::Execute;
  }
};

class Feed : public ::testing::Test {
 protected:
  void SetUp() override {
    clockUseManual();
    feedCallsClear();
    messagesClear();
    feedReceiverReset(viewerFeed, SELF);
    feedSender = FeedSender{};
    setProgramDir("C:\\Program Files\\Suite");
  }
  void TearDown() override { viewerWaitScript(nullptr); }
};
}  // namespace

TEST_F(Feed, ViewerAcceptsOneInitiateOnly) {
  struct Case {
    const char* application;
    const char* topic;
    FeedWindow sender;
    bool accepted;
  } cases[] = {
      {"OtherApp", "C:\\in\\a.jpg", SENDER, false},
      {"GlintJPEG", "", SENDER, false},
      {"GlintJPEG", "C:\\in\\a.jpg", SENDER, true},
      {"GlintJPEG", "C:\\in\\b.jpg", STRANGER, false},  // a second feed is never served
  };
  for (const Case& c : cases)
    EXPECT_EQ(feedAcceptInitiate(viewerFeed, c.application, c.topic, c.sender), c.accepted) << c.application;
  EXPECT_EQ(viewerFeed.sender, SENDER);
  feedDecodeFinished(viewerFeed);
  EXPECT_EQ(posts(FEED_TERMINATE, SENDER), 1) << "the viewer ends a feed the sender left open";
  EXPECT_FALSE(feedAcceptInitiate(viewerFeed, "GlintJPEG", "C:\\in\\c.jpg", SENDER)) << "even after it ended";
}

TEST_F(Feed, FileOf2500BytesIsReadInThreeAnnouncedBlocks) {
  GrowingSender sender{std::vector<uint8_t>(2500), viewerTestDir() + "grow.bin"};
  for (size_t i = 0; i < sender.data.size(); ++i) sender.data[i] = static_cast<uint8_t>(i * 7);
  sender.terminateAfter = false;
  ASSERT_TRUE(feedAcceptInitiate(viewerFeed, "GlintJPEG", sender.path, SENDER));
  viewerFeed.fedDecode = true;
  viewerWaitScript([&](FeedWindow* from) { return sender.next(from); });
  BlockReader reader;
  blockReaderReset(reader, sender.path, true);
  std::vector<uint8_t> got;
  uint8_t buf[300];
  int n;
  while ((n = blockRead(reader, buf, sizeof buf)) > 0) got.insert(got.end(), buf, buf + n);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(got, sender.data) << "nothing read beyond what was announced, nothing lost";
  EXPECT_EQ(sender.executes, 3);
  EXPECT_EQ(posts(FEED_ACK, SENDER), 3);
}

TEST_F(Feed, WaitEndsOnCloseOpenTerminateAndIgnoresStrangers) {
  ASSERT_TRUE(feedAcceptInitiate(viewerFeed, "GlintJPEG", "x.jpg", SENDER));
  viewerFeed.fedDecode = true;
  EXPECT_EQ(feedWaitStep(viewerFeed, FeedEvent::Execute, STRANGER), WAIT_AGAIN);
  EXPECT_EQ(feedWaitStep(viewerFeed, FeedEvent::Initiate, STRANGER), WAIT_AGAIN);
  EXPECT_EQ(feedWaitStep(viewerFeed, FeedEvent::Other, 0), WAIT_AGAIN);
  EXPECT_EQ(feedWaitStep(viewerFeed, FeedEvent::Execute, SENDER), WAIT_BLOCK);
  EXPECT_EQ(feedWaitStep(viewerFeed, FeedEvent::Terminate, STRANGER), WAIT_AGAIN);
  EXPECT_EQ(feedWaitStep(viewerFeed, FeedEvent::Terminate, SENDER), WAIT_COMPLETE);
  EXPECT_EQ(feedWaitStep(viewerFeed, FeedEvent::Execute, SENDER), WAIT_AGAIN) << "no blocks after the end";
  EXPECT_EQ(feedWaitStep(viewerFeed, FeedEvent::Open, 0), WAIT_OPEN);
  viewerFeed.closeRequested = true;
  EXPECT_EQ(feedWaitStep(viewerFeed, FeedEvent::Other, 0), WAIT_CLOSE);
  EXPECT_EQ(posts(FEED_ACK, SENDER), 1);

  // A terminate before any block withdraws the feed: this viewer was not chosen.
  feedReceiverReset(viewerFeed, SELF);
  ASSERT_TRUE(feedAcceptInitiate(viewerFeed, "GlintJPEG", "x.jpg", SENDER));
  viewerFeed.fedDecode = true;
  EXPECT_EQ(feedWaitStep(viewerFeed, FeedEvent::Terminate, SENDER), WAIT_WITHDRAWN);
  EXPECT_TRUE(feedAcceptInitiate(viewerFeed, "GlintJPEG", "y.jpg", SENDER)) << "it may serve the next one";
}

TEST_F(Feed, ClosingWhileAFedDecodeWaitsDropsThePictureQuietly) {
  std::vector<uint8_t> jpg = readBytes(makeJpeg("close", 200, 150, "-progressive"));
  GrowingSender sender{jpg, viewerTestDir() + "close.jpg"};
  ASSERT_TRUE(feedAcceptInitiate(viewerFeed, "GlintJPEG", sender.path, SENDER));
  viewerFeed.fedDecode = true;
  viewerWaitScript([&](FeedWindow* from) {
    if (sender.executes == 2) viewerFeed.closeRequested = true;  // the user closes the window
    return sender.next(from);
  });
  BlockReader reader;
  blockReaderReset(reader, sender.path, true);
  ViewerImage image;
  EXPECT_EQ(decodeJpeg(reader, image), DECODE_CLOSE);
  EXPECT_EQ(image.bits, nullptr);
  EXPECT_TRUE(messagesShown().empty());
  feedDecodeFinished(viewerFeed);
  EXPECT_EQ(posts(FEED_TERMINATE, SENDER), 1);
}

TEST_F(Feed, SenderStartsTheQuotedViewerAndAnnouncesBlocksUntilEnd) {
  const FeedWindow client = 0x77, viewer = 0x88, otherViewer = 0x99;
  feedSetBroadcastAnswer([&](FeedWindow from, const std::string& app, const std::string& topic) {
    EXPECT_EQ(from, client);
    EXPECT_EQ(app, "GlintJPEG");
    EXPECT_EQ(topic, "C:\\dl\\photo.jpg.txt");
    FeedAnswer(FEED_ACK, viewer);
    FeedAnswer(FEED_ACK, otherViewer);  // an offline viewer answered too
  });
  EXPECT_EQ(FeedStart(client, "C:\\dl\\photo.jpg.txt"), 0);
  EXPECT_EQ(feedCalls()[0].text, "\"C:\\Program Files\\Suite\\sorlin32.exe\" 1");
  EXPECT_EQ(feedAtomsAlive(), 0) << "atoms go once the broadcast returned";
  EXPECT_EQ(posts(FEED_TERMINATE, otherViewer), 1) << "the viewer not chosen is let go";
  for (int i = 0; i < 3; ++i) FeedBlock(client);
  FeedBlock(0x1234);  // another transfer's window feeds nothing
  EXPECT_EQ(posts(FEED_EXECUTE, viewer), 3);
  FeedEnd(client);
  EXPECT_EQ(posts(FEED_TERMINATE, viewer), 1);
  FeedBlock(client);
  EXPECT_EQ(posts(FEED_EXECUTE, viewer), 3);
  feedViewOffline();
  EXPECT_EQ(feedCalls().back().text, "\"C:\\Program Files\\Suite\\sorlin32.exe\" 0");
}

TEST_F(Feed, SenderSurvivesViewersThatFailRefuseCloseOrVanish) {
  const FeedWindow client = 0x77, viewer = 0x88;
  feedSetRunResult(2);
  EXPECT_EQ(FeedStart(client, "a.jpg"), -1);
  ASSERT_EQ(messagesShown().size(), 1u);
  EXPECT_EQ(messagesShown()[0].text, "Failed to activate JPEG viewer.");

  feedSetRunResult(33);  // started, but nobody answers
  EXPECT_EQ(FeedStart(client, "a.jpg"), -2);
  EXPECT_EQ(feedAtomsAlive(), 0);
  FeedBlock(client);
  FeedEnd(client);
  EXPECT_EQ(posts(FEED_EXECUTE, viewer) + posts(FEED_TERMINATE, viewer), 0);

  feedSetBroadcastAnswer([&](FeedWindow, const std::string&, const std::string&) { FeedAnswer(FEED_ACK, viewer); });
  ASSERT_EQ(FeedStart(client, "a.jpg"), 0);
  FeedBlock(client);
  FeedAnswer(FEED_TERMINATE, viewer);  // the user closed the viewer
  FeedBlock(client);
  EXPECT_EQ(posts(FEED_EXECUTE, viewer), 1);

  // A viewer that stops acknowledging is given up after the time-out.
  ASSERT_EQ(FeedStart(client, "a.jpg"), 0);
  FeedBlock(client);
  clockAdvance(FEED_ANSWER_TIMEOUT_MS - 5);
  FeedBlock(client);
  EXPECT_EQ(feedSender.state, FeedSendState::Feeding);
  clockAdvance(10);
  FeedBlock(client);
  EXPECT_EQ(feedSender.state, FeedSendState::Idle);
  // ...and one whose window is gone at once.
  ASSERT_EQ(FeedStart(client, "a.jpg"), 0);
  feedSetWindowAlive(viewer, false);
  int before = posts(FEED_EXECUTE, viewer);
  FeedBlock(client);
  EXPECT_EQ(posts(FEED_EXECUTE, viewer), before);
  EXPECT_EQ(feedSender.state, FeedSendState::Idle);
}

TEST(FeedWanted, JpgAnywhereInTheNameWithTheOptionOn) {
  EXPECT_TRUE(feedWanted("photo.jpg.txt", true));
  EXPECT_TRUE(feedWanted("C:\\DL\\PHOTO.JPG", true));
  EXPECT_FALSE(feedWanted("photo.jpeg", true));
  EXPECT_FALSE(feedWanted("photo.jpg", false));
}

TEST_F(Feed, WritesOfAnySizeAreAnnouncedInWholeBlocksThenTheShortOne) {
  const FeedWindow client = 0x77, viewer = 0x88;
  struct Case {
    std::vector<int64_t> sizes;  // the file's size after each write
    int64_t complete;
    int executes;
  } cases[] = {
      {{128, 1000, 1024, 1100}, 2500, 3},  // 1024, 1024, 452
      {{8192}, 8192, 9},                   // eight blocks and an empty last one
      {{}, 0, 1},
  };
  for (const Case& c : cases) {
    feedCallsClear();
    feedSetBroadcastAnswer([&](FeedWindow, const std::string&, const std::string&) { FeedAnswer(FEED_ACK, viewer); });
    ASSERT_EQ(FeedStart(client, "a.jpg"), 0);
    for (int64_t size : c.sizes) FeedWritten(client, size);
    FeedComplete(client, c.complete);
    EXPECT_EQ(posts(FEED_EXECUTE, viewer), c.executes) << c.complete;
    EXPECT_EQ(posts(FEED_TERMINATE, viewer), 1);
    EXPECT_EQ(feedSender.state, FeedSendState::Idle);
  }
}
