// ZMODEM of ours on both ends of the fault line, and against scripted peers:
// headers in every format survive escaping, hostile names and oversized
// subpackets from the remote side are refused, a lost line keeps the partial
// file.
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "tests/transfer/transfer_fixture.h"
#include "terminal/link.h"
#include "transfer/block_check.h"
#include "transfer/protocol_dispatch.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"
#include "transfer/zmodem.h"

namespace {
// What our writers put on the line, made on a scratch state on end 0.
Bytes encode(bool crc32, bool escapeAll, const std::function<void()>& write) {
  clockUseManual();
  faultLineReset({}, {});
  faultLineAttach(0);
  TransferState scratch{};
  transferBegin(scratch, settingsFor(PROTOCOL_ZMODEM));
  transferSelect(&scratch);
  ZmodemState& z = zmodemState();
  zmodemReset(z);
  z.useCrc32 = crc32;
  z.escapeAll = escapeAll;
  write();
  transferSelect(nullptr);
  Bytes out = faultLineWritten(0);
  faultLineReset({}, {});
  return out;
}

Bytes fileHeader(const std::string& info, bool crc32 = true) {
  return encode(crc32, false, [&] {
    uint8_t none[4] = {0, 0, 0, 0};
    sendBinaryHeader(ZFILE, none);
    sendSubpacket(reinterpret_cast<const uint8_t*>(info.data()), static_cast<int>(info.size()), ZCRCW);
  });
}
Bytes hex(int type, uint32_t position) {
  return encode(false, false, [&] { sendPositionHeader(type, position, true); });
}
Bytes binaryData(uint32_t position, const std::string& data, uint8_t end) {
  return encode(true, false, [&] {
    sendPositionHeader(ZDATA, position, false);
    sendSubpacket(reinterpret_cast<const uint8_t*>(data.data()), static_cast<int>(data.size()), end);
  });
}

// The header types in bytes a side of ours wrote.
std::vector<int> headersIn(const Bytes& wire) {
  TransferState scratch{};
  transferSelect(&scratch);
  ZmodemState& z = zmodemState();
  zmodemReset(z);
  std::vector<int> types;
  for (uint8_t b : wire) {
    int v = zReadPush(z, b);
    if (v >= 0 && v < ZFRAME_TYPES) types.push_back(v);
  }
  transferSelect(nullptr);
  return types;
}
bool has(const std::vector<int>& v, int type) { return std::find(v.begin(), v.end(), type) != v.end(); }

Receiver receiver(int maxErrors = 5) { return receiverFor(settingsFor(PROTOCOL_ZMODEM, maxErrors), "/down"); }

}  // namespace

// Every header type in hex, CRC-16 binary and CRC-32 binary, with and without
// escaping of all controls, reads back as sent; the CRC-16 binary type byte
// must be escaped or a reader that drops bare controls loses it.
TEST(ZmodemFrames, HeadersRoundTripInEveryFormatAndEscaping) {
  for (int format = 0; format < 3; ++format) {
    for (bool escape : {false, true}) {
      for (int type = 0; type < ZFRAME_TYPES; ++type) {
        uint32_t position = 0x0D18FF11u + static_cast<uint32_t>(type);
        Bytes wire = encode(format == 2, escape, [&] { sendPositionHeader(type, position, format == 0); });
        TransferState scratch{};
        transferSelect(&scratch);
        ZmodemState& z = zmodemState();
        zmodemReset(z);
        z.escapeAll = escape;
        int got = ZR_MORE;
        for (uint8_t b : wire)
          if (got == ZR_MORE) got = zReadPush(z, b);
        EXPECT_EQ(got, type) << "format " << format << " escape " << escape;
        EXPECT_EQ(z.rxPosition, position) << "format " << format << " type " << type;
        transferSelect(nullptr);
      }
    }
  }
}

// Subpacket data with every byte value, "@" CR at each place of an eight-byte
// step: on the wire no flow byte, DLE or bare ZDLE, no CR after "@", and with
// escaping of all controls no control at all; the reader (plain runs and byte
// by byte) takes it back whole, also with XON and XOFF strewn in.
// The CRC-32 of any length from any alignment, split anywhere, is the one a
// bit at a time gives: the folding path takes the long runs, the table the rest.
TEST(ZmodemFrames, Crc32MatchesTheBitwiseDefinition) {
  auto bitwise = [](const uint8_t* p, int n) {
    uint32_t c = 0xFFFFFFFFu;
    for (int i = 0; i < n; ++i) {
      c ^= p[i];
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return c;
  };
  uint8_t data[1200];
  uint32_t seed = 12345;
  for (uint8_t& b : data) b = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 16);
  for (int offset = 0; offset < 16; ++offset) {
    for (int length : {0, 1, 15, 63, 64, 65, 79, 80, 127, 128, 129, 200, 1024, 1025, 1100}) {
      uint32_t expect = bitwise(data + offset, length);
      EXPECT_EQ(zcrc32Update(0xFFFFFFFFu, data + offset, length), expect) << offset << "+" << length;
      int cut = length / 3;
      EXPECT_EQ(zcrc32Update(zcrc32Update(0xFFFFFFFFu, data + offset, cut), data + offset + cut, length - cut), expect)
          << offset << "+" << length << " cut at " << cut;
    }
  }
}

