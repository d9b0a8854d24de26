// String-table numbers of the Telnet program's own messages.
#pragma once

enum TelnetText : int {
  TXT_STILL_CONNECTED = 4010,
  TXT_HANG_UP_FIRST = 4011,
  TXT_DISCONNECTED = 4012,
  TXT_NOT_AVAILABLE = 4013,
  TXT_ENTRY_DAMAGED = 4014,
  TXT_HELP_MISSING = 4015,
  TXT_CANNOT_START = 4016,
};
