// The "Configuration" sheet and its Telnet General, Terminal Pref, Protocols
// and Options pages. Every page reads its controls into the working copy when OK
// is pressed; only a sheet that every page accepted writes anything.
#include "frame/config_sheet_win32.h"

#include <commctrl.h>

#include <algorithm>

#include "frame/config_ids.h"
#include "frame/config_internal_win32.h"
#include "shell/help_win32.h"
#include "shell/message_box.h"
#include "shell/message_box_win32.h"
#include "terminal/terminal_type.h"
#include "transfer/protocol_table.h"

ConfigSheetState configState;
ConfigEnv configEnv;

bool configNoCapture() { return false; }
void configCaptureIgnored(bool) {}

namespace {
const ConfigSheetSpec* openSheet = &TELNET_SHEET;  // the sheet on screen (one at a time)

// --- General -----------------------------------------------------------------

void generalEnableUser(HWND d) {
  bool rlogin = SendDlgItemMessageA(d, IDC_CFG_PROTOCOL, CB_GETCURSEL, 0, 0) == 1;
  EnableWindow(GetDlgItem(d, IDC_CFG_USERNAME), rlogin);
}

void generalShow(HWND d) {
  GeneralValues v = generalFromState(configState);
  limitText(d, IDC_CFG_NAME, CONFIG_NAME_MAX);
  limitText(d, IDC_CFG_ADDRESS, CONFIG_ADDRESS_MAX);
  limitText(d, IDC_CFG_PORT, 5);
  limitText(d, IDC_CFG_USERNAME, CONFIG_USERNAME_MAX);
  setItemText(d, IDC_CFG_NAME, v.name);
  SendDlgItemMessageA(d, IDC_CFG_NAME, EM_SETREADONLY, !configState.newEntry, 0);
  setItemText(d, IDC_CFG_ADDRESS, v.address);
  setItemText(d, IDC_CFG_PORT, v.port);
  for (const char* p : {"Telnet", "Rlogin"})
    SendDlgItemMessageA(d, IDC_CFG_PROTOCOL, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p));
  SendDlgItemMessageA(d, IDC_CFG_PROTOCOL, CB_SETCURSEL, v.protocol, 0);
  setItemText(d, IDC_CFG_USERNAME, v.userName);
  setChecked(d, IDC_CFG_FIREWALL, v.useFirewall);
  generalEnableUser(d);
}

int generalRead(HWND d) {
  GeneralValues v;
  v.name = itemText(d, IDC_CFG_NAME);
  v.address = itemText(d, IDC_CFG_ADDRESS);
  v.port = itemText(d, IDC_CFG_PORT);
  v.protocol = SendDlgItemMessageA(d, IDC_CFG_PROTOCOL, CB_GETCURSEL, 0, 0) == 1 ? 1 : 0;
  v.userName = itemText(d, IDC_CFG_USERNAME);
  v.useFirewall = isChecked(d, IDC_CFG_FIREWALL);
  return generalApply(configState, v);
}

INT_PTR CALLBACK InternetDlgFunc(HWND d, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_INITDIALOG) {
    generalShow(d);
    return TRUE;
  }
  if (m == WM_COMMAND && LOWORD(wp) == IDC_CFG_PROTOCOL && HIWORD(wp) == CBN_SELCHANGE) {
    generalEnableUser(d);
    return TRUE;
  }
  return configPageMessage(d, m, lp, CONFIG_GENERAL, generalRead);
}

// --- Terminal Pref -----------------------------------------------------------

int shownEmulation = 4;  // the list's selection, for the Terminal ID switch

void terminalShow(HWND d) {
  TerminalValues v = terminalFromState(configState);
  for (const TerminalType& t : terminalTypes)
    SendDlgItemMessageA(d, IDC_CFG_TERMINALS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.name));
  SendDlgItemMessageA(d, IDC_CFG_TERMINALS, LB_SETCURSEL, v.emulation - 1, 0);
  shownEmulation = v.emulation;
  limitText(d, IDC_CFG_TERMINAL_ID, CONFIG_TERMINAL_ID_MAX);
  enableForField(d, IDC_CFG_TERMINAL_ID, configState.map->terminalId);
  limitText(d, IDC_CFG_HEIGHT, 2);
  limitText(d, IDC_CFG_SCROLL, 4);
  setItemText(d, IDC_CFG_TERMINAL_ID, v.terminalId);
  setItemText(d, IDC_CFG_HEIGHT, v.height);
  setItemText(d, IDC_CFG_SCROLL, v.scroll);
  CheckRadioButton(d, IDC_CFG_WIDTH_80, IDC_CFG_WIDTH_132, v.wide ? IDC_CFG_WIDTH_132 : IDC_CFG_WIDTH_80);
  CheckRadioButton(d, IDC_CFG_RESIZE_NONE, IDC_CFG_RESIZE_FONT, IDC_CFG_RESIZE_NONE + v.resizeMode);
  for (int i = 0; i < TERMINAL_CHECK_COUNT; ++i) setChecked(d, IDC_CFG_CHECK_FIRST + i, v.checks[i]);
}

