// Kermit: packets through the reader and writer (real peers' packets, every
// split of a stream, the lengths and checks a broken line produces, the
// send-init agreement); the sender against a receiver that answers each packet
// as a peer would, so that refusals, stops and cancels play on demand; the
// receiver against a hostile or broken sender, its replies, files and fields.
#include <filesystem>
#include <map>

#include "tests/transfer/transfer_fixture.h"
#include "transfer/kermit_init.h"
#include "transfer/kermit_packet.h"
#include "transfer/protocol_table.h"

namespace fs = std::filesystem;

namespace {
Bytes build(char type, int seq, const Bytes& data, int check) {
  Bytes out(KERMIT_WIRE_MAX);
  int n = kermitBuildPacket(out.data(), type, seq, data.data(), data.size(), check);
  EXPECT_GT(n, 0);
  out.resize(size_t(n > 0 ? n : 0));
  return out;
}

struct Read {
  int result = 0;  // 0 nothing yet, 1 a packet, negative an error
  char type = 0;
  int seq = -1;
  std::string data;
};

// Feeds the stream from *at, cut at the given points, to the first packet or error.
Read feed(KermitReader& r, const Bytes& stream, const std::vector<size_t>& cuts, size_t* at = nullptr) {
  size_t from = at ? *at : 0;
  std::vector<size_t> ends = cuts;
  ends.push_back(stream.size());
  Read got;
  for (size_t end : ends) {
    while (from < end && got.result == 0) {
      size_t used = 0;
      got.result = kermitReaderFeed(r, stream.data() + from, end - from, &used);
      from += used;
    }
  }
  if (got.result == 1) got = {1, r.type, r.seq, std::string(r.data, r.data + r.dataLength)};
  if (at) *at = from;
  return got;
}

Bytes printable(size_t n, unsigned seed) {
  Bytes d(n);
  for (auto& c : d) c = uint8_t(33 + (seed = seed * 1103515245 + 12345) % 94);
  return d;
}

// Puts a packet on the line as the peer on end would send it.
void inject(int end, char type, int seq, const std::string& data, int check) {
  Bytes wire = build(type, seq, bytesOf(data), check);
  faultLineInject(end, wire.data(), static_cast<int>(wire.size()));
}
}  // namespace

// Short and long packets at the length boundaries, every check type, cut at
// every point of a stream that carries noise and two packets.
TEST(KermitPacket, EverySplitReadsTheSamePackets) {
  for (int check = 1; check <= 3; check++) {
    for (size_t n : {0u, 1u, 88u, 89u, 90u, 91u, 92u, 700u, 9021u - 2u}) {
      SCOPED_TRACE("check " + std::to_string(check) + " n " + std::to_string(n));
      Bytes data = printable(n, unsigned(n + check));
      Bytes stream = bytesOf("noise\r"), a = build('D', 63, data, check), b = build('Z', 0, {}, check);
      stream.insert(stream.end(), a.begin(), a.end());
      stream.push_back('\r');
      stream.insert(stream.end(), b.begin(), b.end());
      for (size_t cut = 0; cut <= stream.size(); cut += n > 700 ? 997 : 1) {
        KermitReader r;
        r.maxLength = KERMIT_MAX_LENGTH;
        r.checkType = check;
        size_t at = 0;
        Read first = feed(r, stream, {cut}, &at);
        ASSERT_EQ(first.result, 1) << "cut " << cut;
        EXPECT_EQ(first.seq, 63);
        EXPECT_EQ(first.data, std::string(data.begin(), data.end()));
        EXPECT_EQ(feed(r, stream, {}, &at).type, 'Z');
      }
    }
  }
}

