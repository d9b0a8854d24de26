#include "transfer/received_name.h"

#include <cctype>
#include <cstring>

namespace {
bool deviceName(const std::string& name) {
  // Windows takes the part before the first dot, trailing blanks dropped.
  std::string stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" || stem == "CONOUT$")
    return true;
  return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) && stem[3] >= '1' &&
         stem[3] <= '9';
}
}  // namespace

int receivedNameRule(const std::string& name, std::string* out) {
  std::string kept = name;
  while (!kept.empty() && (kept.back() == '.' || kept.back() == ' ')) kept.pop_back();
  if (kept.empty()) return -1;  // "", ".", ".." and names of dots and blanks only
  for (char c : kept)
    if (static_cast<unsigned char>(c) < 0x20 || std::strchr("<>:\"/\\|?*", c)) return -1;
  *out = deviceName(kept) ? "_" + kept : kept;
  return 0;
}