int terminalRead(HWND d) {
  TerminalValues v;
  v.emulation = static_cast<int>(SendDlgItemMessageA(d, IDC_CFG_TERMINALS, LB_GETCURSEL, 0, 0)) + 1;
  v.terminalId = itemText(d, IDC_CFG_TERMINAL_ID);
  v.height = itemText(d, IDC_CFG_HEIGHT);
  v.scroll = itemText(d, IDC_CFG_SCROLL);
  v.wide = isChecked(d, IDC_CFG_WIDTH_132);
  v.resizeMode = isChecked(d, IDC_CFG_RESIZE_FONT) ? 2 : isChecked(d, IDC_CFG_RESIZE_TERM) ? 1 : 0;
  for (int i = 0; i < TERMINAL_CHECK_COUNT; ++i) v.checks[i] = isChecked(d, IDC_CFG_CHECK_FIRST + i);
  return terminalApply(configState, v);
}

}  // namespace

INT_PTR CALLBACK TermDlgFunc(HWND d, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_INITDIALOG) {
    terminalShow(d);
    return TRUE;
  }
  if (m == WM_COMMAND && LOWORD(wp) == IDC_CFG_TERMINALS && HIWORD(wp) == LBN_SELCHANGE) {
    int now = static_cast<int>(SendDlgItemMessageA(d, IDC_CFG_TERMINALS, LB_GETCURSEL, 0, 0)) + 1;
    if (now >= 1) {
      setItemText(d, IDC_CFG_TERMINAL_ID, terminalIdForSwitch(itemText(d, IDC_CFG_TERMINAL_ID), shownEmulation, now));
      shownEmulation = now;
    }
    return TRUE;
  }
  return configPageMessage(d, m, lp, CONFIG_TERMINAL, terminalRead);
}

// --- Protocols ---------------------------------------------------------------

namespace {
int protocolsRead(HWND d) {
  ProtocolValues v;
  v.protocol = static_cast<int>(SendDlgItemMessageA(d, IDC_PROTO_LIST, LB_GETCURSEL, 0, 0));
  v.maxErrors = itemText(d, IDC_PROTO_MAX_ERRORS);
  v.keepBackup = isChecked(d, IDC_PROTO_KEEP_BACKUP);
  return protocolsApply(configState, v);
}

}  // namespace

INT_PTR CALLBACK ProtoDlgFunc(HWND d, UINT m, WPARAM, LPARAM lp) {
  if (m == WM_INITDIALOG) {
    ProtocolValues v = protocolsFromState(configState);
    for (int i = 0; i < PROTOCOL_COUNT; ++i)
      SendDlgItemMessageA(d, IDC_PROTO_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(protocolName(i)));
    SendDlgItemMessageA(d, IDC_PROTO_LIST, LB_SETCURSEL, v.protocol, 0);
    limitText(d, IDC_PROTO_MAX_ERRORS, 4);
    setItemText(d, IDC_PROTO_MAX_ERRORS, v.maxErrors);
    setChecked(d, IDC_PROTO_KEEP_BACKUP, v.keepBackup);
    return TRUE;
  }
  return configPageMessage(d, m, lp, CONFIG_PROTOCOLS, protocolsRead);
}

// --- Options -----------------------------------------------------------------

namespace {
int optionsRead(HWND d) {
  OptionValues v;
  v.stripLinefeed = isChecked(d, IDC_OPT_STRIP_LF);
  v.startChar = itemText(d, IDC_OPT_START_CHAR);
  v.endChar = itemText(d, IDC_OPT_END_CHAR);
  v.lineDelay = itemText(d, IDC_OPT_LINE_DELAY);
  v.charDelay = itemText(d, IDC_OPT_CHAR_DELAY);
  v.packetSize = itemText(d, IDC_OPT_PACKET);
  v.skipExisting = isChecked(d, IDC_OPT_SKIP);
  v.crashRecover = isChecked(d, IDC_OPT_CRASH);
  v.segmented = isChecked(d, IDC_OPT_SEGMENTED);
  v.escapeControl = isChecked(d, IDC_OPT_ESCAPE);
  v.eightbit = isChecked(d, IDC_OPT_EIGHTBIT);
  return optionsApply(configState, v);
}

}  // namespace

