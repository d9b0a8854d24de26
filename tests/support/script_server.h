// A scripted Telnet server of our own on loopback, for what real servers do
// not do on demand: refuse every option, split a subnegotiation over several
// writes, close in the middle of a command. It accepts one connection and runs
// its steps in a thread; everything it receives is kept for the test to read.
#pragma once
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct ScriptStep {
  enum Kind { SEND, EXPECT, PAUSE, CLOSE, FLOOD, URGENT } kind;
  std::string bytes;  // SEND: what to write (one write); URGENT: likewise, its last
                      // byte urgent (MSG_OOB); EXPECT: what must arrive;
                      // FLOOD: what to write again and again
  int ms = 0;         // PAUSE: how long; EXPECT, FLOOD: how long at most
  bool reads = true;  // FLOOD: whether the server reads meanwhile
};

ScriptStep scriptSend(const std::string& bytes);
ScriptStep scriptSendUrgent(const std::string& bytes);
ScriptStep scriptExpect(const std::string& bytes, int ms = 3000);
ScriptStep scriptPause(int ms);
ScriptStep scriptClose();
// Writes bytes over and over for ms or until the client goes; a server that
// does not read lets the client's writes back up.
ScriptStep scriptFlood(const std::string& bytes, int ms, bool reads);

struct ScriptServer {
  int port = -1;
  int listener = -1;
  std::thread runner;
  std::mutex lock;
  std::string received;  // every byte the client sent
  std::string failure;   // the first EXPECT that was not met
  bool finished = false;
};

// Listens on a free loopback port and runs steps for the first client.
// Returns false when no socket could be had.
bool scriptServerStart(ScriptServer* server, std::vector<ScriptStep> steps);
// Waits for the steps to end (at most ms) and stops the server.
void scriptServerStop(ScriptServer* server, int ms = 5000);
std::string scriptReceived(ScriptServer* server);
