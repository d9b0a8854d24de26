// String-table numbers of the dialing's messages.
#pragma once

enum DialText : int {
  TXT_INIT_FAILED = 14,       // no answer to the initialisation string
  TXT_ALL_ATTEMPTS = 105,     // the dial run ended without a connection
};