TEST(ZmodemFrames, SubpacketDataShowsNoByteThatMustBeEscaped) {
  Bytes data;
  for (int i = 0; i < 512; ++i) data.push_back(static_cast<uint8_t>(i * 167 + (i >> 8)));
  for (int at = 0; at < 10; ++at) data.insert(data.begin() + 300 + 11 * at, {'@', static_cast<uint8_t>(at & 1 ? 0x8D : 0x0D)});
  // One more where the sixteen-byte steps end and the byte loop takes over.
  data[data.size() / 16 * 16 - 1] = '@';
  data[data.size() / 16 * 16] = 0x0D;
  for (bool escape : {false, true}) {
    Bytes wire = encode(true, escape, [&] { sendSubpacket(data.data(), static_cast<int>(data.size()), ZCRCE); });
    uint8_t before = 0;
    for (size_t i = 0; i < wire.size(); ++i) {
      uint8_t b = wire[i];
      if (b == ZDLE && i + 1 < wire.size()) {
        before = wire[++i];
        continue;
      }
      uint8_t low = b & 0x7F;
      EXPECT_FALSE(low == 0x10 || low == 0x11 || low == 0x13 || b == ZDLE) << "byte " << i << " escape " << escape;
      EXPECT_FALSE(low == '\r' && (before & 0x7F) == '@') << "CR after @ at " << i;
      if (escape) {
        EXPECT_TRUE(b & 0x60) << "control at " << i;
      }
      before = b;
    }
    // XON and XOFF a line put in on its way are dropped.
    Bytes flow;
    for (size_t i = 0; i < wire.size(); ++i) {
      if (i % 37 == 5) flow.push_back(i % 2 ? 0x11 : 0x93);
      flow.push_back(wire[i]);
    }
    for (const Bytes& line : {wire, flow}) {
      TransferState scratch{};
      transferSelect(&scratch);
      ZmodemState& z = zmodemState();
      zmodemReset(z);
      z.escapeAll = escape;
      z.reader.lastFormat = ZBIN32;
      zReadData(z.reader, ZDATA_MAX);
      int got = ZR_MORE;
      for (size_t i = 0; i < line.size() && got == ZR_MORE; ++i) {
        i += static_cast<size_t>(zReadPlainRun(z.reader, line.data() + i, static_cast<int>(line.size() - i), escape));
        if (i < line.size()) got = zReadPush(z, line[i]);
      }
      EXPECT_EQ(got, ZR_END + ZCRCE) << "escape " << escape;
      EXPECT_TRUE(Bytes(z.reader.data, z.reader.data + z.reader.dataLength) == data) << "escape " << escape;
      transferSelect(nullptr);
    }
  }
}

// The line goes away mid-file: "Lost Connection" on both sides, and the bytes
// received so far stay in the file for a later recovery.
TEST(ZmodemPair, ALostLineKeepsThePartialFile) {
  Receiver r = receiver();
  std::string data = writeData(r.dir + "/big", 60000, 11);
  TransferState tx = senderFor(settingsFor(PROTOCOL_ZMODEM), {r.dir + "/big"});
  FaultPlan cut;
  cut.cutAfterBytes = 20000;
  faultLineReset(cut, {});
  PairOutcome o = runTransferPair(tx, r.rx);
  std::string got = readFile(r.dir + "/down/big");
  EXPECT_EQ(o.sent, LINK_LOST);
  EXPECT_EQ(o.received, LINK_LOST);
  EXPECT_EQ(r.rx.endCode, LINK_LOST);
  EXPECT_GT(got.size(), 10000u);
  EXPECT_TRUE(data.compare(0, got.size(), got) == 0);
}