// What a noisy or hostile line delivers ends in a bad packet or check error,
// never in a packet, and never in a read past the buffer.
TEST(KermitPacket, BrokenPacketsAreRefused) {
  Bytes good = build('D', 5, printable(40, 7), 2);
  Bytes flipped = good;
  flipped[10] ^= 0x04;
  Bytes longOne = build('D', 5, printable(500, 3), 1);
  Bytes badHeader = longOne;
  badHeader[6] ^= 0x01;
  Bytes zeroLength = {KERMIT_MARK, ' ', '%', 'D', ' ', ' ', 0};
  kermitBlockCheck(1, zeroLength.data() + 1, 5, &zeroLength[6]);
  struct Case {
    const char* name;
    Bytes stream;
    int maxLength;
    int result;
  } cases[] = {
      {"LEN 2", bytesOf("\x01\"%D"), KERMIT_MAX_LENGTH, -3},
      {"LEN 0 without long packets", longOne, KERMIT_SHORT_MAX, -3},
      {"LENX over the agreed maximum", longOne, 490, -3},
      {"LENX 0", zeroLength, KERMIT_MAX_LENGTH, -3},
      {"header check", badHeader, KERMIT_MAX_LENGTH, -2},
      {"flipped data bit", flipped, KERMIT_MAX_LENGTH, -2},
      {"SEQ out of range", bytesOf("\x01#\x7f" "D"), KERMIT_MAX_LENGTH, -3},
      {"endless noise", Bytes(3 * KERMIT_WIRE_MAX, 'x'), KERMIT_MAX_LENGTH, -3},
  };
  for (const Case& c : cases) {
    KermitReader r;
    r.maxLength = c.maxLength;
    r.checkType = 2;
    EXPECT_EQ(feed(r, c.stream, {}).result, c.result) << c.name;
  }
}

// The send-init agreement as each side sees it. When the two sides name
// different checks, both use type 1; eight-bit prefixing follows the entry.
TEST(KermitPacket, SendInitAgreement) {
  struct {
    bool weSend;
    bool eightBit;
    int packetSize;
    std::string theirs;
    int check, remoteMax;
    uint8_t qbin;
  } cases[] = {
      {false, false, 1024, "~' @-#Y3~*!J*0+++J\"U1@", 3, 1024, 0},  // gkermit's own
      {false, true, 9024, "~' @-#Y2~*!J*", 2, 4000, '&'},
      {false, true, 90, "~' @-#N1~*!J*", 1, 94, 0},
      {true, true, 1024, "~  @-#Y3~*!J*", 3, 1024, '&'},
      {true, false, 1024, "~_ @-#Y2~*!#*", 1, 295, 0},
  };
  for (auto& c : cases) {
    KermitOptions ours = kermitOptionsFrom(c.eightBit, c.packetSize);
    Bytes theirs = bytesOf(c.theirs);
    KermitAgreed a;
    uint8_t reply[32];
    size_t n = 0;
    if (c.weSend) kermitTakeInitAck(ours, theirs.data(), theirs.size(), &a);
    else n = kermitAnswerInit(ours, theirs.data(), theirs.size(), &a, reply);
    EXPECT_EQ(a.checkType, c.check) << c.theirs;
    EXPECT_EQ(a.remoteMax, c.remoteMax) << c.theirs;
    EXPECT_EQ(a.send.qbin, c.qbin) << c.theirs;
    if (n) {
      EXPECT_EQ(kermitParseInit(reply, n).chkt, '0' + c.check) << c.theirs;
    }
  }
}

namespace {
// Our short-packet sender (check type 1 throughout) of 500 bytes against a
// receiver that answers each packet it reads; returns the send's result.
int sendOne(const std::function<void(const Read&)>& answer, std::vector<Read>* seen) {
  std::string path = freshDir("kermit-send") + "/x.bin";
  writeFile(path, std::string(500, 'x'));
  TransferSettings set = settingsFor(PROTOCOL_KERMIT);
  set.kermitPacketSize = 90;
  TransferState s = senderFor(set, {path});
  faultLineAttach(0);
  s.active = true;
  transferSelect(&s);
  KermitReader reader;
  size_t read = 0;
  auto turn = [&] {
    for (Read p; (p = feed(reader, faultLineWritten(0), {}, &read)).result == 1;) {
      seen->push_back(p);
      answer(p);
    }
    return 0;
  };
  pumpSetHook(turn);
  int r = protocolSend(PROTOCOL_KERMIT);
  pumpSetHook(nullptr);
  turn();
  transferSelect(nullptr);
  return r;
}
}  // namespace

