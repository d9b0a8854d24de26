// The FTP engine against a scripted control connection on loopback, with a
// data peer of the test's own where a data connection is needed.
#pragma once
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "ftp/ftp_session.h"
#include "shell/pump_posix.h"
#include "tests/support/script_server.h"
#include "shell/settings_posix.h"

struct FtpRecord {
  std::string view;
  std::vector<std::string> messages;
  std::vector<std::string> statuses;
  int beeps = 0;
  int feedBlocks = 0;
  std::vector<int64_t> progress;
};
extern FtpRecord ftpRecord;

// The server's side of a plain exchange: command line expected, reply line
// sent, in turn (each with CR LF); a PASV reply may be given whole.
inline std::vector<ScriptStep> talk(std::initializer_list<std::string> commandThenReply) {
  std::vector<ScriptStep> steps;
  bool command = true;
  for (const std::string& line : commandThenReply) {
    std::string whole = line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0 ? line : line + "\r\n";
    steps.push_back(command ? scriptExpect(whole) : scriptSend(whole));
    command = !command;
  }
  return steps;
}
inline std::vector<ScriptStep> operator+(std::vector<ScriptStep> a, const std::vector<ScriptStep>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A fresh engine whose hooks record into ftpRecord.
void ftpHarnessReset(bool realTime = true, uint32_t manualStep = 1);
// A fresh engine connected to a scripted server running steps. end() waits
// for the steps, expects each one met and returns what the client sent; a
// test that does not call it has it called when the server goes.
struct Scripted {
  ScriptServer server;
  bool connected = false, ended = false;
  explicit Scripted(std::vector<ScriptStep> steps, bool realTime = true, uint32_t manualStep = 1);
  ~Scripted() { end(); }
  std::string end();
};

// One data connection on loopback: the test's peer accepts once, then sends
// `bytes` and closes (or collects what arrives until the client closes).
struct DataPeer {
  int listener = -1;
  int port = 0;
  std::thread runner;
  std::string received;
  ~DataPeer();
};
// reset: end with a reset instead of a close (a broken connection); holdMs:
// keep the connection open that long after the bytes; host: where it listens.
bool dataPeerStart(DataPeer* peer, const std::string& bytes, bool collect = false, bool reset = false,
                   int holdMs = 0, unsigned long host = 0x7F000001);
// "227 Entering Passive Mode (127,0,0,1,p1,p2)\r\n" for the peer.
std::string pasvReply(const DataPeer& peer);
