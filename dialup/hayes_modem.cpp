// The software modem's modes: results, dialing, the call and its escape,
// rings and answer.
#include "dialup/hayes_modem.h"

#include <cctype>

#include "dialup/hayes_steps.h"

namespace {
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

uint32_t guardTime(const HayesModem& m) { return m.s[12] * 20u; }

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
  hayesResult(m, RESULT_RING, out);
  if (m.s[0] > 0 && m.ringCount >= m.s[0]) hayesAnswer(m, out);
}
}  // namespace

void hayesResult(const HayesModem& m, int code, ModemActions& out) {
  if (m.quiet) return;
  char cr = static_cast<char>(m.s[3]), lf = static_cast<char>(m.s[4]);
  if (m.verbose)
    out.terminal += std::string{cr, lf} + resultText(code) + std::string{cr, lf};
  else
    out.terminal += std::to_string(code) + cr;
}

void hayesInfoLine(const HayesModem& m, const std::string& text, ModemActions& out) {
  char cr = static_cast<char>(m.s[3]), lf = static_cast<char>(m.s[4]);
  out.terminal += std::string{cr, lf} + text + std::string{cr, lf};
}

void hayesHangUp(HayesModem& m, ModemActions& out) {
  if (m.mode == MODEM_ONLINE || m.mode == MODEM_ESCAPED || m.mode == MODEM_WAIT_TCP) out.hangUp = true;
  m.mode = MODEM_COMMAND;
  m.pluses = 0;
}

void hayesFactorySettings(HayesModem& m) {
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

void hayesAnswer(HayesModem& m, ModemActions& out) {
  m.ringsLeft = 0;
  m.ringCount = 0;
  if (m.answerHost.empty()) {
    hayesResult(m, RESULT_NO_CARRIER, out);
    return;
  }
  out.connect = true;
  out.host = m.answerHost;
  out.port = m.answerPort;
  m.mode = MODEM_WAIT_TCP;
}

// Starts the dial of text (what follows "D"); its result comes from modemTick.
void hayesDial(HayesModem& m, const std::string& text, uint32_t now) {
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

void modemReset(HayesModem& m) {
  hayesFactorySettings(m);
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
        hayesCommandByte(m, bytes[i], now, out);
        break;
      case MODEM_ONLINE:
        onlineByte(m, bytes[i], now, out);
        break;
      case MODEM_DIALING:
      case MODEM_WAIT_TCP:
        // A key pressed during a dial abandons it, as on a real modem.
        hayesHangUp(m, out);
        hayesResult(m, RESULT_NO_CARRIER, out);
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
    hayesResult(m, RESULT_NO_CARRIER, out);
    return;
  }
  m.mode = MODEM_ONLINE;
  m.lastData = now;
  m.pluses = 0;
  hayesResult(m, RESULT_CONNECT, out);
}

void modemRemoteClosed(HayesModem& m, ModemActions& out) {
  if (m.mode != MODEM_ONLINE && m.mode != MODEM_ESCAPED) return;
  hayesHangUp(m, out);
  hayesResult(m, RESULT_NO_CARRIER, out);
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
      hayesResult(m, RESULT_OK, out);
      return;
    }
    if (m.dialRule < 0) {
      m.mode = MODEM_COMMAND;
      hayesResult(m, RESULT_NO_CARRIER, out);
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
        hayesResult(m, RESULT_BUSY, out);
        break;
      case NUMBER_NO_CARRIER:
        m.mode = MODEM_COMMAND;
        hayesResult(m, RESULT_NO_CARRIER, out);
        break;
      case NUMBER_NO_DIALTONE:
        m.mode = MODEM_COMMAND;
        hayesResult(m, RESULT_NO_DIALTONE, out);
        break;
      case NUMBER_SILENT:
        break;  // never answers; a key abandons the dial
    }
  }
  if (m.mode == MODEM_ONLINE && m.pluses == 3 && now - m.lastPlus >= guardTime(m)) {
    m.mode = MODEM_ESCAPED;
    m.pluses = 0;
    hayesResult(m, RESULT_OK, out);
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
