#include "shell/help_win32.h"

#include <string>

#include "shell/message_box.h"

namespace {
// HtmlHelpA commands; the header and import library of HTML Help are not
// needed because the library is loaded at run time.
constexpr UINT HH_DISPLAY_TOPIC = 0x0000;
constexpr UINT HH_TP_HELP_WM_HELP = 0x0011;
constexpr UINT HH_CLOSE_ALL = 0x0012;
using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

constexpr int TXT_HELP_FILE_MISSING = 4015;  // "The help file is missing: "

struct Help {
  HMODULE library = nullptr;
  HtmlHelpFn htmlHelp = nullptr;
  std::string file;
};
Help H;

bool helpFileExists() {
  DWORD attributes = GetFileAttributesA(H.file.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
  messageBox(TXT_HELP_FILE_MISSING, H.file.c_str(), MSG_OK | MSG_ICONINFORMATION);
  return false;
}

// "FILE::/name" as HTML Help addresses a file inside the compiled help.
std::string inside(const char* name) { return H.file + "::/" + name; }
}  // namespace

bool helpInit(const char* programDir, const char* chmName, const char* hlpName) {
  if (!H.library) H.library = LoadLibraryA("hhctrl.ocx");
  H.htmlHelp = H.library ? reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(H.library, "HtmlHelpA")))
                         : nullptr;
  H.file = std::string(programDir) + "\\" + (H.htmlHelp ? chmName : hlpName);
  return H.htmlHelp != nullptr;
}

void helpShutdown() {
  if (H.htmlHelp) H.htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
  if (H.library) FreeLibrary(H.library);
  H = Help{};
}

const char* helpFile() { return H.file.c_str(); }

int helpShowTopic(HWND owner, const HelpTopic& topic) {
  if (H.file.empty() || !helpFileExists()) return -1;
  if (H.htmlHelp) return H.htmlHelp(owner, inside(topic.topic).c_str(), HH_DISPLAY_TOPIC, 0) ? 0 : -1;
  return WinHelpA(owner, H.file.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(topic.winHelpContext)) ? 0 : -1;
}

int helpShowContents(HWND owner) {
  if (H.file.empty() || !helpFileExists()) return -1;
  if (H.htmlHelp) return H.htmlHelp(owner, H.file.c_str(), HH_DISPLAY_TOPIC, 0) ? 0 : -1;
  return WinHelpA(owner, H.file.c_str(), HELP_CONTENTS, 0) ? 0 : -1;
}

int helpContextPopup(const HELPINFO* info, const HelpTopic& topic) {
  if (!info || !topic.popups || H.file.empty() || info->iContextType != HELPINFO_WINDOW) return -1;
  // The pop-up files number their texts by control identifier.
  DWORD ids[4] = {static_cast<DWORD>(info->iCtrlId), static_cast<DWORD>(info->iCtrlId), 0, 0};
  HWND control = static_cast<HWND>(info->hItemHandle);
  if (H.htmlHelp)
    return H.htmlHelp(control, inside(topic.popups).c_str(), HH_TP_HELP_WM_HELP, reinterpret_cast<DWORD_PTR>(ids)) ? 0 : -1;
  return WinHelpA(control, H.file.c_str(), HELP_WM_HELP, reinterpret_cast<ULONG_PTR>(ids)) ? 0 : -1;
}