INT_PTR CALLBACK OptionDlgFunc(HWND d, UINT m, WPARAM, LPARAM lp) {
  if (m == WM_INITDIALOG) {
    OptionValues v = optionsFromState(configState);
    setChecked(d, IDC_OPT_STRIP_LF, v.stripLinefeed);
    limitText(d, IDC_OPT_START_CHAR, 2);
    limitText(d, IDC_OPT_END_CHAR, 2);
    limitText(d, IDC_OPT_LINE_DELAY, 5);
    limitText(d, IDC_OPT_CHAR_DELAY, 5);
    limitText(d, IDC_OPT_PACKET, 5);
    setItemText(d, IDC_OPT_START_CHAR, v.startChar);
    setItemText(d, IDC_OPT_END_CHAR, v.endChar);
    setItemText(d, IDC_OPT_LINE_DELAY, v.lineDelay);
    setItemText(d, IDC_OPT_CHAR_DELAY, v.charDelay);
    setItemText(d, IDC_OPT_PACKET, v.packetSize);
    setChecked(d, IDC_OPT_SKIP, v.skipExisting);
    setChecked(d, IDC_OPT_CRASH, v.crashRecover);
    setChecked(d, IDC_OPT_SEGMENTED, v.segmented);
    setChecked(d, IDC_OPT_ESCAPE, v.escapeControl);
    setChecked(d, IDC_OPT_EIGHTBIT, v.eightbit);
    return TRUE;
  }
  return configPageMessage(d, m, lp, CONFIG_OPTIONS, optionsRead);
}

namespace {
const ConfigPageSpec TELNET_PAGES[CONFIG_PAGE_COUNT] = {
    {CONFIG_GENERAL, "InternetDialog", InternetDlgFunc, &HELP_GENERAL},
    {CONFIG_TERMINAL, "TELNETTERM", TermDlgFunc, &HELP_TERMINAL},
    {CONFIG_PROTOCOLS, "PROTODLG", ProtoDlgFunc, &HELP_PROTOCOLS},
    {CONFIG_COLOR, "COLOR", ColorDlgFunc, &HELP_COLOR},
    {CONFIG_FONTS, "FONTDLG", FontDlgFunc, &HELP_FONTS},
    {CONFIG_DEFAULT_DIR, "DEFDIR", DirDlgFunc, &HELP_DEFAULT_DIR},
    {CONFIG_OPTIONS, "ASCIIOptions", OptionDlgFunc, &HELP_OPTIONS},
    {CONFIG_FIREWALL, "FIREWALL", FirewallDlgFunc, &HELP_FIREWALL},
};
}  // namespace

const ConfigSheetSpec TELNET_SHEET = {&BOOK_CONFIG_FIELDS, TELNET_PAGES, CONFIG_PAGE_COUNT};

std::string itemText(HWND d, int id) {
  HWND control = GetDlgItem(d, id);
  int length = GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int got = GetWindowTextA(control, &text[0], length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}
void setItemText(HWND d, int id, const std::string& text) { SetDlgItemTextA(d, id, text.c_str()); }
bool isChecked(HWND d, int id) { return IsDlgButtonChecked(d, id) == BST_CHECKED; }
void setChecked(HWND d, int id, bool on) { CheckDlgButton(d, id, on ? BST_CHECKED : BST_UNCHECKED); }
void limitText(HWND d, int id, int characters) { SendDlgItemMessageA(d, id, EM_LIMITTEXT, characters, 0); }
void enableForField(HWND d, int id, const FieldSpec& field) { EnableWindow(GetDlgItem(d, id), fieldPresent(field)); }

uint8_t* configWorkingRecord() { return configState.work.bytes; }
bool configNewEntry() { return configState.newEntry; }

int configPageIndex(const ConfigSheetSpec& layout, int kind) {
  for (int i = 0; i < layout.pageCount; ++i)
    if (layout.pages[i].kind == kind) return i;
  return -1;
}

INT_PTR configPageMessage(HWND page, UINT message, LPARAM lp, int kind, int (*apply)(HWND)) {
  int at = configPageIndex(*openSheet, kind);
  const HelpTopic& help = *openSheet->pages[at < 0 ? 0 : at].help;
  if (message == WM_HELP) {
    helpContextPopup(reinterpret_cast<const HELPINFO*>(lp), help);
    return TRUE;
  }
  if (message != WM_NOTIFY) return FALSE;
  const NMHDR* n = reinterpret_cast<const NMHDR*>(lp);
  switch (n->code) {
    case PSN_APPLY: {
      int refused = apply(page);
      SetWindowLongPtrA(page, DWLP_MSGRESULT, refused ? PSNRET_INVALID : PSNRET_NOERROR);
      return TRUE;
    }
    case PSN_KILLACTIVE:
      SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);  // pages check their values on OK only
      return TRUE;
    case PSN_HELP:
      helpShowTopic(page, help);
      return TRUE;
    default:
      return FALSE;
  }
}

