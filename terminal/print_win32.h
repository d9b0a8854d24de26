// Printing on the Win32 side: the menu commands of the terminal window and the
// printer behind them.
#pragma once
#include <windows.h>

#include <string>

// The window that owns print jobs and messages, the message that carries its
// line's read notification (held during a job, posted again after it), and
// the printer chosen in Print Setup in an earlier run ("" for none).
void printAttachWindow(HWND owner, UINT netReadMessage, const char* chosenPrinter);
HWND printOwner();
// The printer chosen now: what Print Setup picked, "" once a chosen printer
// was found gone (a job then said so and took the default).
const std::string& printChosen();

// Menu commands. Jobs return 0, or -1 after showing why they failed.
bool printSetup();                           // "Print &Setup": true when a printer was picked
int printBuffer();                           // "&Print Buffer"
int printSelection();                        // "Copy &Printer"
int printTextFile(const std::string& path);  // one document "Logfile"
int printLogfile(const char* logDir);        // "Print &Logfile": asks for the file first
// "Capture &Session": on or off; while online the log at logPath opens or
// closes at once, offline the choice waits for the next connection.
void captureToggle(const std::string& logPath, bool online);
// "Print &Transparent": flips and stores the "TransPrint" choice (the caller
// writes the setting).
bool transPrintToggle();

constexpr const char* TEXT_NO_PRINTER = "No printer found";
constexpr const char* TEXT_PRINT_FAILED = "Failed to print";
constexpr const char* TEXT_PRINT_CANCELLED = "User cancelled printing";

extern "C" BOOL CALLBACK PrintDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern "C" BOOL CALLBACK PrintAbortFunc(HDC dc, int code);
