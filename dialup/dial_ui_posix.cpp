#include "dialup/dial_ui_posix.h"

#include "dialup/dial_ui.h"

std::string& dialUiTerminal() {
  static std::string text;
  return text;
}

std::string& dialUiStatuses() {
  static std::string text;
  return text;
}

int& dialUiEnds() {
  static int ends = 0;
  return ends;
}

void dialShowTerminal(const char* text, int length) { dialUiTerminal().append(text, static_cast<size_t>(length)); }

void dialShowChanged(const DialMachine& m) {
  std::string& s = dialUiStatuses();
  const std::string last = s.size() > 1 ? s.substr(s.rfind('|', s.size() - 2) + 1) : "|";
  // A text shown again (the countdown changed) is kept once.
  if (last != m.status + "|" || s.empty()) s += m.status + "|";
}

void dialShowEnded(const DialMachine&) { ++dialUiEnds(); }
