#include "shell/settings_posix.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "shell/settings.h"

namespace {
struct NoCase {
  bool operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
  }
};
std::map<std::string, std::string, NoCase> values;
}  // namespace

void settingsReset() { values.clear(); }
int settingsCount() { return static_cast<int>(values.size()); }

int regReadString(const char* name, const char* dflt, char* buffer, size_t size) {
  if (!buffer || size == 0) return 0;
  auto it = values.find(name ? name : "");
  const char* text = it != values.end() ? it->second.c_str() : (dflt ? dflt : "");
  size_t n = strnlen(text, size - 1 < 1024 ? size - 1 : 1024);
  memcpy(buffer, text, n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

int regReadInt(const char* name, int dflt) {
  auto it = values.find(name ? name : "");
  if (it == values.end()) return dflt;
  return settingsDecimal(it->second.c_str());
}

int regWriteString(const char* name, const char* text) {
  if (!name) return -1;
  values[name] = text ? text : "";
  return 0;
}
