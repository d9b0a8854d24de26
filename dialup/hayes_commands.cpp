// The software modem's command reader: AT command lines typed in command
// mode, and the numbers table of its command line.
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "dialup/hayes_steps.h"

namespace {
int numberAfter(const std::string& cmd, size_t& i) {
  int v = 0;
  bool any = false;
  while (i < cmd.size() && isdigit(static_cast<unsigned char>(cmd[i]))) {
    v = v * 10 + (cmd[i++] - '0');
    if (v > 999) v = 999;
    any = true;
  }
  return any ? v : 0;
}

// Runs the commands after "AT". A dial, an answer or going online gives its
// own result later; everything else ends with OK or ERROR.
void execute(HayesModem& m, const std::string& cmd, uint32_t now, ModemActions& out) {
  size_t i = 0;
  while (i < cmd.size()) {
    char c = static_cast<char>(toupper(static_cast<unsigned char>(cmd[i++])));
    if (c == ' ') continue;
    if (c == 'D') {
      if (m.mode != MODEM_COMMAND) break;
      hayesDial(m, cmd.substr(i), now);
      return;
    }
    if (c == 'A') {
      if (m.mode != MODEM_COMMAND) break;
      hayesAnswer(m, out);
      return;
    }
    if (c == 'O') {
      numberAfter(cmd, i);
      if (m.mode != MODEM_ESCAPED) break;
      m.mode = MODEM_ONLINE;
      m.lastData = now;
      hayesResult(m, RESULT_CONNECT, out);
      return;
    }
    if (c == 'E' || c == 'V' || c == 'Q' || c == 'Z' || c == 'H') {
      int v = numberAfter(cmd, i);
      if (c == 'E') m.echo = v != 0;
      if (c == 'V') m.verbose = v != 0;
      if (c == 'Q') m.quiet = v != 0;
      if (c == 'Z') {
        hayesHangUp(m, out);
        hayesFactorySettings(m);
      }
      if (c == 'H') hayesHangUp(m, out);
      continue;
    }
    if (c == 'S') {
      int reg = numberAfter(cmd, i);
      if (reg > 255 || i >= cmd.size()) break;
      if (cmd[i] == '?') {
        ++i;
        char text[8];
        snprintf(text, sizeof text, "%03d", m.s[reg]);
        hayesInfoLine(m, text, out);
        continue;
      }
      if (cmd[i] != '=') break;
      ++i;
      int v = numberAfter(cmd, i);
      if (v > 255) break;
      m.s[reg] = static_cast<uint8_t>(v);
      continue;
    }
    if (c == 'I') {
      numberAfter(cmd, i);
      hayesInfoLine(m, "SOFTWARE MODEM 115200", out);
      continue;
    }
    if (c == '&' || c == '\\' || c == '%') {
      if (i >= cmd.size() || !isalpha(static_cast<unsigned char>(cmd[i]))) break;
      char what = static_cast<char>(toupper(static_cast<unsigned char>(cmd[i++])));
      numberAfter(cmd, i);
      if (c == '&' && what == 'F') hayesFactorySettings(m);
      continue;
    }
    if (isalpha(static_cast<unsigned char>(c))) {  // speaker, result sets, ...: accepted
      numberAfter(cmd, i);
      continue;
    }
    hayesResult(m, RESULT_ERROR, out);
    return;
  }
  hayesResult(m, i < cmd.size() ? RESULT_ERROR : RESULT_OK, out);
}

void commandLineEnds(HayesModem& m, uint32_t now, ModemActions& out) {
  std::string text;
  text.swap(m.line);
  bool overflow = m.lineOverflow;
  m.lineOverflow = false;
  // Anything before "AT" is noise on the line; a line without it gets no reply.
  size_t at = std::string::npos;
  for (size_t i = 0; i + 1 < text.size(); ++i)
    if (toupper(static_cast<unsigned char>(text[i])) == 'A' && toupper(static_cast<unsigned char>(text[i + 1])) == 'T') {
      at = i;
      break;
    }
  if (at == std::string::npos) return;
  if (overflow) {
    hayesResult(m, RESULT_ERROR, out);
    return;
  }
  execute(m, text.substr(at + 2), now, out);
}
}  // namespace

void hayesCommandByte(HayesModem& m, uint8_t b, uint32_t now, ModemActions& out) {
  if (m.echo) out.terminal += static_cast<char>(b);
  if (b == m.s[3]) {
    commandLineEnds(m, now, out);
  } else if (b == m.s[5]) {
    if (!m.line.empty()) m.line.pop_back();
  } else if (b == m.s[4]) {
    // line feeds after the CR are not part of a command
  } else if (m.line.size() < static_cast<size_t>(MODEM_LINE_MAX)) {
    m.line += static_cast<char>(b);
  } else {
    m.lineOverflow = true;
  }
}

int parseHostPort(const std::string& text, std::string& host, int& port) {
  size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size()) return -1;
  for (size_t i = colon + 1; i < text.size(); ++i)
    if (!isdigit(static_cast<unsigned char>(text[i]))) return -1;
  long p = strtol(text.c_str() + colon + 1, nullptr, 10);
  if (p < 1 || p > 65535) return -1;
  host = text.substr(0, colon);
  port = static_cast<int>(p);
  return 0;
}

int parseNumberRule(const std::string& text, NumberRule& rule) {
  size_t eq = text.find('=');
  if (eq == std::string::npos) return -1;
  rule = NumberRule{};
  for (size_t i = 0; i < eq; ++i)
    if (isdigit(static_cast<unsigned char>(text[i]))) rule.digits += text[i];
  std::string what = text.substr(eq + 1);
  if (what == "busy") rule.kind = NUMBER_BUSY;
  else if (what == "no-carrier") rule.kind = NUMBER_NO_CARRIER;
  else if (what == "no-dialtone") rule.kind = NUMBER_NO_DIALTONE;
  else if (what == "silent") rule.kind = NUMBER_SILENT;
  else if (parseHostPort(what, rule.host, rule.port) == 0) rule.kind = NUMBER_CONNECT;
  else return -1;
  return 0;
}
