// The configuration sheet over an FTP entry: its own "General", "File
// Transfer Options" and "Color" pages, and the shared "Firewall", "Fonts" and
// "Default Dir" pages, all editing the sheet's working copy of the entry.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <string>

#include "frame/config_internal_win32.h"
#include "ftp/ftp_help.h"
#include "ftp/ftp_ids.h"
#include "ftp/ftp_program_win32.h"
#include "shell/book_files.h"
#include "shell/config_fields.h"
#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "terminal/colours.h"

namespace {
uint8_t* work() { return configWorkingRecord(); }

// --- General -------------------------------------------------------------------

void generalShow(HWND d) {
  using namespace ftpField;
  limitText(d, IDC_FTP_NAME, name.size - 1);
  limitText(d, IDC_FTP_ADDRESS, address.size - 1);
  limitText(d, IDC_FTP_USERNAME, userName.size - 1);
  limitText(d, IDC_FTP_PASSWORD, password.size - 1);
  limitText(d, IDC_FTP_PORT, 5);
  setItemText(d, IDC_FTP_NAME, recordText(work(), name));
  SendDlgItemMessageA(d, IDC_FTP_NAME, EM_SETREADONLY, !configNewEntry(), 0);
  setItemText(d, IDC_FTP_ADDRESS, recordText(work(), address));
  setItemText(d, IDC_FTP_USERNAME, recordText(work(), userName));
  setItemText(d, IDC_FTP_PASSWORD, recordText(work(), password));
  int64_t p = recordInt(work(), port);
  setItemText(d, IDC_FTP_PORT, p > 0 && p <= 65535 ? std::to_string(p) : std::string());
  setChecked(d, IDC_FTP_ANONYMOUS, recordInt(work(), anonymous) != 0);
  setChecked(d, IDC_FTP_SAVE_PASSWORD, recordInt(work(), savePassword) != 0);
  setChecked(d, IDC_FTP_USE_FIREWALL, recordInt(work(), useFirewall) != 0);
  setChecked(d, IDC_FTP_NO_WINDOW, recordInt(work(), noFtpWindow) != 0);
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
  // A name that is no file name of the program directory (a path separator,
  // a drive colon, "..") would write the entry elsewhere: refused here, with
  // the sheet kept open.
  if (!isValidEntryName(entryName.c_str())) {
    messageBeep();
    messageBoxTitled(TXT_ENTRY_CREATE_FAILED, nullptr, SAVE_ERROR_TITLE, MSG_OK | MSG_ICONINFORMATION);
    return TXT_ENTRY_CREATE_FAILED;
  }
  recordSetText(work(), name, entryName.c_str());
  recordSetText(work(), address, itemText(d, IDC_FTP_ADDRESS).c_str());
  recordSetText(work(), userName, itemText(d, IDC_FTP_USERNAME).c_str());
  bool save = isChecked(d, IDC_FTP_SAVE_PASSWORD);
  recordSetText(work(), password, save ? itemText(d, IDC_FTP_PASSWORD).c_str() : "");
  recordSetInt(work(), port, portOf(itemText(d, IDC_FTP_PORT)));
  recordSetInt(work(), anonymous, isChecked(d, IDC_FTP_ANONYMOUS));
  recordSetInt(work(), savePassword, save);
  recordSetInt(work(), useFirewall, isChecked(d, IDC_FTP_USE_FIREWALL));
  recordSetInt(work(), noFtpWindow, isChecked(d, IDC_FTP_NO_WINDOW));
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
  return configPageMessage(d, m, lp, CONFIG_GENERAL, generalRead);
}

// --- File Transfer Options -------------------------------------------------------

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
  for (const OptionBox& b : OPTION_BOXES) recordSetInt(work(), b.field, isChecked(d, b.control) ? 1 : 0);
  return 0;
}

INT_PTR CALLBACK FileOptionsDlgFunc(HWND d, UINT m, WPARAM, LPARAM lp) {
  if (m == WM_INITDIALOG) {
    for (const OptionBox& b : OPTION_BOXES) setChecked(d, b.control, recordInt(work(), b.field) != 0);
    return TRUE;
  }
  return configPageMessage(d, m, lp, CONFIG_OPTIONS, optionsRead);
}

