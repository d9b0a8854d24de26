// What a transfer shows while it runs. The engines report through the
// functions below; the progress dialog (or a tool, or a test) fills the slots
// of transferView. A slot is never null: transferViewReset() fills every one
// with a function that does nothing, and callers replace slots, never empty them.
#pragma once
#include <cstdint>

// The fields of the progress dialog, by the control ids of its template.
enum TransferField {
  FIELD_FILENAME = 10,
  FIELD_PROTOCOL = 11,
  FIELD_STATUS = 12,
  FIELD_BYTE_COUNT = 13,
  FIELD_ELAPSED = 14,
  FIELD_FILESIZE = 15,
  FIELD_ERROR = 16,
  FIELD_RATE = 17,
  FIELD_PERCENT = 18,
  FIELD_BAR = 19,
  FIELD_REMAINING = 20,
  FIELD_ERROR_COUNT = 100,
  FIELD_BUTTON = 300,
};

struct TransferView {
  void (*setText)(int field, const char* text);
  void (*setPercent)(int percent);  // the bar: 0..100
  void (*beep)();
  // The real-time JPEG hand-off to the image viewer: start it for a file,
  // announce the bytes the file now holds, finish the hand-off.
  void (*jpegStart)(const char* path);
  void (*jpegData)(uint32_t byteCount);
  void (*jpegFinish)();
};
extern TransferView transferView;
void transferViewReset();

void viewText(int field, const char* text);
void viewNumber(int field, unsigned long value);  // "%lu"
void viewBeep();

// "%02d:%02d:%02d" of a duration in milliseconds (hours not wrapped).
void formatDuration(uint32_t ms, char out[16]);
// The figures updateProgress shows, computed from the state and the clock.
struct ProgressFigures {
  uint32_t elapsedMs;
  long rate;               // bytes per second; -1 before the first second
  long remainingMs;        // -1 when not known
  int percent;             // -1 when the size is unknown
};
ProgressFigures progressFigures(uint32_t byteCount, uint32_t fileSize, uint32_t resumeOffset,
                                uint32_t elapsedMs);

// Refreshes the dialog after a block: direction 0 receiving, 1 sending.
void updateProgress(int direction);
// The same from a per-block loop: only when the bar would move, the file is
// whole or a tenth of a second has passed. Formatting the figures (and under
// Win32 setting seven controls) for every block slowed the block round trip.
void updateProgressPaced(int direction);
// "Status:" "Retrying", "Error:" text, "Total Errors:" the error count.
void showRetry(const char* text);
// The file name (base name of path) and size ("Unknown" for 0).
void showFileName(const char* path);
void showFileSize(uint32_t size);
