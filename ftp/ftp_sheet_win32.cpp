// The configuration sheet over an FTP entry: its own "General" and "File
// Transfer Options" pages, and the shared "Firewall", "Color", "Fonts" and
// "Default Dir" pages, which edit a Telnet-shaped working copy that carries
// the FTP entry's font, colours, directories and capture choice.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "frame/config_ids.h"
#include "frame/config_internal_win32.h"
#include "ftp/ftp_help.h"
#include "ftp/ftp_ids.h"
#include "ftp/ftp_program_win32.h"
#include "shell/book_files.h"
#include "shell/help_win32.h"
#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "shell/settings.h"
#include "shell/settings_defaults.h"
#include "terminal/colours.h"

namespace {
FtpEntry work;  // what the FTP pages edit
bool workIsNew = false;

// --- the shared pages' copy ----------------------------------------------------

// COLORREF to the shared pages' colour field and back: 0 is "the default".
int colourField(const FtpEntry& e, const FieldSpec& field) {
  if (recordInt(e.bytes, ftpField::ownColours) == 0) return 0;
  uint32_t c = static_cast<uint32_t>(recordInt(e.bytes, field));
  return colourFieldFromRgb(c & 0xFF, c >> 8 & 0xFF, c >> 16 & 0xFF);
}

BookEntry bridgeFrom(const FtpEntry& e) {
  BookEntry b{};
  for (int i = 0; i < ftpFieldCount; ++i) {
    const FieldSpec& f = ftpFieldTable[i];
    if (std::string(f.name).compare(0, 4, "font") != 0) continue;
    for (int j = 0; j < bookFieldCount; ++j)
      if (std::string(bookFieldTable[j].name) == f.name) {
        if (f.kind == FIELD_TEXT) recordSetText(b.bytes, bookFieldTable[j], recordText(e.bytes, f).c_str());
        else recordSetInt(b.bytes, bookFieldTable[j], recordInt(e.bytes, f));
      }
  }
  recordSetInt(b.bytes, bookField::colour1, colourField(e, ftpField::textColour));
  recordSetInt(b.bytes, bookField::colour2, colourField(e, ftpField::backColour));
  recordSetText(b.bytes, bookField::downloadDir, recordText(e.bytes, ftpField::downloadDir).c_str());
  char session[1028] = "";
  regReadString(SETTING_SESSION, "", session, sizeof session);
  recordSetText(b.bytes, bookField::sessionDir, session);
  recordSetInt(b.bytes, bookField::sessionCapture, recordInt(e.bytes, ftpField::sessionCapture));
  recordSetText(b.bytes, bookField::name, recordText(e.bytes, ftpField::name).c_str());
  return b;
}

void bridgeBack(const BookEntry& b, FtpEntry& e) {
  for (int i = 0; i < ftpFieldCount; ++i) {
    const FieldSpec& f = ftpFieldTable[i];
    if (std::string(f.name).compare(0, 4, "font") != 0) continue;
    for (int j = 0; j < bookFieldCount; ++j)
      if (std::string(bookFieldTable[j].name) == f.name) {
        if (f.kind == FIELD_TEXT) recordSetText(e.bytes, f, recordText(b.bytes, bookFieldTable[j]).c_str());
        else recordSetInt(e.bytes, f, recordInt(b.bytes, bookFieldTable[j]));
      }
  }
  int64_t text = recordInt(b.bytes, bookField::colour1), back = recordInt(b.bytes, bookField::colour2);
  bool own = text != 0 || back != 0;
  recordSetInt(e.bytes, ftpField::ownColours, own ? 1 : 0);
  const uint32_t* palette = terminalColours.palette;
  recordSetInt(e.bytes, ftpField::textColour, colourFromField(text, palette, palette[7]));
  recordSetInt(e.bytes, ftpField::backColour, colourFromField(back, palette, palette[0]));
  // The entry's field is shorter than the page's: a longer path is not taken.
  std::string download = recordText(b.bytes, bookField::downloadDir);
  if (download.size() < ftpField::downloadDir.size) recordSetText(e.bytes, ftpField::downloadDir, download.c_str());
  recordSetInt(e.bytes, ftpField::sessionCapture, recordInt(b.bytes, bookField::sessionCapture) != 0 ? 1 : 0);
  std::string session = recordText(b.bytes, bookField::sessionDir);
  char stored[1028] = "";
  regReadString(SETTING_SESSION, "", stored, sizeof stored);
  if (session != stored) regWriteString(SETTING_SESSION, session.c_str());
}

// --- the FTP pages -------------------------------------------------------------

INT_PTR pageMessage(HWND page, UINT m, LPARAM lp, const HelpTopic& help, int (*apply)(HWND)) {
  if (m == WM_HELP) {
    helpContextPopup(reinterpret_cast<const HELPINFO*>(lp), help);
    return TRUE;
  }
  if (m != WM_NOTIFY) return FALSE;
  const NMHDR* n = reinterpret_cast<const NMHDR*>(lp);
  switch (n->code) {
    case PSN_APPLY:
      SetWindowLongPtrA(page, DWLP_MSGRESULT, apply(page) ? PSNRET_INVALID : PSNRET_NOERROR);
      return TRUE;
    case PSN_KILLACTIVE: SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE); return TRUE;
    case PSN_HELP: helpShowTopic(page, help); return TRUE;
    default: return FALSE;
  }
}

