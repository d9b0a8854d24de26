// The modem search's reader of the reply to "ATQ\r": a modem answers with the
// numeric OK "0", or with a verbal line between CR LF pairs.
#pragma once
#include <cstdint>

constexpr int SEARCH_REPLY_MAX = 255;

struct SearchReply {
  bool crSeen;         // the last byte was CR
  bool lineStarted;    // a first CR LF has passed
  bool textSinceBoundary;  // bytes collected since the last CR LF
  int length;          // reply text kept, at most SEARCH_REPLY_MAX
  char text[SEARCH_REPLY_MAX + 1];
};

void searchReplyReset(SearchReply& reply);
// Takes one received byte; 1 when a modem has answered, else 0.
int searchReplyByte(SearchReply& reply, uint8_t byte);
