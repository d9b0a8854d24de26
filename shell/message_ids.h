// Numbers of the string-table texts that the shared code shows.
#pragma once

enum MessageId : int {
  TXT_NO_SERVICE_NAME = 4,
  TXT_NO_ADDRESS = 4000,
  TXT_ENTRY_CREATE_FAILED = 4001,
  TXT_ENTRY_SAVE_FAILED = 4002,
  TXT_TEMPLATE_UNREADABLE = 4003,
  TXT_BOOK_HANG_UP_FIRST = 4011,  // "You must hang up first"
  TXT_BOOK_DELETE_ASK = 4020,
  TXT_DEVICE_OPEN_ERROR = 4050,  // the serial port could not be opened
  TXT_NO_SCROLL_MEMORY = 4030,
  TXT_NO_RUN_MEMORY = 4031,
  // Files of the transfers and the Utilities menu; "File open error" is the
  // script engine's text, shared.
  TXT_FILE_OPEN_ERROR = 7101,
  TXT_FILE_READ_FAILED = 18,
  TXT_BATCH_NO_MEMORY = 91,
  TXT_BATCH_FULL = 92,
};
