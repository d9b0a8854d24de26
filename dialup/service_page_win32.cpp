// The dial-up entry's "General" page (name, phone, prefix, phone type and
// line) and the dial-up program's configuration sheet.
#include <windows.h>

#include <cstring>
#include <string>

#include "dialup/dialup_dialog_ids.h"
#include "dialup/dialup_help.h"
#include "dialup/phonebook.h"
#include "dialup/phonebook_win32.h"
#include "shell/modem_profile.h"
#include "shell/line_settings.h"

namespace {
std::string text(HWND d, int id) {
  char buffer[256] = "";
  GetDlgItemTextA(d, id, buffer, sizeof buffer);
  return buffer;
}
bool checked(HWND d, int id) { return IsDlgButtonChecked(d, id) == BST_CHECKED; }

void serviceShow(HWND d) {
  ServiceValues v = serviceFromRecord(configWorkingRecord());
  SendDlgItemMessageA(d, IDC_SVC_NAME, EM_LIMITTEXT, PHONE_NAME_MAX, 0);
  SendDlgItemMessageA(d, IDC_SVC_PHONE, EM_LIMITTEXT, PHONE_NUMBER_MAX, 0);
  SendDlgItemMessageA(d, IDC_SVC_PREFIX, EM_LIMITTEXT, PHONE_PREFIX_MAX, 0);
  SetDlgItemTextA(d, IDC_SVC_NAME, v.name.c_str());
  EnableWindow(GetDlgItem(d, IDC_SVC_NAME), configNewEntry());
  SetDlgItemTextA(d, IDC_SVC_PHONE, v.phone.c_str());
  SetDlgItemTextA(d, IDC_SVC_PREFIX, v.prefix.c_str());
  for (int i = 0; i < LINE_SPEED_COUNT; ++i)
    SendDlgItemMessageA(d, IDC_SVC_BAUD, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(lineSpeed(i)).c_str()));
  SendDlgItemMessageA(d, IDC_SVC_BAUD, CB_SETCURSEL, v.speedIndex, 0);
  for (int i = 1; i <= 8; ++i)
    SendDlgItemMessageA(d, IDC_SVC_PORT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("COM " + std::to_string(i)).c_str()));
  SendDlgItemMessageA(d, IDC_SVC_PORT, CB_SETCURSEL, v.portIndex, 0);
  CheckRadioButton(d, IDC_SVC_PULSE, IDC_SVC_NONE, IDC_SVC_PULSE + v.phoneType);
  CheckRadioButton(d, IDC_PARITY_NONE, IDC_PARITY_EVEN, IDC_PARITY_NONE + v.parity);
  // One and a half stop bits (set elsewhere) has no button here: none is checked.
  if (v.stopBits != 1) CheckRadioButton(d, IDC_STOP_BITS_1, IDC_STOP_BITS_2, v.stopBits == 2 ? IDC_STOP_BITS_2 : IDC_STOP_BITS_1);
  CheckRadioButton(d, IDC_DATA_BITS_8, IDC_DATA_BITS_7, v.dataBits == 1 ? IDC_DATA_BITS_7 : IDC_DATA_BITS_8);
}

int serviceRead(HWND d) {
  uint8_t* record = configWorkingRecord();
  ServiceValues v = serviceFromRecord(record);
  v.name = text(d, IDC_SVC_NAME);
  v.phone = text(d, IDC_SVC_PHONE);
  v.prefix = text(d, IDC_SVC_PREFIX);
  v.phoneType = checked(d, IDC_SVC_PULSE) ? 0 : checked(d, IDC_SVC_TONE) ? 1 : 2;
  v.parity = checked(d, IDC_PARITY_ODD) ? 1 : checked(d, IDC_PARITY_EVEN) ? 2 : 0;
  if (checked(d, IDC_STOP_BITS_1)) v.stopBits = 0;
  if (checked(d, IDC_STOP_BITS_2)) v.stopBits = 2;
  v.dataBits = checked(d, IDC_DATA_BITS_7) ? 1 : 0;
  LRESULT speed = SendDlgItemMessageA(d, IDC_SVC_BAUD, CB_GETCURSEL, 0, 0);
  LRESULT port = SendDlgItemMessageA(d, IDC_SVC_PORT, CB_GETCURSEL, 0, 0);
  if (speed != CB_ERR) v.speedIndex = static_cast<int>(speed);
  if (port != CB_ERR) v.portIndex = static_cast<int>(port);
  PhoneEntry e;
  memcpy(e.bytes, record, sizeof e.bytes);
  modemProfileLoad(phoneMakerIndex(e), currentProfile);
  std::string dial = phoneDialCharacters(profileSlot(currentProfile, SLOT_VALID_DIAL));
  return serviceApply(record, configNewEntry(), v, dial) == 0 ? 0 : 1;
}
}  // namespace

INT_PTR CALLBACK serviceDlgFunc(HWND d, UINT m, WPARAM, LPARAM lp) {
  if (m == WM_INITDIALOG) {
    serviceShow(d);
    return TRUE;
  }
  return configPageMessage(d, m, lp, CONFIG_SERVICE, serviceRead);
}

namespace {
const ConfigPageSpec DIALUP_PAGES[] = {
    {CONFIG_SERVICE, "SERVICE", serviceDlgFunc, &HELP_SERVICE},
    // MERGE (modem branch): {CONFIG_MODEM, "MODEM", ModemDlgFunc, &HELP_MODEM_PAGE},
    {CONFIG_TERMINAL, "TELNETTERM", TermDlgFunc, &HELP_TERMINAL},
    {CONFIG_PROTOCOLS, "PROTODLG", ProtoDlgFunc, &HELP_PROTOCOLS},
    {CONFIG_COLOR, "COLOR", ColorDlgFunc, &HELP_COLOR},
    {CONFIG_FONTS, "FONTDLG", FontDlgFunc, &HELP_FONTS},
    {CONFIG_DEFAULT_DIR, "DEFDIR", DirDlgFunc, &HELP_DEFAULT_DIR},
    {CONFIG_OPTIONS, "ASCIIOptions", OptionDlgFunc, &HELP_OPTIONS},
};
}  // namespace

const ConfigSheetSpec DIALUP_SHEET = {&PHONE_CONFIG_FIELDS, DIALUP_PAGES,
                                      static_cast<int>(sizeof DIALUP_PAGES / sizeof DIALUP_PAGES[0])};
