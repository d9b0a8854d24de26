// What a modem reply line means, by the result texts of a profile.
#pragma once
#include <string>

#include "shell/modem_profile.h"

enum ReplyClass : int {
  REPLY_NONE = -1,
  REPLY_BUSY = 0,
  REPLY_DIALTONE = 1,
  REPLY_CARRIER = 2,
  REPLY_ANSWER = 3,
  REPLY_TIMEOUT = 4,
  REPLY_ERROR = 5,
  REPLY_OK = 6,
  REPLY_CONNECT = 7,
};

// The first result text (slots 6 to 13 in order) that occurs anywhere in the
// line, case-sensitive; an empty text occurs in every line. REPLY_NONE when
// none does.
int classifyReply(const ModemProfile& profile, const std::string& line);

// The first result slot that can never be told apart because it is empty or an
// earlier result text occurs in it (its own reply would classify as the
// earlier class); -1 when every class can be reached.
int profileShadowedSlot(const ModemProfile& profile);
