#include "dialup/search_reply.h"

#include <cstring>

void searchReplyReset(SearchReply& reply) { memset(&reply, 0, sizeof reply); }

int searchReplyByte(SearchReply& reply, uint8_t byte) {
  if (byte == '0') return 1;  // numeric OK
  if (byte == '\r') {
    reply.crSeen = true;
    return 0;
  }
  bool afterCr = reply.crSeen;
  reply.crSeen = false;
  if (byte == '\n' && afterCr) {
    if (reply.lineStarted && reply.textSinceBoundary) return 1;
    reply.lineStarted = true;
    reply.textSinceBoundary = false;
    return 0;
  }
  if (!reply.lineStarted) return 0;  // the echo of our own command
  reply.textSinceBoundary = true;
  // A flood never grows the text past its bound.
  if (reply.length < SEARCH_REPLY_MAX) {
    reply.text[reply.length++] = static_cast<char>(byte);
    reply.text[reply.length] = 0;
  }
  return 0;
}
