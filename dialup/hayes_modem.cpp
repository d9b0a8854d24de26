#include "dialup/hayes_modem.h"

#include <cctype>
#include <cstdlib>

namespace {
enum ResultCode { RESULT_OK = 0, RESULT_CONNECT = 1, RESULT_RING = 2, RESULT_NO_CARRIER = 3, RESULT_ERROR = 4,
                  RESULT_NO_DIALTONE = 6, RESULT_BUSY = 7 };

const char* resultText(int code) {
  switch (code) {
    case RESULT_OK: return "OK";
    case RESULT_CONNECT: return "CONNECT 115200";
    case RESULT_RING: return "RING";
    case RESULT_NO_CARRIER: return "NO CARRIER";
    case RESULT_NO_DIALTONE: return "NO DIALTONE";
    case RESULT_BUSY: return "BUSY";
    default: return "ERROR";
  }
}

// How long after its pauses each kind of number gives its result.
uint32_t resultDelay(NumberKind kind) {
  switch (kind) {
    case NUMBER_CONNECT: return 500;
    case NUMBER_BUSY: return 1000;
    case NUMBER_NO_DIALTONE: return 1000;
    default: return 2000;
  }
}

void result(const HayesModem& m, int code, ModemActions& out) {
  if (m.quiet) return;
  char cr = static_cast<char>(m.s[3]), lf = static_cast<char>(m.s[4]);
  if (m.verbose)
    out.terminal += std::string{cr, lf} + resultText(code) + std::string{cr, lf};
  else
    out.terminal += std::to_string(code) + cr;
}

void infoLine(const HayesModem& m, const std::string& text, ModemActions& out) {
  char cr = static_cast<char>(m.s[3]), lf = static_cast<char>(m.s[4]);
  out.terminal += std::string{cr, lf} + text + std::string{cr, lf};
}

uint32_t guardTime(const HayesModem& m) { return m.s[12] * 20u; }

void hangUp(HayesModem& m, ModemActions& out) {
  if (m.mode == MODEM_ONLINE || m.mode == MODEM_ESCAPED || m.mode == MODEM_WAIT_TCP) out.hangUp = true;
  m.mode = MODEM_COMMAND;
  m.pluses = 0;
}

void factorySettings(HayesModem& m) {
  m.echo = true;
  m.verbose = true;
  m.quiet = false;
  for (uint8_t& r : m.s) r = 0;
  m.s[2] = '+';
  m.s[3] = '\r';
  m.s[4] = '\n';
  m.s[5] = 8;
  m.s[6] = 2;
  m.s[7] = 50;
  m.s[8] = 2;
  m.s[10] = 14;
  m.s[12] = 50;
}

void answer(HayesModem& m, ModemActions& out) {
  m.ringsLeft = 0;
  m.ringCount = 0;
  if (m.answerHost.empty()) {
    result(m, RESULT_NO_CARRIER, out);
    return;
  }
  out.connect = true;
  out.host = m.answerHost;
  out.port = m.answerPort;
  m.mode = MODEM_WAIT_TCP;
}

// Starts the dial of text (what follows "D"); its result comes from modemTick.
void dial(HayesModem& m, const std::string& text, uint32_t now) {
  std::string digits;
  uint32_t pauses = 0;
  bool stayInCommand = false;
  for (char c : text) {
    if (isdigit(static_cast<unsigned char>(c))) digits += c;
    else if (c == ',') pauses += m.s[8] * 1000u;
    else if (c == '~') pauses += 1000;
    else if (c == ';') stayInCommand = true;
  }
  // Several rules for one number answer its dials in turn; the last one stays.
  m.dialRule = -1;
  for (size_t i = 0; i < m.numbers.size(); ++i)
    if (m.numbers[i].digits == digits && !m.numbers[i].spent) {
      m.dialRule = static_cast<int>(i);
      break;
    }
  for (size_t i = m.dialRule + 1; m.dialRule >= 0 && i < m.numbers.size(); ++i)
    if (m.numbers[i].digits == digits) {
      m.numbers[m.dialRule].spent = true;
      break;
    }
  if (stayInCommand) {
    // Dial and return to command mode: the pauses still take their time.
    m.mode = MODEM_DIALING;
    m.dialRule = -2;
    m.resultAt = now + pauses;
    return;
  }
  m.mode = MODEM_DIALING;
  m.resultAt = now + pauses + (m.dialRule < 0 ? MODEM_UNKNOWN_DELAY : resultDelay(m.numbers[m.dialRule].kind));
}

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
      dial(m, cmd.substr(i), now);
      return;
    }
    if (c == 'A') {
      if (m.mode != MODEM_COMMAND) break;
      answer(m, out);
      return;
    }
    if (c == 'O') {
      numberAfter(cmd, i);
      if (m.mode != MODEM_ESCAPED) break;
      m.mode = MODEM_ONLINE;
      m.lastData = now;
      result(m, RESULT_CONNECT, out);
      return;
    }
    if (c == 'E' || c == 'V' || c == 'Q' || c == 'Z' || c == 'H') {
      int v = numberAfter(cmd, i);
      if (c == 'E') m.echo = v != 0;
      if (c == 'V') m.verbose = v != 0;
      if (c == 'Q') m.quiet = v != 0;
      if (c == 'Z') {
        hangUp(m, out);
        factorySettings(m);
      }
      if (c == 'H') hangUp(m, out);
      continue;
    }
    if (c == 'S') {
      int reg = numberAfter(cmd, i);
      if (reg > 255 || i >= cmd.size()) break;
      if (cmd[i] == '?') {
        ++i;
        char text[8];
        snprintf(text, sizeof text, "%03d", m.s[reg]);
        infoLine(m, text, out);
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
      infoLine(m, "SOFTWARE MODEM 115200", out);
      continue;
    }
    if (c == '&' || c == '\\' || c == '%') {
      if (i >= cmd.size() || !isalpha(static_cast<unsigned char>(cmd[i]))) break;
      char what = static_cast<char>(toupper(static_cast<unsigned char>(cmd[i++])));
      numberAfter(cmd, i);
      if (c == '&' && what == 'F') factorySettings(m);
      continue;
    }
    if (isalpha(static_cast<unsigned char>(c))) {  // speaker, result sets, ...: accepted
      numberAfter(cmd, i);
      continue;
    }
    result(m, RESULT_ERROR, out);
    return;
  }
  result(m, i < cmd.size() ? RESULT_ERROR : RESULT_OK, out);
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
    result(m, RESULT_ERROR, out);
    return;
  }
  execute(m, text.substr(at + 2), now, out);
}