void generalShow(HWND d) {
  using namespace ftpField;
  limitText(d, IDC_FTP_NAME, name.size - 1);
  limitText(d, IDC_FTP_ADDRESS, address.size - 1);
  limitText(d, IDC_FTP_USERNAME, userName.size - 1);
  limitText(d, IDC_FTP_PASSWORD, password.size - 1);
  limitText(d, IDC_FTP_PORT, 5);
  setItemText(d, IDC_FTP_NAME, recordText(work.bytes, name));
  SendDlgItemMessageA(d, IDC_FTP_NAME, EM_SETREADONLY, !workIsNew, 0);
  setItemText(d, IDC_FTP_ADDRESS, recordText(work.bytes, address));
  setItemText(d, IDC_FTP_USERNAME, recordText(work.bytes, userName));
  setItemText(d, IDC_FTP_PASSWORD, recordText(work.bytes, password));
  int64_t p = recordInt(work.bytes, port);
  setItemText(d, IDC_FTP_PORT, p > 0 && p <= 65535 ? std::to_string(p) : std::string());
  setChecked(d, IDC_FTP_ANONYMOUS, recordInt(work.bytes, anonymous) != 0);
  setChecked(d, IDC_FTP_SAVE_PASSWORD, recordInt(work.bytes, savePassword) != 0);
  setChecked(d, IDC_FTP_USE_FIREWALL, recordInt(work.bytes, useFirewall) != 0);
  setChecked(d, IDC_FTP_NO_WINDOW, recordInt(work.bytes, noFtpWindow) != 0);
  EnableWindow(GetDlgItem(d, IDC_FTP_PASSWORD), isChecked(d, IDC_FTP_SAVE_PASSWORD));
}

// A typed port: a number from 1 to 65535, else 0 (the FTP service).
int portOf(const std::string& typed) {
  if (typed.empty() || typed.size() > 5 || typed.find_first_not_of("0123456789") != std::string::npos) return 0;
  int p = std::stoi(typed);
  return p <= 65535 ? p : 0;
}

int generalRead(HWND d) {
  using namespace ftpField;
  std::string entryName = itemText(d, IDC_FTP_NAME);
  // A name that is no file name in the program directory (a path separator,
  // a drive colon, "..") would write the entry somewhere else: refused.
  if (!isValidEntryName(entryName.c_str())) {
    messageBeep();
    messageBoxTitled(TXT_ENTRY_CREATE_FAILED, nullptr, SAVE_ERROR_TITLE, MSG_OK | MSG_ICONINFORMATION);
    return TXT_ENTRY_CREATE_FAILED;
  }
  recordSetText(work.bytes, name, entryName.c_str());
  recordSetText(work.bytes, address, itemText(d, IDC_FTP_ADDRESS).c_str());
  recordSetText(work.bytes, userName, itemText(d, IDC_FTP_USERNAME).c_str());
  bool save = isChecked(d, IDC_FTP_SAVE_PASSWORD);
  recordSetText(work.bytes, password, save ? itemText(d, IDC_FTP_PASSWORD).c_str() : "");
  recordSetInt(work.bytes, port, portOf(itemText(d, IDC_FTP_PORT)));
  recordSetInt(work.bytes, anonymous, isChecked(d, IDC_FTP_ANONYMOUS));
  recordSetInt(work.bytes, savePassword, save);
  recordSetInt(work.bytes, useFirewall, isChecked(d, IDC_FTP_USE_FIREWALL));
  recordSetInt(work.bytes, noFtpWindow, isChecked(d, IDC_FTP_NO_WINDOW));
  return 0;
}

