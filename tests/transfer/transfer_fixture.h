// Shared pieces of the transfer tests: files in a fresh folder, states set up
// for one protocol, and a receiver driven by injected bytes on the manual clock.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "shell/pump.h"
#include "shell/pump_posix.h"
#include "tests/support/fault_line.h"
#include "tests/support/file_text.h"
#include "transfer/block_check.h"
#include "transfer/protocol_dispatch.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_codes.h"
#include "transfer/receive_loop.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_state.h"
#include "transfer/transfer_view.h"

using Bytes = std::vector<uint8_t>;

inline Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }
inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// One folder per process: ctest runs the cases of this program side by side.
inline std::string freshDir(const std::string& name) {
  std::string dir = ::testing::TempDir() + "xfer-" + std::to_string(getpid()) + "-" + name;
  std::string cmd = "rm -rf '" + dir + "' && mkdir -p '" + dir + "'";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
  return dir;
}

inline std::string writeData(const std::string& path, size_t size, uint32_t seed) {
  std::string data = pseudoRandom(size, seed);
  writeFile(path, data);
  return data;
}

inline TransferSettings settingsFor(int protocol, int maxErrors = 5) {
  TransferSettings s = transferSettingsDefault();
  s.protocol = protocol;
  s.maxErrors = maxErrors;
  return s;
}

// A receiver of set's protocol in a fresh folder on the manual clock and a
// clean line; files land in dir + sub, XMODEM and text captures in dir/x.bin.
struct Receiver {
  std::string dir;
  TransferState rx{};
};
inline Receiver receiverFor(const TransferSettings& set, const std::string& sub = "") {
  Receiver r;
  r.dir = freshDir("rx-" + std::to_string(set.protocol));
  clockUseManual();
  faultLineReset({}, {});
  transferBegin(r.rx, set);
  std::system(("mkdir -p '" + r.dir + sub + "'").c_str());
  std::snprintf(r.rx.settings.downloadDir, sizeof r.rx.settings.downloadDir, "%s%s", r.dir.c_str(), sub.c_str());
  std::snprintf(r.rx.localPath, sizeof r.rx.localPath, "%s/x.bin", r.dir.c_str());
  if (protocolIsXmodem(set.protocol) || set.protocol == PROTOCOL_ASCII) fileCreate(r.rx.localPath);
  return r;
}

// A sender of set's protocol for files (the first also its localPath) on the
// manual clock and a clean line.
inline TransferState senderFor(const TransferSettings& set, const std::vector<std::string>& files) {
  clockUseManual();
  faultLineReset({}, {});
  TransferState tx{};
  transferBegin(tx, set);
  for (const std::string& f : files) batchAdd(tx.batch, f.c_str());
  if (!files.empty()) std::snprintf(tx.localPath, sizeof tx.localPath, "%s", files[0].c_str());
  return tx;
}

// A frame as a sender puts it on the wire (CRC-16 or sum over blockSize bytes).
inline std::vector<uint8_t> frameOf(uint8_t block, const std::string& data, int blockSize, bool crc) {
  std::vector<uint8_t> f = {static_cast<uint8_t>(blockSize == 1024 ? 0x02 : 0x01), block,
                            static_cast<uint8_t>(~block)};
  std::string body = data;
  body.resize(static_cast<size_t>(blockSize), '\0');
  f.insert(f.end(), body.begin(), body.end());
  const uint8_t* d = f.data() + 3;
  if (crc) {
    uint16_t c = crc16(d, blockSize);
    f.push_back(static_cast<uint8_t>(c >> 8));
    f.push_back(static_cast<uint8_t>(c));
  } else {
    f.push_back(checksum8(d, blockSize));
  }
  return f;
}

// A receiver of ours on end 1; the script's steps run at given clock times and
// inject bytes as the remote sender. Returns receiveRun()'s result.
struct ScriptStep {
  uint32_t atMs;
  std::vector<uint8_t> bytes;
};
inline int runReceiver(TransferState& rx, const std::vector<ScriptStep>& script,
                       std::function<void()> everyTurn = nullptr) {
  faultLineAttach(1);
  transferSelect(&rx);
  size_t next = 0;
  pumpSetHook([&]() {
    while (next < script.size() && clockTicks() >= script[next].atMs) {
      faultLineInject(0, script[next].bytes.data(), static_cast<int>(script[next].bytes.size()));
      ++next;
    }
    if (everyTurn) everyTurn();
    return 0;
  });
  int r = receiveBegin();
  if (r >= 0) r = receiveRun();
  pumpSetHook(nullptr);
  transferSelect(nullptr);
  return r;
}

// Our sender of tx on end 0 against a scripted receiver: opening is on the
// line first; whenever the sender has written, respond gets the bytes written
// since and returns the receiver's reply. Returns protocolSend()'s result.
inline int runSender(TransferState& tx, std::function<std::vector<uint8_t>(const std::vector<uint8_t>&)> respond,
                     std::vector<uint8_t> opening = {}) {
  faultLineAttach(0);
  transferSelect(&tx);
  size_t seen = 0;
  faultLineInject(1, opening.data(), static_cast<int>(opening.size()));
  auto turn = [&]() {
    const std::vector<uint8_t>& w = faultLineWritten(0);
    if (w.size() == seen) return 0;
    std::vector<uint8_t> reply = respond(std::vector<uint8_t>(w.begin() + static_cast<long>(seen), w.end()));
    seen = w.size();
    faultLineInject(1, reply.data(), static_cast<int>(reply.size()));
    return 0;
  };
  pumpSetHook(turn);
  int r = protocolSend(tx.protocol);
  pumpSetHook(nullptr);
  turn();
  transferSelect(nullptr);
  return r;
}

// A sender and a receiver of ours in one process: the send runs on end 0 of
// the line; every pump turn of its waits gives the receiver one pass on end 1,
// each with its own TransferState. Both states hold their settings, protocol
// and (sender) batch or (receiver XMODEM) localPath of a created file. Runs
// until both ended or the receiver stayed undecided for idleLimitMs after.
struct PairOutcome {
  int sent;      // the sender's result
  int received;  // the receive loop's result (2 complete)
  bool receiverDone;
};
inline PairOutcome runTransferPair(TransferState& tx, TransferState& rx, uint32_t idleLimitMs = 400000) {
  static TransferState *sender, *receiver;
  static bool inPass, done;
  static int result;
  sender = &tx;
  receiver = &rx;
  inPass = false;
  faultLineAttach(1);
  transferSelect(&rx);
  result = receiveBegin();
  done = result < 0;
  faultLineAttach(0);
  transferSelect(&tx);
  pumpSetHook([] {
    if (inPass || done) return 0;
    inPass = true;
    faultLineAttach(1);
    transferSelect(receiver);
    int r = receiver->cancelRequested ? XFER_USER_CANCEL : receivePass();
    if (r == STEP_COMPLETE || r < 0) done = true, result = r;
    faultLineAttach(0);
    transferSelect(sender);
    inPass = false;
    return 0;
  });
  tx.active = true;
  tx.startTick = clockTicks();
  int sent = protocolSend(tx.protocol);
  uint32_t end = clockTicks() + idleLimitMs;
  while (!done && static_cast<int32_t>(clockTicks() - end) < 0) pumpOne();
  pumpSetHook(nullptr);
  transferSelect(nullptr);
  return PairOutcome{sent, result, done};
}
