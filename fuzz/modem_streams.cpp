// Bytes from a modem or a terminal, whatever they are: the search's reply
// reader keeps its text bounded, the software modem keeps its command line
// bounded and its state sound, and classification reads any line against
// any profile.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dialup/hayes_modem.h"
#include "dialup/modem_command.h"
#include "dialup/reply_class.h"
#include "dialup/search_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SearchReply reply;
  searchReplyReset(reply);
  for (size_t i = 0; i < size; ++i) searchReplyByte(reply, data[i]);
  if (reply.length > SEARCH_REPLY_MAX || reply.text[reply.length] != 0) abort();

  // The input split in two: a profile image (its head) and a reply line.
  ModemProfile profile{};
  size_t head = size < MODEM_PROFILE_SIZE ? size / 2 : MODEM_PROFILE_SIZE;
  memcpy(profile.bytes, data, head);
  int c = classifyReply(profile, std::string(reinterpret_cast<const char*>(data + head), size - head));
  if (c < REPLY_NONE || c > REPLY_CONNECT) abort();
  profileShadowedSlot(profile);
  std::string bytes;
  std::string text(reinterpret_cast<const char*>(data), size);
  if (prepareModemCommand(text.c_str(), true, bytes) < 0 || bytes.size() > text.size()) abort();

  // Terminal bytes into the modem, with time passing and a remote side that
  // answers, talks and hangs up by the input's own bytes.
  static HayesModem m;
  modemReset(m);
  m.numbers.assign(1, NumberRule{"1", NUMBER_CONNECT, "127.0.0.1", 1});
  m.answerHost = "127.0.0.1";
  uint32_t now = 0;
  for (size_t i = 0; i < size; i += 7) {
    ModemActions out;
    size_t n = size - i < 7 ? size - i : 7;
    modemFromTerminal(m, data + i, static_cast<int>(n), now, out);
    now += data[i] * 40u;
    modemTick(m, now, out);
    if (out.connect) modemConnected(m, data[i] & 1, now, out);
    if (data[i] == 0xFF) modemRemoteClosed(m, out);
    if (data[i] == 0xFE) modemRing(m, now, out);
    modemFromRemote(m, data + i, static_cast<int>(n), out);
    if (m.line.size() > static_cast<size_t>(MODEM_LINE_MAX)) abort();
  }
  return 0;
}