void commandByte(HayesModem& m, uint8_t b, uint32_t now, ModemActions& out) {
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

void onlineByte(HayesModem& m, uint8_t b, uint32_t now, ModemActions& out) {
  out.remote += static_cast<char>(b);
  uint32_t guard = guardTime(m);
  if (b == m.s[2] && m.s[2] < 128) {
    if (m.pluses == 0 && now - m.lastData >= guard) {
      m.pluses = 1;
      m.lastPlus = now;
      return;
    }
    if (m.pluses > 0 && m.pluses < 3 && now - m.lastPlus < guard) {
      ++m.pluses;
      m.lastPlus = now;
      return;
    }
  }
  m.pluses = 0;
  m.lastData = now;
}

void ringStep(HayesModem& m, uint32_t now, ModemActions& out) {
  if (m.ringsLeft <= 0 || now - m.nextRing > 0x7fffffffu) return;
  --m.ringsLeft;
  ++m.ringCount;
  m.s[1] = static_cast<uint8_t>(m.ringCount);
  m.nextRing = now + MODEM_RING_INTERVAL;
  result(m, RESULT_RING, out);
  if (m.s[0] > 0 && m.ringCount >= m.s[0]) answer(m, out);
}
}  // namespace

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

void modemReset(HayesModem& m) {
  factorySettings(m);
  m.mode = MODEM_COMMAND;
  m.line.clear();
  m.lineOverflow = false;
  m.pluses = 0;
  m.ringsLeft = 0;
  m.ringCount = 0;
}

