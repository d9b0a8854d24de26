// The state of the one running transfer. The progress dialog owns it while it
// exists; the protocol engines reach it through transferState(). Tests select
// a second instance to run a sender and a receiver of ours in one process.
#pragma once
#include <cstdint>

#include "transfer/batch_list.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_settings.h"

// One block plus its framing (1024 data + 5, rounded up).
constexpr int RECEIVE_BUFFER_SIZE = 1056;
// Start byte, block number, complement, 1024 data bytes, two check bytes.
constexpr int SEND_BUFFER_SIZE = 1029;

// Timers of the transfer (ids as the dialogs and the main window use them).
constexpr int TIMER_LINE_WRITE = 23;   // 30 s line write / 10 s ZMODEM read wait
constexpr int TIMER_INACTIVITY = 24;   // 27 s without a received byte
constexpr int TIMER_RESPONSE = 25;     // 60 s response wait of a sender
constexpr uint32_t LINE_WRITE_MS = 30000;
constexpr uint32_t INACTIVITY_MS = 27000;
constexpr uint32_t RESPONSE_MS = 60000;
// ZMODEM waits 10 s for a byte, on both sides, in place of the 27 s above.
constexpr uint32_t ZMODEM_READ_MS = 10000;

struct TransferState {
  TransferSettings settings;
  int protocol;
  bool active;
  bool cancelRequested;
  bool finished;
  volatile bool responseTimedOut;   // timer 25
  volatile bool inactivityExpired;  // timer 24
  volatile bool writeTimedOut;      // timer 23
  bool inactivityRunning;
  bool firstBlockSeen;
  uint8_t expectedBlock;
  uint32_t byteCount;
  uint32_t fileSize;     // 0 = unknown
  uint32_t resumeOffset;
  uint32_t startTick;
  int errorCount;
  int pendingCount;
  int frameLength;       // length of the frame being collected, 0 until its start byte
  int lastResponseChar;  // -1 when none
  bool realTimeJpeg;
  bool sending;          // direction for the progress display
  int lastPercent;
  uint32_t progressTick;  // when the progress was last shown
  BatchList batch;
  char localPath[TRANSFER_PATH_MAX];
  TransferFile file;     // localPath while its blocks pass (see transfer_files.h)
  uint8_t frame[RECEIVE_BUFFER_SIZE];
  uint8_t sendFrame[SEND_BUFFER_SIZE];
  uint32_t turnTick;     // when the pump last had a turn during the transfer (transfer_line.cpp)
  int idlePolls;         // empty line polls since the last byte (see transfer_line.cpp)
  bool lineAnswered;     // the last look, read or write worked and nothing ran since (transfer_line.cpp)
  int eotCount;          // EOTs seen since the last block (a receiver confirms an EOT)
  int canCount;          // CAN bytes in a row between frames (two cancel the transfer)
  int endCode;           // the code an aborted transfer ended with (abortReceive), 0 when none
};

// The current instance (the process's own one unless a test selected another).
TransferState& transferState();
// Makes s the current instance; nullptr selects the process's own one again.
void transferSelect(TransferState* s);
// Closes the file, clears everything but the settings (the batch list too),
// takes the protocol from them and sets lastResponseChar to "none".
void transferClear(TransferState& s);
// Clear, then take settings (maximum errors already defaulted) and protocol.
void transferBegin(TransferState& s, const TransferSettings& settings);
