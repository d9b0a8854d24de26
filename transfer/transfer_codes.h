// Results of the transfer protocols: the negative codes every step and sender
// may return, with the texts the progress dialog shows for them, and the
// positive statuses of one receive step.
#pragma once

#define TRANSFER_ERRORS(X)                         \
  X(XFER_TIMEOUT, -1, "timeout")                   \
  X(XFER_CRC_ERROR, -2, "crc error")               \
  X(XFER_BAD_PACKET, -3, "bad packet")             \
  X(XFER_FILE_OPEN, -4, "file open error")         \
  X(XFER_FILE_WRITE, -5, "file seek/write error")  \
  X(XFER_BAD_HEADER, -6, "Bad header")             \
  X(XFER_BAD_CHAR, -7, "Bad char")                 \
  X(XFER_MAX_ERRORS, -8, "max error exceeded")     \
  X(XFER_FILE_READ, -9, "file read error")         \
  X(XFER_CANCEL_RECEIVED, -10, "cancel received")  \
  X(XFER_USER_CANCEL, -11, "user cancelled")       \
  X(XFER_PROTOCOL_ERROR, -12, "Protocol Error")    \
  X(XFER_BAD_SEQUENCE, -13, "Bad sequence error")  \
  X(XFER_NAK_RECEIVED, -14, "NAK Received")        \
  X(XFER_NO_SENDER, -15, "Sender is not there")    \
  X(XFER_LINK_LOST, -16, "Lost Connection")

enum TransferError {
#define XFER_ENUM(name, code, text) name = code,
  TRANSFER_ERRORS(XFER_ENUM)
#undef XFER_ENUM
};

// The text of a negative code; "" for anything else.
const char* transferErrorText(int code);

// What one receive step reports (negative codes above otherwise).
enum StepResult {
  STEP_NOTHING = 0,     // nothing complete yet
  STEP_BLOCK = 1,       // block accepted or re-acknowledged
  STEP_COMPLETE = 2,    // the transfer is complete
  STEP_NEXT_FILE = 3,   // this file is complete, the next one of the batch follows
};

// The awaitResponse results.
enum ResponseResult {
  RESPONSE_ACK = 1,
  RESPONSE_NAK = 2,
  RESPONSE_CAN = 3,
  RESPONSE_START = 6,  // "C" or "G"
};

// Control bytes of the block protocols.
enum ControlByte : unsigned char {
  SOH = 0x01, STX = 0x02, EOT = 0x04, ACK = 0x06, NAK = 0x15, CAN = 0x18,
  START_CRC = 'C', START_STREAM = 'G',
};