// --- Color -------------------------------------------------------------------------

// The entry keeps whole RGB values and a switch saying they are set; until
// then the session view has the default scheme, which the page shows.
struct ColourPage {
  bool own;
  COLORREF text, back;
  HBRUSH brush;
} colour;

void colourShow(HWND d) {
  if (colour.brush) DeleteObject(colour.brush);
  colour.brush = CreateSolidBrush(colour.back);
  InvalidateRect(GetDlgItem(d, IDC_FTP_COLOUR_SAMPLE), nullptr, TRUE);
}

void colourPick(HWND d, COLORREF* value) {
  static COLORREF custom[16];
  CHOOSECOLORA c{};
  c.lStructSize = sizeof c;
  c.hwndOwner = d;
  c.rgbResult = *value;
  c.lpCustColors = custom;
  c.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorA(&c)) return;
  *value = c.rgbResult;
  colour.own = true;
  colourShow(d);
}

int colourRead(HWND) {
  recordSetInt(work(), ftpField::ownColours, colour.own ? 1 : 0);
  recordSetInt(work(), ftpField::textColour, colour.own ? colour.text : 0);
  recordSetInt(work(), ftpField::backColour, colour.own ? colour.back : 0);
  return 0;
}

INT_PTR CALLBACK FtpColorDlgFunc(HWND d, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_INITDIALOG: {
      colour.own = recordInt(work(), ftpField::ownColours) != 0;
      const uint32_t* palette = terminalColours.palette;
      colour.text = colour.own ? static_cast<COLORREF>(recordInt(work(), ftpField::textColour)) & 0xFFFFFF : palette[7];
      colour.back = colour.own ? static_cast<COLORREF>(recordInt(work(), ftpField::backColour)) & 0xFFFFFF : palette[0];
      colourShow(d);
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lp) == GetDlgItem(d, IDC_FTP_COLOUR_SAMPLE)) {
        SetTextColor(reinterpret_cast<HDC>(wp), colour.text);
        SetBkColor(reinterpret_cast<HDC>(wp), colour.back);
        return reinterpret_cast<INT_PTR>(colour.brush);
      }
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDC_FTP_COLOUR_TEXT: colourPick(d, &colour.text); return TRUE;
        case IDC_FTP_COLOUR_BACK: colourPick(d, &colour.back); return TRUE;
        case IDC_FTP_COLOUR_DEFAULT:
          colour.own = false;
          colour.text = terminalColours.palette[7];
          colour.back = terminalColours.palette[0];
          colourShow(d);
          return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      if (colour.brush) DeleteObject(colour.brush);
      colour.brush = nullptr;
      return FALSE;
  }
  return configPageMessage(d, m, lp, CONFIG_COLOR, colourRead);
}

const ConfigPageSpec FTP_PAGES[] = {
    {CONFIG_GENERAL, "FTPINTERNETDIALOG", InternetDlgFunc, &HELP_FTP_GENERAL},
    {CONFIG_OPTIONS, "FILEOPTION", FileOptionsDlgFunc, &HELP_FTP_FILE_OPTIONS},
    {CONFIG_FIREWALL, "FIREWALL", FirewallDlgFunc, &HELP_FTP_FIREWALL},
    {CONFIG_COLOR, "FTPCOLOR", FtpColorDlgFunc, &HELP_FTP_COLOR},
    {CONFIG_FONTS, "FONTDLG", FontDlgFunc, &HELP_FONTS},
    {CONFIG_DEFAULT_DIR, "DEFDIR", DirDlgFunc, &HELP_DEFAULT_DIR},
};
}  // namespace

const ConfigSheetSpec QUENDA32_SHEET = {&FTP_CONFIG_FIELDS, FTP_PAGES, sizeof FTP_PAGES / sizeof FTP_PAGES[0]};

int ftpSettingsSheet(HWND owner, FtpEntry* entry, int firstKind, bool newEntry) {
  return configSheet(owner, QUENDA32_SHEET, entry->bytes, firstKind, newEntry);
}