// A streaming sender's writes follow the line: on a line that takes them at
// once they grow to 128 KiB (each write costs both ends a wake-up), at 9600
// bit/s they stay at a subpacket, so that Cancel and the receiver's ZRPOS are
// answered within a write.
TEST(ZmodemPair, WritesFollowTheLineSpeed) {
  for (uint32_t rate : {0u, 960u}) {
    Receiver r = receiver();
    std::string data = writeData(r.dir + "/f", rate ? 40000 : 600000, 5);
    TransferState tx = senderFor(settingsFor(PROTOCOL_ZMODEM), {r.dir + "/f"});
    FaultPlan line;
    line.bytesPerSecond = rate;
    faultLineReset(line, {});
    PairOutcome o = runTransferPair(tx, r.rx);
    EXPECT_EQ(o.sent, 0) << rate;
    EXPECT_TRUE(readFile(r.dir + "/down/f") == data) << rate;
    if (rate) EXPECT_LE(faultLineLongestWrite(0), 4096);
    else EXPECT_EQ(faultLineLongestWrite(0), ZSEND_QUEUE_MAX);
  }
}

// Names from the remote side never leave the download directory: only the
// last component is kept, and names that leave nothing to create are skipped
// with ZSKIP (the YMODEM receive rules try every kind of name).
TEST(ZmodemReceiver, FileNamesStayInTheDownloadDirectory) {
  struct Case {
    std::string name;
    const char* lands;  // nullptr: skipped
  };
  const Case kCases[] = {
      {"../escape", "escape"}, {"..", nullptr}, {std::string(300, 'n'), nullptr},
  };
  for (const Case& c : kCases) {
    Receiver r = receiver();
    Bytes script = fileHeader(c.name + std::string("\0" "5 0 0", 6)) + binaryData(0, "hello", ZCRCE) + hex(ZEOF, 5) +
                   hex(ZFIN, 0);
    int result = runReceiver(r.rx, {{0, script}});
    std::vector<int> replies = headersIn(faultLineWritten(1));
    EXPECT_EQ(result, STEP_COMPLETE) << c.name;
    struct stat st;
    EXPECT_NE(stat((r.dir + "/escape").c_str(), &st), 0);
    if (c.lands) {
      EXPECT_EQ(readFile(r.dir + "/down/" + c.lands), "hello") << c.name;
    } else {
      EXPECT_TRUE(has(replies, ZSKIP)) << c.name;
    }
  }
}

// A sender that takes a second ZRINIT for a new start sends its file header
// again while the file is open: the receiver says where it is and keeps what
// it has, as if the header had not come twice.
TEST(ZmodemReceiver, AHeaderRepeatedWhileItsFileIsOpenKeepsTheFile) {
  Receiver r = receiver();
  Bytes header = fileHeader(std::string("twice\0" "10 0 0", 12));
  Bytes script = header + binaryData(0, "hello", ZCRCE) + header + binaryData(5, "world", ZCRCE) +
                 hex(ZEOF, 10) + hex(ZFIN, 0);
  EXPECT_EQ(runReceiver(r.rx, {{0, script}}), STEP_COMPLETE);
  EXPECT_EQ(readFile(r.dir + "/down/twice"), "helloworld");
}

// The auto-start hands the sender's ZRQINIT over with the line: it is
// answered once, or the sender takes the second ZRINIT for a new start and
// offers its file again.
TEST(ZmodemReceiver, AHandedOverRequestIsAnsweredOnce) {
  Receiver r = receiver();
  transferSelect(&r.rx);
  ZmodemState& z = zmodemState();
  Bytes request = hex(ZRQINIT, 0);
  std::memcpy(z.in, request.data(), request.size());
  z.inCount = static_cast<int>(request.size());
  z.keepInput = true;
  transferSelect(nullptr);
  Bytes script = fileHeader(std::string("once\0" "5 0 0", 11)) + binaryData(0, "hello", ZCRCE) + hex(ZEOF, 5) +
                 hex(ZFIN, 0);
  EXPECT_EQ(runReceiver(r.rx, {{0, script}}), STEP_COMPLETE);
  std::vector<int> replies = headersIn(faultLineWritten(1));
  EXPECT_EQ(std::count(replies.begin(), replies.end(), ZRINIT), 2);  // the request's and the end of file's
  EXPECT_EQ(readFile(r.dir + "/down/once"), "hello");
}

