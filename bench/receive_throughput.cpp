// Throughput of the receive path on three reproducible 50 MB streams (plain
// text, full-screen colour output, long wrapping lines), side by side with
// libvterm parsing the same streams into its screen layer (damage callbacks
// that do nothing). Our window is a surface that does nothing. Both sides get
// the same bytes in the same 1023-byte blocks; MB/s is CPU time based.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

extern "C" {
#include <vterm.h>
}

#include "terminal/emulator.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "terminal/surface.h"
#include "terminal/terminal_state.h"

// A surface that does nothing (replaces the host recorder in this program).
void surfaceScroll(int, int, int, int, int, int) {}
void surfaceFill(int, int, int, int) {}
void surfaceDrawCell(int, int, uint8_t, uint32_t, uint32_t) {}
void surfaceDrawCells(int, int, int, const uint8_t*, int, uint32_t, uint32_t) {}
void surfaceMoveCaret(int, int) {}
void surfaceShowCaret(bool) {}
void surfaceBeep() {}
void surfaceInvalidate() {}
void surfaceSetScrollBar(int, int) {}
void surfaceShowChanges() {}

namespace {

constexpr size_t STREAM_BYTES = 50u << 20;

struct Random {
  uint32_t state = 12345;
  uint32_t next(uint32_t n) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % n;
  }
};

void appendText(std::string& out, Random& r, int length) {
  for (int i = 0; i < length; ++i) out += static_cast<char>(r.next(8) == 0 ? ' ' : 'a' + r.next(26));
}

const std::string& plainText() {
  static std::string s;
  if (s.empty()) {
    Random r;
    while (s.size() < STREAM_BYTES) {
      appendText(s, r, 10 + r.next(69));
      s += "\r\n";
    }
  }
  return s;
}

const std::string& colourScreens() {
  static std::string s;
  if (s.empty()) {
    Random r;
    while (s.size() < STREAM_BYTES) {
      switch (r.next(6)) {
        case 0:
          s += "\033[" + std::to_string(1 + r.next(24)) + ";" + std::to_string(1 + r.next(80)) + "H";
          break;
        case 1:
          s += "\033[" + std::to_string(30 + r.next(8)) + ";" + std::to_string(40 + r.next(8)) + "m";
          break;
        case 2: s += "\033[K"; break;
        case 3:
          s += "\033[" + std::to_string(1 + r.next(10)) + ";" + std::to_string(12 + r.next(12)) + "r\033[" +
               std::to_string(12 + r.next(12)) + ";1H\n\n\033[r";
          break;
        default:
          appendText(s, r, 5 + r.next(40));
          break;
      }
    }
  }
  return s;
}

const std::string& longLines() {
  static std::string s;
  if (s.empty()) {
    Random r;
    while (s.size() < STREAM_BYTES) {
      appendText(s, r, 200 + r.next(800));
      s += "\r\n";
    }
  }
  return s;
}

const std::string* pending = nullptr;
size_t pendingAt = 0;

int benchRead(uint8_t* buffer, int count) {
  size_t n = std::min(static_cast<size_t>(count), pending->size() - pendingAt);
  std::memcpy(buffer, pending->data() + pendingAt, n);
  pendingAt += n;
  return static_cast<int>(n);
}
int benchWrite(const uint8_t*, int) { return 0; }
LinkOps benchOps = {benchRead, benchWrite, nullptr, nullptr, nullptr, nullptr, nullptr, true, nullptr};

void ours(benchmark::State& state, const std::string& (*stream)()) {
  const std::string& bytes = stream();
  for (auto _ : state) {
    terminalReset(24, 80, 1000);
    terminalOptions.emulation = 2;
    emulatorConnectionStart();
    linkAttach(&benchOps);
    receiveEightBit = true;
    pending = &bytes;
    pendingAt = 0;
    while (pendingAt < bytes.size()) receiveAvailable();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

int damage(VTermRect, void*) { return 1; }
int moverect(VTermRect, VTermRect, void*) { return 1; }
int movecursor(VTermPos, VTermPos, int, void*) { return 1; }

void libvterm(benchmark::State& state, const std::string& (*stream)()) {
  const std::string& bytes = stream();
  for (auto _ : state) {
    VTerm* vt = vterm_new(24, 80);
    vterm_set_utf8(vt, 0);
    VTermScreen* vs = vterm_obtain_screen(vt);
    static VTermScreenCallbacks callbacks = {};
    callbacks.damage = damage;
    callbacks.moverect = moverect;
    callbacks.movecursor = movecursor;
    vterm_screen_set_callbacks(vs, &callbacks, nullptr);
    vterm_screen_reset(vs, 1);
    for (size_t at = 0; at < bytes.size(); at += 1023)
      vterm_input_write(vt, bytes.data() + at, std::min<size_t>(1023, bytes.size() - at));
    vterm_free(vt);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

}  // namespace

// Each side runs three times; the summary compares the best run of each, the
// one least disturbed by other work on the machine.
#define SIDE_BY_SIDE(name, stream)                                                                   \
  BENCHMARK_CAPTURE(ours, name, stream)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(libvterm, name, stream)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond)

SIDE_BY_SIDE(plain_text, plainText);
SIDE_BY_SIDE(colour_screens, colourScreens);
SIDE_BY_SIDE(long_lines, longLines);

namespace {

// The console report, then one line per stream: MB/s of both sides and their ratio.
struct SummaryReporter : benchmark::ConsoleReporter {
  // Colours only on a terminal, so that a saved report stays plain text.
  SummaryReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}

  std::map<std::string, double> best;  // "side/stream" -> bytes per second
  std::vector<std::string> streams;

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      auto rate = run.counters.find("bytes_per_second");
      if (rate == run.counters.end()) continue;
      std::string name = run.benchmark_name();
      size_t slash = name.find('/');
      std::string stream = name.substr(slash + 1, name.find('/', slash + 1) - slash - 1);
      std::string key = name.substr(0, slash) + "/" + stream;
      if (std::find(streams.begin(), streams.end(), stream) == streams.end()) streams.push_back(stream);
      best[key] = std::max(best[key], static_cast<double>(rate->second));
    }
  }

  void printSummary() {
    std::printf("\n%-16s %12s %12s %8s\n", "stream", "ours MB/s", "libvterm MB/s", "ratio");
    for (const std::string& stream : streams) {
      double ours = best["ours/" + stream] / (1 << 20), theirs = best["libvterm/" + stream] / (1 << 20);
      std::printf("%-16s %12.1f %12.1f %8.2f\n", stream.c_str(), ours, theirs, theirs > 0 ? ours / theirs : 0.0);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printSummary();
  benchmark::Shutdown();
  return 0;
}
