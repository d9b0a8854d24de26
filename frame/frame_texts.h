// String-table numbers of the main window's own messages, in every terminal program.
#pragma once

enum FrameText : int {
  TXT_STILL_CONNECTED = 4010,
  TXT_HANG_UP_FIRST = 4011,
  TXT_DISCONNECTED = 4012,
  TXT_NOT_AVAILABLE = 4013,
  TXT_ENTRY_DAMAGED = 4014,
  TXT_HELP_MISSING = 4015,
  TXT_CANNOT_START = 4016,
  TXT_MODEM_NOT_READY = 4017,
  TXT_CARRIER_LOSS = 110,  // the dial-up program's box after a lost session
};