// Blocks longer than their buffers, a file header without its NUL and a
// command are refused or answered without harm.
TEST(ZmodemReceiver, OversizedAndMalformedBlocksAreRefused) {
  std::string longAttention(40, 'A');
  // Our writers cap a subpacket at the reader's limit: lengthen one by hand.
  Bytes huge = binaryData(0, std::string(ZDATA_MAX - 100, 'x'), ZCRCE);
  huge.insert(std::find(huge.begin(), huge.end(), 'x'), 200, 'x');
  struct Case {
    const char* what;
    Bytes script;
    int reply;  // the header the receiver must answer with
  };
  const Case kCases[] = {
      {"attention over 32 bytes",
       encode(true, false, [&] {
         uint8_t args[4] = {0, 0, 0, 0};
         sendBinaryHeader(ZSINIT, args);
         sendSubpacket(reinterpret_cast<const uint8_t*>(longAttention.data()), 40, ZCRCW);
       }), ZNAK},
      {"file header without NUL", fileHeader("noterminator"), ZNAK},
      {"subpacket over the buffer", fileHeader(std::string("f\0" "99999", 8)) + huge, ZRPOS},
      {"command", encode(false, false, [&] {
         uint8_t args[4] = {0, 0, 0, 0};
         sendBinaryHeader(ZCOMMAND, args);
         sendSubpacket(reinterpret_cast<const uint8_t*>("rm -rf /"), 9, ZCRCW);
       }), ZCOMPL},
  };
  for (const Case& c : kCases) {
    Receiver r = receiver();
    int result = runReceiver(r.rx, {{0, c.script}, {1000, hex(ZFIN, 0)}});
    std::vector<int> replies = headersIn(faultLineWritten(1));
    EXPECT_EQ(result, STEP_COMPLETE) << c.what;
    EXPECT_TRUE(has(replies, c.reply)) << c.what;
  }
}

// Five CAN in the middle of data end the receive with "cancel received"; a
// sender that keeps sending ZRINIT is "Sender is not there".
TEST(ZmodemReceiver, CancelAndAMissingSenderEndTheReceive) {
  Receiver r = receiver();
  Bytes cans = {0x18, 0x18, 0x18, 0x18, 0x18};
  Bytes script = fileHeader(std::string("c\0" "10000", 8)) + binaryData(0, "abc", ZCRCG);
  script.resize(script.size() - 6);  // cut inside the subpacket
  EXPECT_EQ(runReceiver(r.rx, {{0, script + cans}}), XFER_TIMEOUT);
  EXPECT_EQ(r.rx.endCode, XFER_CANCEL_RECEIVED);

  Receiver q = receiver(3);
  std::vector<ScriptStep> rinits;
  for (uint32_t t = 0; t < 5; ++t) rinits.push_back({t * 100, hex(ZRINIT, 0)});
  runReceiver(q.rx, rinits);
  EXPECT_EQ(q.rx.endCode, XFER_NO_SENDER);
}

// A receiver announcing a buffer gets subpackets that fit ours (1 KiB) and
// a ZCRCW, then a wait for its ZACK, whenever its buffer would overflow: every
// subpacket for 1 KiB, every second for 2 KiB, never for 64 KiB.
class ZmodemSenderWindow : public ::testing::TestWithParam<int> {};

TEST_P(ZmodemSenderWindow, SubpacketsFitOurBufferAndTheReceivers) {
  const int buffer = GetParam();
  std::string dir = freshDir("zsend");
  std::string data = writeData(dir + "/f", 5000, 9);
  TransferState tx = senderFor(settingsFor(PROTOCOL_ZMODEM), {dir + "/f"});
  // A scripted receiver: reads what the sender wrote and answers each frame.
  TransferState peer{};
  std::vector<int> lengths;
  std::string ends;
  uint32_t position = 0;
  int r = runSender(tx, [&](const Bytes& chunk) {
    transferSelect(&peer);
    ZmodemState& z = zmodemState();
    Bytes reply;
    auto answer = [&](int type, uint32_t pos) {
      uint8_t args[4];
      positionArgs(pos, args);
      if (type == ZRINIT) args[0] = buffer & 0xFF, args[1] = buffer >> 8, args[3] = CANFDX | CANOVIO;
      // Built by hand: the peer must not lean on the writers under test.
      uint8_t h[7] = {static_cast<uint8_t>(type), args[0], args[1], args[2], args[3]};
      uint16_t crc = crc16(h, 5);
      h[5] = static_cast<uint8_t>(crc >> 8);
      h[6] = static_cast<uint8_t>(crc);
      char text[32];
      int n = std::snprintf(text, sizeof text, "**\x18" "B%02x%02x%02x%02x%02x%02x%02x\r\n", h[0], h[1], h[2], h[3],
                            h[4], h[5], h[6]);
      reply.insert(reply.end(), text, text + n);
    };
    for (uint8_t b : chunk) {
      int v = zReadPush(z, b);
      if (v == ZRQINIT) answer(ZRINIT, 0);
      else if (v == ZFILE) zReadData(z.reader, ZDATA_MAX);
      else if (v == ZDATA) position = z.rxPosition, zReadData(z.reader, ZDATA_MAX);
      else if (v == ZEOF) answer(ZRINIT, 0);
      else if (v == ZFIN) answer(ZFIN, 0);
      else if (v >= ZR_END) {
        lengths.push_back(z.reader.dataLength);
        ends.push_back(static_cast<char>(z.reader.dataEnd));
        if (lengths.size() > 1) position += static_cast<uint32_t>(z.reader.dataLength);
        if (z.reader.dataEnd == ZCRCW && lengths.size() == 1) answer(ZRPOS, 0);
        else if (z.reader.dataEnd == ZCRCW) answer(ZACK, position);
        else if (z.reader.dataEnd == ZCRCG) zReadData(z.reader, ZDATA_MAX);
        else zReadHeaders(z.reader, 10000);
      }
    }
    transferSelect(&tx);
    return reply;
  });
  EXPECT_EQ(r, 0);
  ASSERT_EQ(lengths.size(), 6u);  // the file header, then 5000 bytes in 1 KiB pieces
  for (size_t i = 1; i < lengths.size(); ++i) EXPECT_LE(lengths[i], 1024) << i;
  const char* expected = buffer == 1024 ? "kkkkkh" : buffer == 2048 ? "kikikh" : "kiiiih";
  EXPECT_EQ(ends, expected);
}

