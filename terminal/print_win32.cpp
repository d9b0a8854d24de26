#include "terminal/print_win32.h"

#include <commdlg.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "terminal/capture.h"
#include "terminal/notice.h"
#include "terminal/print_ids.h"
#include "terminal/print_pages.h"
#include "terminal/transparent_print.h"

namespace {

struct Printing {
  HWND owner = nullptr;
  UINT netReadMessage = 0;
  HGLOBAL devMode = nullptr;   // kept from Print Setup
  HGLOBAL devNames = nullptr;
  std::string chosen;          // the printer chosen in Print Setup, kept across runs
  // The running job.
  HWND abortDialog = nullptr;
  bool cancelled = false;
  // Network notifications that arrived during the job, in order: keeping only
  // the last would lose a read when a write or close notice follows it.
  std::vector<MSG> held;
};

Printing printing;
// Each socket event is re-armed only by its own call, so a handful is all
// that can arrive during one job.
constexpr size_t HELD_MAX = 64;

bool printerInstalled(const std::string& name) {
  HANDLE printer = nullptr;
  if (name.empty() || !OpenPrinterA(const_cast<char*>(name.c_str()), &printer, nullptr)) return false;
  ClosePrinter(printer);
  return true;
}

void forgetChoice() {
  if (printing.devMode) GlobalFree(printing.devMode);
  if (printing.devNames) GlobalFree(printing.devNames);
  printing.devMode = printing.devNames = nullptr;
  printing.chosen.clear();
}

// The printer chosen in Print Setup, else the system's default printer; empty
// when neither is installed. A chosen printer that has gone since is
// forgotten with a message, and the default takes its place.
std::string printerName() {
  if (!printing.chosen.empty()) {
    if (printerInstalled(printing.chosen)) return printing.chosen;
    std::string text = "The printer \"" + printing.chosen + "\" chosen in Print Setup is no longer installed. " +
                       "The default printer is used instead.";
    forgetChoice();
    noticeShow(text.c_str(), "Message");
  }
  char device[256] = "";
  GetProfileStringA("windows", "Device", "", device, sizeof device);
  std::string text = device;
  std::string name = text.substr(0, text.find(','));
  if (printerInstalled(name)) return name;
  DWORD size = sizeof device;
  if (GetDefaultPrinterA(device, &size) && printerInstalled(device)) return device;
  return std::string();
}

HDC printerDc() {
  std::string name = printerName();
  if (name.empty()) {
    noticeShow(TEXT_NO_PRINTER, "Message");
    return nullptr;
  }
  DEVMODEA* mode = printing.devMode ? static_cast<DEVMODEA*>(GlobalLock(printing.devMode)) : nullptr;
  HDC dc = CreateDCA("WINSPOOL", name.c_str(), nullptr, mode);
  if (mode) GlobalUnlock(printing.devMode);
  if (!dc) noticeShow(TEXT_PRINT_FAILED, "Message");
  return dc;
}

void beginJob(HDC dc) {
  printing.cancelled = false;
  printing.held.clear();
  SetAbortProc(dc, PrintAbortFunc);
  printing.abortDialog = CreateDialogA(GetModuleHandleA(nullptr), PRINT_ABORT_DIALOG, printing.owner, PrintDlgFunc);
  if (printing.owner) EnableWindow(printing.owner, FALSE);
}

// Closes the abort dialog (it closed itself when cancelled), gives back the
// printer and posts the network notifications held during the job.
void endJob(HDC dc) {
  if (printing.owner) EnableWindow(printing.owner, TRUE);
  if (printing.abortDialog) DestroyWindow(printing.abortDialog);
  printing.abortDialog = nullptr;
  if (dc) DeleteDC(dc);
  for (const MSG& msg : printing.held) PostMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
  printing.held.clear();
}

int failJob(HDC dc, bool started) {
  MessageBeep(MB_OK);
  noticeShow(printing.cancelled ? TEXT_PRINT_CANCELLED : TEXT_PRINT_FAILED, "Message");
  if (started) AbortDoc(dc);
  endJob(dc);
  return -1;
}

// Prints lines as one document, split into pages by the line height of the
// printer font.
int printLines(const char* document, const std::vector<PrintLine>& lines) {
  HDC dc = printerDc();
  if (!dc) return -1;
  beginJob(dc);
  HFONT font = CreateFontA(-MulDiv(10, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                           ANSI_CHARSET, 0, 0, 0, FIXED_PITCH | FF_MODERN, "Courier New");
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
  int linesPerPage = lineHeight > 0 ? GetDeviceCaps(dc, VERTRES) / lineHeight : 1;
  DOCINFOA info = {};
  info.cbSize = sizeof info;
  info.lpszDocName = document;
  bool started = StartDocA(dc, &info) > 0;
  bool ok = started;
  for (const auto& page : paginate(lines, linesPerPage)) {
    if (!ok || printing.cancelled) break;
    ok = StartPage(dc) > 0;
    // Each page starts with the font selected again: some drivers reset it.
    if (ok && font) SelectObject(dc, font);
    int y = 0;
    for (const std::string& line : page) {
      if (!ok) break;
      ok = TextOutA(dc, 0, y, line.data(), static_cast<int>(line.size())) != 0 || line.empty();
      y += lineHeight;
    }
    ok = ok && EndPage(dc) > 0;
  }
  ok = ok && !printing.cancelled;
  if (old) SelectObject(dc, old);
  if (font) DeleteObject(font);
  if (!ok) return failJob(dc, started);
  if (EndDoc(dc) <= 0) return failJob(dc, false);
  endJob(dc);
  return 0;
}

std::string readFile(const std::string& path, bool* ok) {
  std::ifstream in(path, std::ios::binary);
  *ok = static_cast<bool>(in);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The spooled bytes as a RAW job through the spooler: they reach the printer
// byte for byte, where a driver's pass-through may wrap them in its own page
// language. Returns 1 printed, 0 when the spooler refuses RAW, -1 on failure.
int printRaw(const std::string& bytes) {
  std::string name = printerName();
  if (name.empty()) {
    noticeShow(TEXT_NO_PRINTER, "Message");
    return -1;
  }
  HANDLE printer = nullptr;
  if (!OpenPrinterA(const_cast<char*>(name.c_str()), &printer, nullptr)) {
    noticeShow(TEXT_PRINT_FAILED, "Message");
    return -1;
  }
  DOC_INFO_1A info = {};
  info.pDocName = const_cast<char*>("Logfile");
  info.pDatatype = const_cast<char*>("RAW");
  if (!StartDocPrinterA(printer, 1, reinterpret_cast<BYTE*>(&info))) {
    ClosePrinter(printer);
    return 0;
  }
  bool ok = StartPagePrinter(printer);
  for (size_t at = 0; ok && at < bytes.size(); at += 1024) {
    DWORD length = static_cast<DWORD>(std::min<size_t>(1024, bytes.size() - at)), written = 0;
    ok = WritePrinter(printer, const_cast<char*>(bytes.data() + at), length, &written) && written == length;
  }
  ok = EndPagePrinter(printer) && ok;
  ok = EndDocPrinter(printer) && ok;
  ClosePrinter(printer);
  if (ok) return 1;
  MessageBeep(MB_OK);
  noticeShow(TEXT_PRINT_FAILED, "Message");
  return -1;
}

}  // namespace

extern "C" BOOL CALLBACK PrintDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    printing.cancelled = true;
    if (printing.owner) EnableWindow(printing.owner, TRUE);
    DestroyWindow(dialog);
    printing.abortDialog = nullptr;
    return TRUE;
  }
  return FALSE;
}