void modemFromTerminal(HayesModem& m, const uint8_t* bytes, int n, uint32_t now, ModemActions& out) {
  for (int i = 0; i < n; ++i) {
    switch (m.mode) {
      case MODEM_COMMAND:
      case MODEM_ESCAPED:
        commandByte(m, bytes[i], now, out);
        break;
      case MODEM_ONLINE:
        onlineByte(m, bytes[i], now, out);
        break;
      case MODEM_DIALING:
      case MODEM_WAIT_TCP:
        // A key pressed during a dial abandons it, as on a real modem.
        hangUp(m, out);
        result(m, RESULT_NO_CARRIER, out);
        break;
    }
  }
}

void modemFromRemote(HayesModem& m, const uint8_t* bytes, int n, ModemActions& out) {
  if (m.mode == MODEM_ONLINE) out.terminal.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(n));
}

void modemConnected(HayesModem& m, bool ok, uint32_t now, ModemActions& out) {
  if (m.mode != MODEM_WAIT_TCP) {
    if (ok) out.hangUp = true;  // too late: the dial was abandoned
    return;
  }
  if (!ok) {
    m.mode = MODEM_COMMAND;
    result(m, RESULT_NO_CARRIER, out);
    return;
  }
  m.mode = MODEM_ONLINE;
  m.lastData = now;
  m.pluses = 0;
  result(m, RESULT_CONNECT, out);
}

void modemRemoteClosed(HayesModem& m, ModemActions& out) {
  if (m.mode != MODEM_ONLINE && m.mode != MODEM_ESCAPED) return;
  hangUp(m, out);
  result(m, RESULT_NO_CARRIER, out);
}

void modemRing(HayesModem& m, uint32_t now, ModemActions& out) {
  if (m.mode != MODEM_COMMAND || m.ringsLeft > 0) return;
  m.ringsLeft = MODEM_RINGS;
  m.ringCount = 0;
  m.nextRing = now;
  ringStep(m, now, out);
}

void modemTick(HayesModem& m, uint32_t now, ModemActions& out) {
  if (m.mode == MODEM_DIALING && now - m.resultAt < 0x80000000u) {
    if (m.dialRule == -2) {
      m.mode = MODEM_COMMAND;
      result(m, RESULT_OK, out);
      return;
    }
    if (m.dialRule < 0) {
      m.mode = MODEM_COMMAND;
      result(m, RESULT_NO_CARRIER, out);
      return;
    }
    const NumberRule& r = m.numbers[m.dialRule];
    switch (r.kind) {
      case NUMBER_CONNECT:
        out.connect = true;
        out.host = r.host;
        out.port = r.port;
        m.mode = MODEM_WAIT_TCP;
        break;
      case NUMBER_BUSY:
        m.mode = MODEM_COMMAND;
        result(m, RESULT_BUSY, out);
        break;
      case NUMBER_NO_CARRIER:
        m.mode = MODEM_COMMAND;
        result(m, RESULT_NO_CARRIER, out);
        break;
      case NUMBER_NO_DIALTONE:
        m.mode = MODEM_COMMAND;
        result(m, RESULT_NO_DIALTONE, out);
        break;
      case NUMBER_SILENT:
        break;  // never answers; a key abandons the dial
    }
  }
  if (m.mode == MODEM_ONLINE && m.pluses == 3 && now - m.lastPlus >= guardTime(m)) {
    m.mode = MODEM_ESCAPED;
    m.pluses = 0;
    result(m, RESULT_OK, out);
  }
  if (m.mode == MODEM_COMMAND) ringStep(m, now, out);
}

uint32_t modemNextEvent(const HayesModem& m, uint32_t now, uint32_t limit) {
  uint32_t wait = limit;
  auto consider = [&](uint32_t at) {
    uint32_t d = at - now;
    if (d > 0x7fffffffu) d = 0;
    if (d < wait) wait = d;
  };
  if (m.mode == MODEM_DIALING && !(m.dialRule >= 0 && m.numbers[m.dialRule].kind == NUMBER_SILENT))
    consider(m.resultAt);
  if (m.mode == MODEM_ONLINE && m.pluses == 3) consider(m.lastPlus + guardTime(m));
  if (m.mode == MODEM_COMMAND && m.ringsLeft > 0) consider(m.nextRing);
  return wait;
}