// The receiver stops the send: with an "E" packet, or with "X"/"Z" in the
// acknowledgement of a data packet. No "E" goes back for a stop it asked for.
TEST(KermitSend, ReceiverStopsTheSend) {
  for (std::string stop : {"E", "X", "Z"}) {
    std::vector<Read> seen;
    EXPECT_EQ(sendOne([&](const Read& p) {
      if (p.type == 'S') inject(1, 'Y', p.seq, "~* @-#N1", 1);
      else if (p.type == 'D' && stop == "E") inject(1, 'E', p.seq, "no room", 1);
      else inject(1, 'Y', p.seq, p.type == 'D' ? stop : "", 1);
    }, &seen), XFER_CANCEL_RECEIVED) << stop;
    EXPECT_EQ(seen.back().type, 'D') << stop;
  }
}

// A receiver that never answers: the packet goes out again after every
// time-out, and after too many the receiver hears why the send stopped.
// Cancel in the middle of the file: the wait ends at once with "user
// cancelled" and the receiver gets an "E" packet.
TEST(KermitSend, SilentReceiverTimesOutAndCancelSendsAnErrorPacket) {
  std::vector<Read> seen;
  EXPECT_EQ(sendOne([](const Read&) {}, &seen), XFER_TIMEOUT);
  ASSERT_EQ(seen.size(), 7u);  // the send-init, 5 repeats, the "E"
  EXPECT_EQ(seen[5].type, 'S');
  EXPECT_EQ(seen.back().type, 'E');
  seen.clear();
  EXPECT_EQ(sendOne([&](const Read& p) {
    if (p.type == 'S') inject(1, 'Y', p.seq, "~* @-#N1", 1);
    else if (p.type == 'D' && p.seq == 4) transferState().cancelRequested = true;
    else inject(1, 'Y', p.seq, "", 1);
  }, &seen), XFER_USER_CANCEL);
  EXPECT_EQ(seen.back().type, 'E');
}

namespace {
std::map<int, std::string> shown;

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

  void send(char type, int seq, const std::string& data) { inject(0, type, seq, data, type == 'S' ? 1 : checkType); }
  void sendRaw(const std::string& bytes) {
    faultLineInject(0, reinterpret_cast<const uint8_t*>(bytes.data()), int(bytes.size()));
  }
  // Runs the loop until the line is drained; returns the last result.
  int run() {
    int r = 0;
    for (int i = 0; i < 50 && r == 0; i++) r = receivePass();
    return r;
  }
  // Our next reply: type 0 when there is none, '?' when it does not read.
  Read nextReply() {
    replies.checkType = checkType;
    Read r = feed(replies, faultLineWritten(1), {}, &repliesRead);
    if (r.result < 0) r.type = '?';
    return r;
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
// nothing to create (control characters among them) end the receive with
// "file open error" told to the sender. The YMODEM receive rules try every
// kind of name.
TEST_F(KermitReceive, FileNamesStayInTheDownloadFolder) {
  struct {
    std::string sent;
    std::string created;  // "" = refused
  } cases[] = {
      {"../../ESCAPE.BIN", "ESCAPE.BIN"}, {"..", ""}, {"#@#@", ""}, {std::string(300, 'n'), ""}, {"", ""},
  };
  for (auto& c : cases) {
    SetUp();
    open(c.sent);
    Read r = nextReply();
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
  Read first = nextReply(), second = nextReply(), third = nextReply();
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
    Read r = nextReply();
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
