// termplay: feeds a byte stream through the terminal's receive path, as the
// receive pass reads it from a link, and prints the resulting screen, the
// attributes, the replies written to the link and the scrollback depth.
//
// termplay [--emulation N] [--rows N] [--columns 80|132] [--capacity N]
//          [--autowrap 0|1] [--inbound-crlf] [--strip-high-bit]
//          [--display-controls] [FILE]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "terminal/emulator.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/screen.h"
#include "terminal/screen_report.h"
#include "terminal/surface_posix.h"
#include "terminal/terminal_state.h"

static std::vector<uint8_t> input;
static size_t inputAt = 0;
static std::string replies;

static int readInput(uint8_t* buffer, int count) {
  size_t n = std::min(static_cast<size_t>(count), input.size() - inputAt);
  std::memcpy(buffer, input.data() + inputAt, n);
  inputAt += n;
  return static_cast<int>(n);
}

static int recordWrite(const uint8_t* bytes, int length) {
  replies.append(reinterpret_cast<const char*>(bytes), length);
  return 0;
}

static int usage(const char* why) {
  std::fprintf(stderr, "termplay: %s\n", why);
  std::fprintf(stderr,
               "usage: termplay [--emulation N] [--rows N] [--columns 80|132] [--capacity N] [--autowrap 0|1]\n"
               "                [--inbound-crlf] [--strip-high-bit] [--display-controls] [FILE]\n");
  return 2;
}

static bool number(const char* text, int* out) {
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (!*text || *end || v < -1000000 || v > 1000000) return false;
  *out = static_cast<int>(v);
  return true;
}

int main(int argc, char** argv) {
  int emulation = 4, rows = 24, columns = 80, capacity = 1000, autowrap = 1;
  bool inbound = false, strip = false, controls = false;
  const char* file = nullptr;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](int* out) {
      if (i + 1 >= argc || !number(argv[i + 1], out)) return false;
      ++i;
      return true;
    };
    if (a == "--emulation") {
      if (!value(&emulation) || emulation < 1 || emulation > 10) return usage("--emulation takes 1 to 10");
    } else if (a == "--rows") {
      if (!value(&rows) || rows < 1 || rows > MAX_ROWS) return usage("--rows takes 1 to 255");
    } else if (a == "--columns") {
      if (!value(&columns) || (columns != 80 && columns != 132)) return usage("--columns takes 80 or 132");
    } else if (a == "--capacity") {
      if (!value(&capacity)) return usage("--capacity takes a number");
    } else if (a == "--autowrap") {
      if (!value(&autowrap) || (autowrap != 0 && autowrap != 1)) return usage("--autowrap takes 0 or 1");
    } else if (a == "--inbound-crlf") {
      inbound = true;
    } else if (a == "--strip-high-bit") {
      strip = true;
    } else if (a == "--display-controls") {
      controls = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return usage(("unknown option " + a).c_str());
    } else if (!file) {
      file = argv[i];
    } else {
      return usage("only one FILE");
    }
  }

  FILE* in = file ? std::fopen(file, "rb") : stdin;
  if (!in) {
    std::fprintf(stderr, "termplay: cannot open %s\n", file);
    return 1;
  }
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) input.insert(input.end(), chunk, chunk + n);
  if (file) std::fclose(in);

  if (terminalReset(rows, columns, capacity) < 0) {
    std::fprintf(stderr, "termplay: not enough memory for the screen buffer\n");
    return 1;
  }
  terminalOptions.emulation = emulation;
  terminalOptions.autowrap = autowrap != 0;
  terminalOptions.inboundCrLf = inbound;
  terminalOptions.stripHighBit = strip;
  terminalOptions.displayControls = controls;
  terminalOptions.telnet = false;
  emulatorConnectionStart();

  static LinkOps ops{};
  ops.read = readInput;
  ops.write = recordWrite;
  ops.isSocket = true;
  linkAttach(&ops);
  receiveEightBit = true;
  // The window operations go to the host recorder; nobody reads them here.
  while (inputAt < input.size()) {
    surfaceClearCalls();
    if (receiveAvailable() < 0) break;
  }

  printScreenReport(stdout, replies);
  return 0;
}