INT_PTR CALLBACK InternetDlgFunc(HWND d, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_INITDIALOG) {
    generalShow(d);
    return TRUE;
  }
  if (m == WM_COMMAND && LOWORD(wp) == IDC_FTP_SAVE_PASSWORD) {
    EnableWindow(GetDlgItem(d, IDC_FTP_PASSWORD), isChecked(d, IDC_FTP_SAVE_PASSWORD));
    return TRUE;
  }
  return pageMessage(d, m, lp, HELP_FTP_GENERAL, generalRead);
}

struct OptionBox {
  int control;
  const FieldSpec& field;
};
const OptionBox OPTION_BOXES[] = {
    {IDC_FILE_TO_CURRENT, ftpField::downloadToCurrent}, {IDC_FILE_BINARY, ftpField::binary},
    {IDC_FILE_PASSIVE, ftpField::passive},              {IDC_FILE_RECOVER, ftpField::recover},
    {IDC_FILE_HIDE_LISTING, ftpField::hideListing},
};

int optionsRead(HWND d) {
  for (const OptionBox& b : OPTION_BOXES) recordSetInt(work.bytes, b.field, isChecked(d, b.control) ? 1 : 0);
  return 0;
}

INT_PTR CALLBACK FileOptionsDlgFunc(HWND d, UINT m, WPARAM, LPARAM lp) {
  if (m == WM_INITDIALOG) {
    for (const OptionBox& b : OPTION_BOXES) setChecked(d, b.control, recordInt(work.bytes, b.field) != 0);
    return TRUE;
  }
  return pageMessage(d, m, lp, HELP_FTP_FILE_OPTIONS, optionsRead);
}

// The shared firewall page, with the FTP program's own topic and pop-ups.
INT_PTR CALLBACK FtpFirewallDlgFunc(HWND d, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_HELP) {
    helpContextPopup(reinterpret_cast<const HELPINFO*>(lp), HELP_FTP_FIREWALL);
    return TRUE;
  }
  if (m == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lp)->code == static_cast<UINT>(PSN_HELP)) {
    helpShowTopic(d, HELP_FTP_FIREWALL);
    return TRUE;
  }
  return FirewallDlgFunc(d, m, wp, lp);
}

struct PageSpec {
  const char* resource;
  DLGPROC procedure;
};
const PageSpec PAGES[FTP_PAGE_COUNT] = {
    {"FTPINTERNETDIALOG", InternetDlgFunc}, {"FILEOPTION", FileOptionsDlgFunc}, {"FIREWALL", FtpFirewallDlgFunc},
    {"COLOR", ColorDlgFunc},                {"FONTDLG", FontDlgFunc},           {"DEFDIR", DirDlgFunc},
};
}  // namespace

int ftpSettingsSheet(HWND owner, FtpEntry* entry, int firstPage, bool newEntry) {
  work = *entry;
  workIsNew = newEntry;
  bool capture = configEnv.captureOn();
  configStateOpen(configState, bridgeFrom(*entry), newEntry, capture);
  PROPSHEETPAGEA pages[FTP_PAGE_COUNT] = {};
  for (int i = 0; i < FTP_PAGE_COUNT; ++i) {
    pages[i].dwSize = sizeof pages[i];
    pages[i].dwFlags = PSP_HASHELP;
    pages[i].hInstance = GetModuleHandleA(nullptr);
    pages[i].pszTemplate = PAGES[i].resource;
    pages[i].pfnDlgProc = PAGES[i].procedure;
  }
  PROPSHEETHEADERA header = {};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_HASHELP;
  header.hwndParent = owner;
  header.hInstance = GetModuleHandleA(nullptr);
  header.pszCaption = "Configuration";
  header.nPages = FTP_PAGE_COUNT;
  header.nStartPage = firstPage >= 0 && firstPage < FTP_PAGE_COUNT ? firstPage : 0;
  header.ppsp = pages;
  if (PropertySheetA(&header) <= 0) return IDCANCEL;
  bridgeBack(configState.work, work);
  if (configState.firewallTouched) {
    regWriteString(FTP_SETTINGS.firewallAddress, configState.firewallAddress.c_str());
    regWriteInt(FTP_SETTINGS.firewallPort, configState.firewallPort);
  }
  *entry = work;
  ftpSaveEntry(*entry, TXT_ENTRY_CREATE_FAILED);
  if (configCaptureChanged(configState)) configEnv.captureChanged(configState.captureChosen);
  return IDOK;
}
