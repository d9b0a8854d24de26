#include "transfer/transfer_codes.h"

const char* transferErrorText(int code) {
  switch (code) {
#define XFER_TEXT(name, value, text) \
  case value:                        \
    return text;
    TRANSFER_ERRORS(XFER_TEXT)
#undef XFER_TEXT
    default:
      return "";
  }
}
