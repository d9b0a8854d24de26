// Arbitrary script files through the syntax check and a full run on a
// manual clock whose every step is long, so any TIMEOUT ends quickly.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "shell/message_box_posix.h"
#include "shell/pump_posix.h"
#include "shell/script.h"
#include "tests/support/file_text.h"

namespace {
int incoming() { return 0; }
void sendChar(uint8_t, bool) {}
bool askPassword(std::string* p) {
  *p = "pa$SITEss$PORT";
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fuzz_script_" + std::to_string(getpid()) + ".scr";
  writeFile(path, std::string(reinterpret_cast<const char*>(data), size));
  messagesClear();
  scriptCheck(path.c_str(), true);
  clockUseManual(1000000);
  ScriptEnv env;
  env.processIncoming = incoming;
  env.sendChar = sendChar;
  env.askPassword = askPassword;
  env.site = "10.1.2.3";
  scriptExecute(path.c_str(), env);
  if (scriptState.running || scriptState.waiting || timersRunning() != 0) __builtin_trap();
  return 0;
}
