#include "dialup/reply_class.h"

int classifyReply(const ModemProfile& profile, const std::string& line) {
  for (int c = REPLY_BUSY; c <= REPLY_CONNECT; ++c)
    if (line.find(profileSlot(profile, SLOT_RESULT_BUSY + c)) != std::string::npos) return c;
  return REPLY_NONE;
}

int profileShadowedSlot(const ModemProfile& profile) {
  for (int c = REPLY_BUSY; c <= REPLY_CONNECT; ++c) {
    std::string own = profileSlot(profile, SLOT_RESULT_BUSY + c);
    if (own.empty() || classifyReply(profile, own) != c) return SLOT_RESULT_BUSY + c;
  }
  return -1;
}
