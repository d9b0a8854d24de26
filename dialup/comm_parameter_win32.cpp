// The Communication Parameter dialog. Its radio buttons only show the entry's
// values: OK applies the values stored in the entry.
#include <windows.h>

#include "dialup/comm_parameter_win32.h"
#include "dialup/dialup_dialog_ids.h"
#include "dialup/dialup_help.h"
#include "dialup/serial_port_win32.h"
#include "shell/help_win32.h"


INT_PTR CALLBACK CommParameterDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      const LineSettings& line = *reinterpret_cast<const LineSettings*>(lParam);
      CheckDlgButton(dialog, line.dataBitsIndex == 1 ? IDC_DATA_BITS_7 : IDC_DATA_BITS_8, BST_CHECKED);
      CheckDlgButton(dialog, IDC_PARITY_NONE + line.parity, BST_CHECKED);
      CheckDlgButton(dialog, IDC_STOP_BITS_1 + line.stopBitsIndex, BST_CHECKED);
      SetFocus(GetDlgItem(dialog, IDC_PARAMETER_OK));
      return FALSE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_PARAMETER_OK:
        case IDOK: {
          const auto* line = reinterpret_cast<const LineSettings*>(GetWindowLongPtrA(dialog, DWLP_USER));
          serialApplyFormat(*line);
          EndDialog(dialog, IDOK);
          return TRUE;
        }
        case IDC_PARAMETER_CANCEL:
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        case IDC_PARAMETER_HELP: helpShowTopic(dialog, HELP_COMM_PARAMETER); return TRUE;
      }
      break;
  }
  return FALSE;
}

int commParameterDialog(HWND owner, const LineSettings& line) {
  LineSettings shown = lineSettingsClamped(line.portIndex, line.speedIndex, line.dataBitsIndex, line.stopBitsIndex,
                                           line.parity, line.flowControl);
  INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), "databit", owner, CommParameterDlgFunc,
                              reinterpret_cast<LPARAM>(&shown));
  return r == -1 ? -1 : static_cast<int>(r);
}
