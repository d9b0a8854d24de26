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
};
