// Printing on the Win32 side: the menu commands of the terminal window and the
// printer behind them.
#pragma once
#include <windows.h>

#include <string>

enum PrintMenuItem { PRINT_MENU_CAPTURE, PRINT_MENU_TRANSPARENT };

// The window that owns print jobs and messages, the message that carries its
// network read notification (held during a job, posted again after it), and
// the menu commands that show capture and transparent printing checked. The
// printer kept from Print Setup in an earlier run is taken up here.
void printAttachWindow(HWND owner, UINT netReadMessage, UINT captureCommand, UINT transparentCommand);
HWND printOwner();
void printMenuCheck(PrintMenuItem item, bool on);

// Menu commands. Jobs return 0, or -1 after showing why they failed.
void printSetup();                           // "Print &Setup": the chosen printer is kept
int printBuffer();                           // "&Print Buffer"
int printSelection();                        // "Copy &Printer"
int printTextFile(const std::string& path);  // one document "Logfile"
int printLogfile();                          // "Print &Logfile": asks for the file first
// "Capture &Session": on or off; while online the log at logPath opens or
// closes at once, offline the choice waits for the next connection.
void captureToggle(const std::string& logPath, bool online);
// "Print &Transparent": flips and stores the "TransPrint" choice (the caller
// writes the setting).
bool transPrintToggle();

// The setting that keeps the name of the printer chosen in Print Setup.
constexpr const char* PRINTER_SETTING = "Printer";

constexpr const char* TEXT_NO_PRINTER = "No printer found";
constexpr const char* TEXT_PRINT_FAILED = "Failed to print";
constexpr const char* TEXT_PRINT_CANCELLED = "User cancelled printing";

extern "C" BOOL CALLBACK PrintDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern "C" BOOL CALLBACK PrintAbortFunc(HDC dc, int code);