INSTANTIATE_TEST_SUITE_P(Buffers, ZmodemSenderWindow, ::testing::Values(1024, 2048, 65535));

// A silent sender: our ZRINIT again every 10 s (ZMODEM's wait for a byte, not
// the 27 s of the block protocols), and past the error limit one cancel, five
// CAN and ZABORT, with nothing after it.
TEST(ZmodemReceiverEnd, SilenceGetsZrinitEveryTenSecondsThenOneCancel) {
  Receiver r = receiver(2);
  std::vector<uint32_t> writes;
  size_t seen = 0;
  int result = runReceiver(r.rx, {}, [&] {
    const Bytes& w = faultLineWritten(1);
    if (w.size() != seen) writes.push_back(clockTicks());
    seen = w.size();
  });
  EXPECT_EQ(result, XFER_MAX_ERRORS);
  ASSERT_GE(writes.size(), 3u);
  EXPECT_NEAR(writes[1], 10000, 50);
  EXPECT_NEAR(writes[2], 20000, 50);
  const Bytes& wire = faultLineWritten(1);
  std::vector<int> types = headersIn(wire);
  ASSERT_FALSE(types.empty());
  EXPECT_EQ(types.back(), ZABORT);
  int run = 0, longest = 0, runs = 0;
  for (uint8_t b : wire) {
    run = b == 0x18 ? run + 1 : 0;
    if (run == 3) ++runs;
    longest = std::max(longest, run);
  }
  EXPECT_EQ(longest, 5);
  EXPECT_EQ(runs, 1) << "the cancel went out more than once";
  EXPECT_EQ(wire.back(), 0x11) << "bytes after the ZABORT header";
}

// A sender's attention of 31 pauses, sent after every data error: the pauses
// of one attention come to a second at most, with messages served meanwhile.
TEST(ZmodemReceiver, AttentionPausesAreBounded) {
  std::string attention(31, '\xde');
  attention += '\0';
  Bytes huge = binaryData(0, std::string(ZDATA_MAX - 100, 'x'), ZCRCE);
  huge.insert(std::find(huge.begin(), huge.end(), 'x'), 200, 'x');
  Bytes script = encode(true, false, [&] {
                   uint8_t args[4] = {0, 0, 0, 0};
                   sendBinaryHeader(ZSINIT, args);
                   sendSubpacket(reinterpret_cast<const uint8_t*>(attention.data()), 32, ZCRCW);
                 }) +
                 fileHeader(std::string("f\0" "99999", 8)) + huge;
  Receiver r = receiver();
  uint32_t last = clockTicks(), longest = 0;
  int result = runReceiver(r.rx, {{0, script}, {3000, hex(ZFIN, 0)}}, [&] {
    longest = std::max(longest, clockTicks() - last);
    last = clockTicks();
  });
  EXPECT_EQ(result, STEP_COMPLETE);
  EXPECT_TRUE(has(headersIn(faultLineWritten(1)), ZRPOS));
  EXPECT_LT(longest, 100u) << "the window's messages wait no longer than this";
  // The end waits about 12 s for the sender's last word; the pauses add one.
  EXPECT_LT(clockTicks(), 15000u) << "31 pauses of a second each were taken";
}
