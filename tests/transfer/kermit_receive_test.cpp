// The Kermit receiver against a hostile or broken sender: packets are put on
// the line as a peer would send them, the receive loop runs, and its replies,
// the files it wrote and the fields it showed are checked.
#include <filesystem>
#include <map>

#include "tests/transfer/transfer_fixture.h"
#include "transfer/kermit_packet.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;
std::map<int, std::string> shown;

struct Reply {
  char type;
  int seq;
  std::string data;
};

class KermitReceive : public ::testing::Test {
 protected:
  std::string root, dir;
  size_t repliesRead = 0;
  KermitReader replies;
  int checkType = 1;

  void SetUp() override {
    clockUseManual();
    faultLineReset({}, {});
    repliesRead = 0;
    kermitReaderReset(replies);
    checkType = 1;
    faultLineAttach(1);
    transferViewReset();
    shown.clear();
    transferView.setText = [](int field, const char* text) { shown[field] = text; };
    root = freshDir("kermit-receive");
    dir = root + "/down";
    fs::create_directories(dir);
    TransferSettings set = settingsFor(PROTOCOL_KERMIT);
    std::snprintf(set.downloadDir, sizeof set.downloadDir, "%s", dir.c_str());
    transferBegin(transferState(), set);
    ASSERT_EQ(receiveBegin(), 0);
    ASSERT_EQ(nextReply().type, 'N');
  }
  void TearDown() override { transferViewReset(); }

  void send(char type, int seq, const std::string& data, int check = 0) {
    uint8_t wire[KERMIT_WIRE_MAX];
    int n = kermitBuildPacket(wire, type, seq, reinterpret_cast<const uint8_t*>(data.data()), data.size(),
                              check ? check : (type == 'S' ? 1 : checkType));
    faultLineInject(0, wire, n);
  }
  void sendRaw(const std::string& bytes) {
    faultLineInject(0, reinterpret_cast<const uint8_t*>(bytes.data()), int(bytes.size()));
  }
  // Runs the loop until the line is drained; returns the last result.
  int run() {
    int r = 0;
    for (int i = 0; i < 50 && r == 0; i++) r = receivePass();
    return r;
  }
  Reply nextReply() {
    const Bytes& out = faultLineWritten(1);
    replies.checkType = checkType;
    while (repliesRead < out.size()) {
      size_t used = 0;
      int r = kermitReaderFeed(replies, out.data() + repliesRead, out.size() - repliesRead, &used);
      repliesRead += used;
      if (r == 1) return {replies.type, replies.seq, std::string(replies.data, replies.data + replies.dataLength)};
      if (r < 0) return {'?', -1, ""};
    }
    return {0, -1, ""};
  }
  // Send-init with check type 2 and long packets, then the file header.
  void open(const std::string& name) {
    send('S', 0, "~* @-#Y2~*!J*");
    run();
    ASSERT_EQ(nextReply().type, 'Y');
    checkType = 2;
    send('F', 1, name);
    run();
  }
  std::string file(const std::string& name) { return readFile(dir + "/" + name); }
};

}  // namespace

// Names from the line never leave the download folder; names that leave
// nothing to create end the receive with "file open error" told to the sender.
TEST_F(KermitReceive, FileNamesStayInTheDownloadFolder) {
  struct {
    std::string sent;
    std::string created;  // "" = refused
  } cases[] = {
      {"../../ESCAPE.BIN", "ESCAPE.BIN"}, {"/etc/PASSWD", "PASSWD"}, {"C:\\DOS\\A.TXT", "A.TXT"},
      {"DISK:B.TXT", "B.TXT"},           {"..", ""},                {"dir/.", ""},
      {"#@#@", ""},                       {std::string(300, 'n'), ""},
      {"", ""},
  };
  for (auto& c : cases) {
    SetUp();
    open(c.sent);
    Reply r = nextReply();
    if (c.created.empty()) {
      EXPECT_EQ(r.type, 'E') << c.sent;
      EXPECT_EQ(shown[FIELD_ERROR], "file open error") << c.sent;
    } else {
      EXPECT_EQ(r.type, 'Y') << c.sent;
      EXPECT_TRUE(fs::exists(dir + "/" + c.created)) << c.sent;
    }
    for (auto& entry : fs::recursive_directory_iterator(root))
      if (entry.path() != dir) {
        EXPECT_EQ(entry.path().parent_path().string(), dir) << entry.path();
      }
  }
}

// A repeated packet (our acknowledgement was lost, or reached the sender
// damaged) is acknowledged again and not written twice; a send-init close
// behind the first crossed our opening NAK and gets no second answer
// (answering it makes some senders double every later packet); a NAK packet
// from the other side is no end of transfer.
TEST_F(KermitReceive, RepeatsAreAcknowledgedOnce) {
  send('S', 0, "~* @-#Y2~*!J*");
  send('S', 0, "~* @-#Y2~*!J*");
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(nextReply().type, 'Y');
  EXPECT_EQ(nextReply().type, 0) << "the crossing send-init is not answered";
  checkType = 2;
  send('F', 1, "R.BIN");
  run();
  EXPECT_EQ(nextReply().type, 'Y');
  send('D', 2, "abc#M");
  EXPECT_EQ(run(), 0);
  send('D', 2, "abc#M");
  send('N', 3, "");
  EXPECT_EQ(run(), 0);
  Reply first = nextReply(), second = nextReply(), third = nextReply();
  EXPECT_EQ(first.type, 'Y');
  EXPECT_EQ(second.type, 'Y');
  EXPECT_EQ(second.seq, 2);
  EXPECT_EQ(third.type, 'N');
  EXPECT_EQ(third.seq, 3);
  send('D', 3, "d");
  run();
  send('Z', 4, "");
  run();
  send('B', 5, "");
  EXPECT_EQ(run(), STEP_COMPLETE);
  EXPECT_EQ(file("R.BIN"), "abc\rd");
}

// Impossible lengths are bad packets: a NAK for the expected one, nothing
// read beyond the packet, and the transfer goes on.
TEST_F(KermitReceive, ImpossibleLengthsAreNaked) {
  open("L.BIN");
  nextReply();
  const std::string broken[] = {
      "\x01\"\"D",                                 // LEN below 3
      "\x01 \"D~~+",                               // long packet, wrong header check
      "\x01 \"D~~$",                               // 9024 bytes announced, 1024 agreed
  };
  for (const std::string& b : broken) {
    sendRaw(b);
    EXPECT_EQ(run(), 0);
    Reply r = nextReply();
    EXPECT_EQ(r.type, 'N');
    EXPECT_EQ(r.seq, 2);
  }
  send('D', 2, "ok");
  run();
  send('Z', 3, "");
  run();
  EXPECT_EQ(file("L.BIN"), "ok");
}

// The announced size: K = 0 is a file under 1 KiB, not 4 GiB.
TEST_F(KermitReceive, AttributeSizeShown) {
  open("A.BIN");
  send('A', 2, "!!0");
  run();
  EXPECT_EQ(shown[FIELD_FILESIZE], "0 appx.");
  send('A', 3, "!\"10");
  run();
  EXPECT_EQ(shown[FIELD_FILESIZE], "9216 appx.");
}

// The sender gives up: the partial file stays and the receive fails.
TEST_F(KermitReceive, ErrorPacketEndsWithThePartialFile) {
  open("P.BIN");
  send('D', 2, "partial");
  send('E', 3, "disk full");
  EXPECT_EQ(run(), XFER_TIMEOUT);
  EXPECT_EQ(shown[FIELD_ERROR], "cancel received");
  EXPECT_EQ(file("P.BIN"), "partial");
}
