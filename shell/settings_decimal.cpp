#include <cctype>
#include <climits>
#include <cstdlib>

#include "shell/settings.h"

int settingsDecimal(const char* text) {
  if (!text) return 0;
  char* end = nullptr;
  long long v = strtoll(text, &end, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}
