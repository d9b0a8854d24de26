#include "ftp/local_view.h"

#include <cstdio>

std::vector<LocalItem> localViewBuild(const std::vector<LocalItem>& entries, uint32_t driveMask) {
  std::vector<LocalItem> view;
  for (int group : {LOCAL_DIRECTORY, LOCAL_FILE})
    for (const LocalItem& e : entries)
      if (e.kind == group && e.name != ".") view.push_back(e);
  // The A: drive is listed whether or not a disk is in it.
  driveMask |= 1;
  for (int d = 0; d < 26; ++d)
    if (driveMask & (1u << d)) {
      LocalItem drive;
      drive.name = std::string(1, static_cast<char>('A' + d)) + ":\\";
      drive.kind = LOCAL_DRIVE;
      view.push_back(drive);
    }
  return view;
}

std::string localDateText(int64_t modified) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  int64_t days = modified / 86400, secs = modified % 86400;
  if (secs < 0) {
    secs += 86400;
    --days;
  }
  // Civil date from days since 1970-01-01 (proleptic Gregorian).
  int64_t z = days + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  long long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  char text[64];
  std::snprintf(text, sizeof text, "%s %02d %02lld %02d:%02d:%02d", kMonths[month - 1], day, year,
                static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60));
  return text;
}

std::string localSizeText(const LocalItem& item) {
  // The whole 64-bit size: a 32-bit field would show a 5 GB file as 1 GB.
  return item.kind == LOCAL_FILE ? std::to_string(item.size) : std::string();
}

static bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::string localJoin(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return isSeparator(dir.back()) ? dir + name : dir + "\\" + name;
}

std::string localParent(const std::string& dir) {
  std::string d = dir;
  while (d.size() > 1 && isSeparator(d.back()) && !(d.size() == 3 && d[1] == ':')) d.pop_back();
  size_t at = d.find_last_of("\\/");
  if (at == std::string::npos) return d;
  // "C:\a" -> "C:\", "/a" -> "/": a root keeps its separator.
  if (at == 0 || (at == 2 && d[1] == ':')) return d.substr(0, at + 1);
  return d.substr(0, at);
}
