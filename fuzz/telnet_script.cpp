// A login script running on a Telnet connection while any byte stream comes
// from the host, through the socket link, the receive path and the Telnet
// engine: no crash or overrun; data reaches the screen masked to 7 bits while
// the host's commands are still answered; every byte sent is either a
// well-formed Telnet reply or other than 0xFF (the script's text, the
// emulator's reports).
#include <unistd.h>

#include "fuzz/telnet_socket.h"
#include "shell/message_box_posix.h"
#include "shell/pump_posix.h"
#include "shell/script.h"
#include "shell/script_terminal.h"
#include "tests/support/file_text.h"

namespace {
const char* const SCRIPT_TEXT = "TIMEOUT 1\r\nWAITSTRING \"login:\"\r\nSEND \"ab^M\"\r\nWAITSTRING \"$ \"\r\nEXIT\r\n";
std::string scriptPath;

void failed(const char* what) {
  std::fprintf(stderr, "broken: %s\n", what);
  __builtin_trap();
}

// Every 0xFF sent opens a reply the engine makes.
void checkSent() {
  for (size_t i = 0; i < sent.size();) {
    uint8_t b = static_cast<uint8_t>(sent[i]);
    if (b != TN_IAC) {  // the script's text or the emulator's reports
      ++i;
      continue;
    }
    if (i + 1 >= sent.size()) failed("a lone IAC");
    uint8_t c = static_cast<uint8_t>(sent[i + 1]);
    if (c == TN_NOP) {
      i += 2;
    } else if (c >= TN_WILL) {
      if (i + 2 >= sent.size()) failed("a verb without its option");
      i += 3;
    } else if (c == TN_SB) {
      size_t end = sent.find("\xFF\xF0", i + 2);
      if (end == std::string::npos) failed("a subnegotiation without IAC SE");
      i = end + 2;
    } else {
      failed("an IAC command the engine never sends");
    }
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = terminalReset(24, 80, 100) == 0;
  if (scriptPath.empty()) {
    scriptPath = "/tmp/telnet_script_fuzz_" + std::to_string(getpid()) + ".scr";
    writeFile(scriptPath, SCRIPT_TEXT);
  }
  if (!ready || size < 1) return 0;
  terminalReset(24, 80, 100);
  terminalOptions.inboundCrLf = (data[0] & 0x08) != 0;
  connectFuzzSession(data, size, "vt100");
  scriptAttachTerminal();
  clockUseManual(10);
  messagesClear();

  ScriptEnv env;
  env.processIncoming = [] { return receiveAvailable(); };
  env.sendChar = scriptSendChar;
  scriptExecute(scriptPath.c_str(), env);
  linkClose();

  // The script masks data to 7 bits; the host's 0xFF bytes were commands.
  for (int r = 0; r < screen.rows; ++r) {
    const ScreenLine& line = lineAt(r);
    for (int c = 0; c < line.used; ++c)
      if (line.cells[c] >= 0x80) failed("a byte with bit 7 on the screen while a script runs");
  }
  checkSent();
  if (!repliesBounded()) failed("more replies than the input asks for");
  return 0;
}
