// The Kermit sender against a scripted receiver: its packets are read off the
// line and answered as a peer would, so that refusals, stops and cancels can
// be played on demand.
#include "tests/transfer/transfer_fixture.h"
#include "transfer/kermit_packet.h"
#include "transfer/protocol_dispatch.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"

namespace {

struct Packet {
  char type;
  int seq;
  std::string data;
};

// Reads every packet the sender has written so far and lets answer reply.
class ScriptedReceiver {
 public:
  std::vector<Packet> seen;
  std::function<void(const Packet&)> answer;

  int turn() {
    const std::vector<uint8_t>& out = faultLineWritten(0);
    while (read < out.size()) {
      size_t used = 0;
      int r = kermitReaderFeed(reader, out.data() + read, out.size() - read, &used);
      read += used;
      if (r == 1) {
        seen.push_back({reader.type, reader.seq, std::string(reader.data, reader.data + reader.dataLength)});
        answer(seen.back());
      }
    }
    return 0;
  }
  void reply(char type, int seq, const std::string& data = "") {
    uint8_t wire[KERMIT_WIRE_MAX];
    int n = kermitBuildPacket(wire, type, seq, reinterpret_cast<const uint8_t*>(data.data()), data.size(), 1);
    faultLineInject(1, wire, n);
  }

 private:
  KermitReader reader;
  size_t read = 0;
};

// A short-packet sender (check type 1 throughout) of one file.
int sendOne(ScriptedReceiver& peer, const std::string& path) {
  clockUseManual();
  faultLineReset({}, {});
  faultLineAttach(0);
  TransferState& s = transferState();
  TransferSettings set = settingsFor(PROTOCOL_KERMIT);
  set.kermitPacketSize = 90;
  transferBegin(s, set);
  batchAdd(s.batch, path.c_str());
  s.active = true;
  pumpSetHook([&peer] { return peer.turn(); });
  int r = protocolSend(PROTOCOL_KERMIT);
  pumpSetHook(nullptr);
  peer.turn();
  return r;
}

std::string sample() {
  std::string path = freshDir("kermit-send") + "/x.bin";
  writeFile(path, std::string(500, 'x'));
  return path;
}

}  // namespace

// The receiver stops the send: with an "E" packet, or with "X"/"Z" in the
// acknowledgement of a data packet. No "E" goes back for a stop it asked for.
TEST(KermitSend, ReceiverStopsTheSend) {
  for (std::string stop : {"E", "X", "Z"}) {
    ScriptedReceiver peer;
    peer.answer = [&](const Packet& p) {
      if (p.type == 'S') peer.reply('Y', p.seq, "~* @-#N1");
      else if (p.type == 'D' && stop == "E") peer.reply('E', p.seq, "no room");
      else if (p.type == 'D') peer.reply('Y', p.seq, stop);
      else peer.reply('Y', p.seq);
    };
    EXPECT_EQ(sendOne(peer, sample()), XFER_CANCEL_RECEIVED) << stop;
    EXPECT_EQ(peer.seen.back().type, 'D') << stop;
  }
}

// A receiver that never answers: the packet goes out again after every
// time-out, and after too many the receiver hears why the send stopped.
TEST(KermitSend, SilentReceiverTimesOut) {
  ScriptedReceiver peer;
  peer.answer = [](const Packet&) {};
  EXPECT_EQ(sendOne(peer, sample()), XFER_TIMEOUT);
  ASSERT_EQ(peer.seen.size(), 7u);  // the send-init, 5 repeats, the "E"
  EXPECT_EQ(peer.seen[5].type, 'S');
  EXPECT_EQ(peer.seen.back().type, 'E');
}

// Cancel in the middle of the file: the wait ends at once with "user
// cancelled" and the receiver gets an "E" packet.
TEST(KermitSend, UserCancelSendsErrorPacket) {
  ScriptedReceiver peer;
  peer.answer = [&](const Packet& p) {
    if (p.type == 'S') peer.reply('Y', p.seq, "~* @-#N1");
    else if (p.type == 'D' && p.seq == 4) transferState().cancelRequested = true;
    else peer.reply('Y', p.seq);
  };
  EXPECT_EQ(sendOne(peer, sample()), XFER_USER_CANCEL);
  EXPECT_EQ(peer.seen.back().type, 'E');
}
