// The remote system kinds: how paths are separated and how a listing reads.
// One table gives each value its display name and the keyword that picks it
// out of a SYST reply.
#pragma once

enum SystemType {
  SYSTEM_AUTODETECT = 0,
  SYSTEM_UNIX = 1,
  SYSTEM_MACOS = 2,
  SYSTEM_WINDOWS_NT = 3,
  SYSTEM_NOVELL = 4,
  SYSTEM_VMS = 5,
  SYSTEM_VM = 6,
  SYSTEM_MVS = 7,
  SYSTEM_UNKNOWN = 99,
};

// Display name of a system type ("Unknown" for 99 and anything not listed).
const char* systemTypeName(int type);
// The type whose keyword the SYST reply text contains, tested in table order
// ("VMS" before "VM"); SYSTEM_UNKNOWN when none does. Case does not matter.
int systemTypeFromReply(const char* text);
// Types 1 to 4 share slash-separated paths and the Unix long listing.
inline bool systemUsesSlashPaths(int type) { return type >= SYSTEM_UNIX && type <= SYSTEM_NOVELL; }
