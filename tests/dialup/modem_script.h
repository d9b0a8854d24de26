// A scripted modem on the far side of a pseudo-terminal standing for COM1:
// it answers each command line (up to CR) from a table, optionally echoing,
// and keeps everything it heard. Served from the pump hook, so the dialing
// meets it on the manual clock.
#pragma once
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "dialup/serial_connection_posix.h"
#include "shell/modem_profile.h"
#include "terminal/link.h"

struct ModemScript {
  int master = -1, slave = -1;
  bool echo = false;
  std::string heard;
  std::string command;
  std::string resetReply = "\r\nOK\r\n";
  std::string initReply = "\r\nOK\r\n";
  std::vector<std::string> dialReplies{"\r\nCONNECT 9600\r\n"};  // one per dial; the last repeats
  int dials = 0;
  std::vector<std::string> dialed;  // the number part of each dial command

  ModemScript() {
    char name[128];
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
    termios t{};
    tcgetattr(master, &t);
    cfmakeraw(&t);
    tcsetattr(master, TCSANOW, &t);
    fcntl(master, F_SETFL, O_NONBLOCK);
    serialPosixSetDevice(0, name);
  }
  ~ModemScript() {
    serialPosixSetDevice(0, nullptr);
    if (master >= 0) close(master);
    if (slave >= 0) close(slave);
  }

  // Writes to the line and waits (a bounded real time) until the port holds it,
  // so the manual clock sees replies when they were sent.
  void say(const std::string& bytes) {
    if (bytes.empty()) return;
    int waiting = 0;
    linkPoll(&waiting, nullptr);
    const int before = waiting;
    if (write(master, bytes.data(), bytes.size()) < 0) return;
    for (int i = 0; i < 200; ++i) {
      if (linkPoll(&waiting, nullptr) < 0 || waiting >= before + static_cast<int>(bytes.size())) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  void answer(const std::string& line) {
    if (line.rfind("ATZ", 0) == 0 || line.rfind("AT&F", 0) == 0) {
      say(resetReply);
    } else if (line.rfind("ATD", 0) == 0) {
      dialed.push_back(line.substr(3));
      const size_t i = dials < static_cast<int>(dialReplies.size()) ? dials : dialReplies.size() - 1;
      ++dials;
      say(dialReplies[i]);
    } else if (line.rfind("AT", 0) == 0) {
      say(initReply);
    }
  }

  // Called from the pump hook: reads what the dialing wrote and answers.
  void serve() {
    uint8_t buffer[512];
    ssize_t n;
    while ((n = read(master, buffer, sizeof buffer)) > 0) {
      for (ssize_t i = 0; i < n; ++i) {
        const char c = static_cast<char>(buffer[i]);
        heard += c;
        if (echo) say(std::string(1, c));
        if (c == '\r') {
          std::string line = command;
          command.clear();
          answer(line);
        } else {
          command += c;
        }
      }
    }
  }
};

// The profile the tests dial with: Hayes-style strings and result texts.
inline ModemProfile scriptProfile(const char* reset = "ATZ^M") {
  ModemProfile p{};
  const struct {
    int slot;
    const char* text;
  } slots[] = {{SLOT_RESET, reset}, {SLOT_INIT, "ATE1V1^M"}, {SLOT_DIAL_PREFIX, "ATD"}, {SLOT_DIAL_SUFFIX, "^M"},
               {SLOT_ESCAPE, "~~~+++~~~"}, {SLOT_HANGUP, "ATH0^M"}, {SLOT_RESULT_BUSY, "BUSY"},
               {SLOT_RESULT_DIALTONE, "NO DIALTONE"}, {SLOT_RESULT_CARRIER, "NO CARRIER"},
               {SLOT_RESULT_ANSWER, "NO ANSWER"}, {SLOT_RESULT_TIMEOUT, "TIMEOUT"}, {SLOT_RESULT_ERROR, "ERROR"},
               {SLOT_RESULT_OK, "OK"}, {SLOT_RESULT_CONNECT, "CONNECT"}};
  for (const auto& s : slots) profileSetSlot(p, s.slot, s.text);
  return p;
}
