// Transparent printing: between ESC [ 5 i (ESC W in VT52) and ESC [ 4 i every
// received byte goes to a spool file, which is printed when the job ends.
#pragma once
#include <cstdint>
#include <string>

constexpr int SPOOL_BUFFER_SIZE = 1024;
constexpr int SPOOL_CHUNK = 512;

// The user's "TransPrint" setting.
void setTransparentPrintEnabled(bool on);
bool transparentPrintEnabled();
// Where the job is spooled ("temp.txt" in the current directory).
void setSpoolPath(const std::string& path);
const std::string& spoolPath();

void startTransparentPrint();
void transparentPrintByte(uint8_t b);
// Ends the job and prints it. matched: the end sequence was seen, so its four
// bytes are the spool file's last four and are cut off.
void endTransparentPrint(bool matched);
bool transparentPrinting();

// Fills the transparent-print slots of the byte path.
void transparentPrintInstall();

// Prints the finished spool file (platform).
void printSpoolFile(const std::string& path);