// Keeps the program responsive during a job; the network read notification is
// held so that no received data is processed while a document is open.
extern "C" BOOL CALLBACK PrintAbortFunc(HDC, int) {
  MSG msg;
  while (!printing.cancelled && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (printing.netReadMessage && msg.message == printing.netReadMessage && msg.hwnd == printing.owner) {
      if (printing.held.size() < HELD_MAX) printing.held.push_back(msg);
      continue;
    }
    if (printing.abortDialog && IsDialogMessageA(printing.abortDialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return !printing.cancelled;
}

void printAttachWindow(HWND owner, UINT netReadMessage, const char* chosenPrinter) {
  printing.owner = owner;
  printing.netReadMessage = netReadMessage;
  if (printing.devMode) GlobalFree(printing.devMode);
  if (printing.devNames) GlobalFree(printing.devNames);
  printing.devMode = printing.devNames = nullptr;
  printing.chosen = chosenPrinter ? chosenPrinter : "";
}

HWND printOwner() { return printing.owner; }

const std::string& printChosen() { return printing.chosen; }

// A DEVNAMES block naming the printer kept from an earlier run, so that Print
// Setup opens on it.
HGLOBAL devNamesFor(const std::string& device) {
  size_t size = sizeof(DEVNAMES) + device.size() + sizeof "winspool" + 2;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  auto* names = block ? static_cast<DEVNAMES*>(GlobalLock(block)) : nullptr;
  if (!names) return block;
  char* base = reinterpret_cast<char*>(names);
  names->wDriverOffset = sizeof(DEVNAMES);
  memcpy(base + names->wDriverOffset, "winspool", sizeof "winspool");
  names->wDeviceOffset = static_cast<WORD>(names->wDriverOffset + sizeof "winspool");
  memcpy(base + names->wDeviceOffset, device.c_str(), device.size() + 1);
  names->wOutputOffset = static_cast<WORD>(names->wDeviceOffset + device.size() + 1);
  GlobalUnlock(block);
  return block;
}

bool printSetup() {
  if (!printing.devNames && !printing.chosen.empty()) printing.devNames = devNamesFor(printing.chosen);
  PRINTDLGA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = printing.owner;
  dialog.hDevMode = printing.devMode;
  dialog.hDevNames = printing.devNames;
  dialog.Flags = PD_PRINTSETUP;
  if (!PrintDlgA(&dialog)) return false;
  printing.devMode = dialog.hDevMode;
  printing.devNames = dialog.hDevNames;
  auto* names = printing.devNames ? static_cast<DEVNAMES*>(GlobalLock(printing.devNames)) : nullptr;
  if (!names) return false;
  printing.chosen = reinterpret_cast<const char*>(names) + names->wDeviceOffset;
  GlobalUnlock(printing.devNames);
  return true;
}

int printBuffer() { return printLines("Buffer", bufferLines()); }

int printSelection() {
  std::vector<PrintLine> lines = selectionLines();
  if (lines.empty()) return 0;
  return printLines("Buffer", lines);
}

int printTextFile(const std::string& path) {
  bool ok = false;
  std::string bytes = readFile(path, &ok);
  if (!ok) {
    noticeShow(TEXT_LOG_OPEN_ERROR, "Message");
    return -1;
  }
  return printLines("Logfile", textFileLines(bytes));
}

int printLogfile(const char* logDir) {
  char path[MAX_PATH] = "";
  // The file dialog opens in the log directory, where captures are written.
  OPENFILENAMEA dialog = {};
  dialog.lpstrInitialDir = logDir && logDir[0] ? logDir : nullptr;
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = printing.owner;
  dialog.lpstrFilter = "Log files (*.log)\0*.log\0All files (*.*)\0*.*\0";
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&dialog)) return 0;
  return printTextFile(path);
}

void captureToggle(const std::string& logPath, bool online) {
  if (captureRunning() || captureWanted())
    stopCapture(false);
  else if (online)
    startCapture(logPath);
  else
    setCaptureWanted(true);
}

bool transPrintToggle() {
  setTransparentPrintEnabled(!transparentPrintEnabled());
  return transparentPrintEnabled();
}

void printSpoolFile(const std::string& path) {
  bool ok = false;
  std::string bytes = readFile(path, &ok);
  if (!ok) {
    noticeShow(TEXT_LOG_OPEN_ERROR, "Message");
    return;
  }
  if (printRaw(bytes) == 0) printTextFile(path);
}
