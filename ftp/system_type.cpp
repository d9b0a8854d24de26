#include "ftp/system_type.h"

#include <cctype>
#include <cstring>
#include <string>

namespace {
struct SystemRow {
  int type;
  const char* name;
  const char* keyword;  // searched in the upper-cased SYST reply; null: never
};
// Keyword order is the search order: "VMS" must come before "VM".
constexpr SystemRow kSystems[] = {
    {SYSTEM_AUTODETECT, "Autodetect", nullptr}, {SYSTEM_UNIX, "Unix", "UNIX"},
    {SYSTEM_MACOS, "Mac OS", "MACOS"},          {SYSTEM_WINDOWS_NT, "Windows NT", "WINDOWS_NT"},
    {SYSTEM_NOVELL, "Novell", "NOVELL"},        {SYSTEM_VMS, "VMS", "VMS"},
    {SYSTEM_VM, "VM", "VM"},                    {SYSTEM_MVS, "MVS", "MVS"},
};
}  // namespace

const char* systemTypeName(int type) {
  for (const SystemRow& row : kSystems)
    if (row.type == type) return row.name;
  return "Unknown";
}

int systemTypeFromReply(const char* text) {
  std::string upper = text ? text : "";
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const SystemRow& row : kSystems)
    if (row.keyword && upper.find(row.keyword) != std::string::npos) return row.type;
  return SYSTEM_UNKNOWN;
}
