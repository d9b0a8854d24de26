// The session capture: received text appended to a log file through a
// 1024-byte buffer that is written out whenever it holds 512 bytes.
#pragma once
#include <cstdint>
#include <string>

constexpr int CAPTURE_BUFFER_SIZE = 1024;
constexpr int CAPTURE_FLUSH_AT = 512;

constexpr const char* TEXT_LOG_OPEN_ERROR = "File open error";
constexpr const char* TEXT_CAPTURE_NO_MEMORY = "Failed to allocate memory for capture session";
constexpr const char* TEXT_CAPTURE_EXISTS =
    "File exists. Do you want to overwrite logfile (yes) or append to an existing one(no) ?";

// "<dir>\<entry>.log": dir is the log directory, or fallbackDir when none is
// set. Path characters in the entry name are replaced so the log stays in dir.
std::string captureLogPath(const std::string& logDir, const std::string& fallbackDir,
                           const std::string& entryName);

// Opens the log at path (asking overwrite or append when it exists) and
// starts capturing. Returns 0, or -1 with the message shown and capture off.
int startCapture(const std::string& path);
// Writes out what is held and stops; wanted keeps the choice for the next
// connection (false when the user turned capture off).
void stopCapture(bool wanted);
// One received byte, as the receive path hands it over.
void captureByte(uint8_t b);
// A capture file is open.
bool captureRunning();
// The user's on/off choice, which survives connections.
bool captureWanted();
// Sets the choice without opening a file (offline).
void setCaptureWanted(bool on);

// Connection start and end: capture resumes at a start while wanted and
// stops at every end. Transparent printing ends at every end too.
void captureConnectionStart(const std::string& path);
void captureConnectionEnd();

// Fills the capture and transparent-print slots of the byte path (after
// every terminal reset).
void printHooksInstall();