void configSheetAttach(const ConfigEnv& env) { configEnv = env; }

namespace {
// The sheet opens centred over the window that opened it (kept on the work
// area), with the caption's "?" button that the help tells users to press.
int CALLBACK sheetCallback(HWND sheet, UINT message, LPARAM lp) {
  if (message == PSCB_PRECREATE && lp) {
    // The sheet's own template, in either form: the button comes with the window.
    auto* words = reinterpret_cast<WORD*>(lp);
    if (words[0] == 1 && words[1] == 0xFFFF) {  // DLGTEMPLATEEX: help id, extended style, style
      reinterpret_cast<DWORD*>(lp)[2] |= WS_EX_CONTEXTHELP;
      reinterpret_cast<DWORD*>(lp)[3] |= DS_CONTEXTHELP;
    } else {
      reinterpret_cast<DLGTEMPLATE*>(lp)->dwExtendedStyle |= WS_EX_CONTEXTHELP;
      reinterpret_cast<DLGTEMPLATE*>(lp)->style |= DS_CONTEXTHELP;
    }
    return 0;
  }
  if (message != PSCB_INITIALIZED) return 0;
  messageBoxSetOwner(sheet);  // a page's refusal comes back to the sheet  SetWindowLongA(sheet, GWL_EXSTYLE, GetWindowLongA(sheet, GWL_EXSTYLE) | WS_EX_CONTEXTHELP);
  RECT own, box, work;
  HWND owner = GetParent(sheet);
  GetWindowRect(sheet, &box);
  if (!owner || !GetWindowRect(owner, &own)) SystemParametersInfoA(SPI_GETWORKAREA, 0, &own, 0);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  int w = box.right - box.left, h = box.bottom - box.top;
  int x = own.left + ((own.right - own.left) - w) / 2, y = own.top + ((own.bottom - own.top) - h) / 2;
  x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - w));
  y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - h));
  SetWindowPos(sheet, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return 0;
}
}  // namespace

int configSheet(HWND owner, const ConfigSheetSpec& layout, uint8_t* record, int firstKind, bool newEntry) {
  if (layout.pageCount <= 0 || layout.pageCount > CONFIG_KIND_COUNT || layout.fields->size > CONFIG_RECORD_MAX)
    return IDCANCEL;
  bool capture = configEnv.captureOn();
  configStateOpen(configState, record, *layout.fields, newEntry, capture);
  openSheet = &layout;
  PROPSHEETPAGEA pages[CONFIG_KIND_COUNT] = {};
  for (int i = 0; i < layout.pageCount; ++i) {
    pages[i].dwSize = sizeof pages[i];
    pages[i].dwFlags = PSP_HASHELP;
    pages[i].hInstance = GetModuleHandleA(nullptr);
    pages[i].pszTemplate = layout.pages[i].resource;
    pages[i].pfnDlgProc = layout.pages[i].procedure;
  }
  PROPSHEETHEADERA header = {};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_HASHELP | PSH_USECALLBACK;
  header.pfnCallback = sheetCallback;
  header.hwndParent = owner;
  header.hInstance = GetModuleHandleA(nullptr);
  header.pszCaption = "Configuration";
  header.nPages = static_cast<UINT>(layout.pageCount);
  int first = configPageIndex(layout, firstKind);
  header.nStartPage = first < 0 ? 0 : first;
  header.ppsp = pages;
  HWND previousOwner = messageBoxOwner();
  INT_PTR result = PropertySheetA(&header);
  messageBoxSetOwner(previousOwner);
  if (result <= 0) return IDCANCEL;
  configCommit(configState, record, configEnv.firewallAddressValue, configEnv.firewallPortValue);
  if (configCaptureChanged(configState)) configEnv.captureChanged(configState.captureChosen);
  return IDOK;
}

int settingsSheet(HWND owner, BookEntry* entry, int firstPage, bool newEntry) {
  return configSheet(owner, TELNET_SHEET, entry->bytes, firstPage, newEntry);
}
