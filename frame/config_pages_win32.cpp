// The Color, Fonts, Default Dir and Firewall pages of the configuration
// sheet, and the "Directory listing" dialog of the directory page.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "frame/config_ids.h"
#include "frame/config_internal_win32.h"
#include "shell/message_box.h"
#include "shell/script.h"
#include "terminal/colours.h"

namespace {
// --- Color -------------------------------------------------------------------

struct ColourPage {
  ColourValues values;
  int item = 0;
  HBRUSH sampleBrush = nullptr;
} colourPage;

uint32_t itemColour(int item) {
  static const int defaults[COLOUR_ITEM_COUNT] = {7, 0};  // text, background of the default scheme
  const uint32_t* palette = terminalColours.palette;
  return colourFromField(colourPage.values.fields[item], palette, palette[defaults[item]]);
}

void colourShowItem(HWND d) {
  uint32_t c = itemColour(colourPage.item);
  const int bars[3] = {IDC_COLOR_RED, IDC_COLOR_GREEN, IDC_COLOR_BLUE};
  for (int i = 0; i < 3; ++i) {
    int value = static_cast<int>(c >> (8 * i) & 0xFF);
    SetScrollPos(GetDlgItem(d, bars[i]), SB_CTL, value, TRUE);
    setItemText(d, IDC_COLOR_RED_TEXT + i, std::to_string(value));
  }
  if (colourPage.sampleBrush) DeleteObject(colourPage.sampleBrush);
  colourPage.sampleBrush = CreateSolidBrush(itemColour(1));
  InvalidateRect(GetDlgItem(d, IDC_COLOR_SAMPLE), nullptr, TRUE);
}

void colourScroll(HWND d, HWND bar, int code, int thumb) {
  int which = GetDlgCtrlID(bar) - IDC_COLOR_RED;
  if (which < 0 || which > 2) return;
  int pos = GetScrollPos(bar, SB_CTL);
  switch (code) {
    case SB_LINELEFT: pos -= 1; break;
    case SB_LINERIGHT: pos += 1; break;
    case SB_PAGELEFT: pos -= 16; break;
    case SB_PAGERIGHT: pos += 16; break;
    case SB_LEFT: pos = 0; break;
    case SB_RIGHT: pos = 255; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = thumb; break;
    default: return;
  }
  pos = std::clamp(pos, 0, 255);
  uint32_t c = itemColour(colourPage.item);
  int rgb[3] = {static_cast<int>(c & 0xFF), static_cast<int>(c >> 8 & 0xFF), static_cast<int>(c >> 16 & 0xFF)};
  rgb[which] = pos;
  colourPage.values.fields[colourPage.item] = colourFieldFromRgb(rgb[0], rgb[1], rgb[2]);
  colourShowItem(d);
  // Five bits are kept of each channel: the bar keeps the position it was given.
  SetScrollPos(bar, SB_CTL, pos, TRUE);
  setItemText(d, IDC_COLOR_RED_TEXT + which, std::to_string(pos));
}

int colourRead(HWND) {
  colourApply(configState, colourPage.values);
  return 0;
}

void colourDrawButton(const DRAWITEMSTRUCT* item) {
  int index = static_cast<int>(item->CtlID) - IDC_COLOR_BUTTON_FIRST;
  HBRUSH brush = CreateSolidBrush(terminalColours.palette[index]);
  RECT r = item->rcItem;
  DrawEdge(item->hDC, &r, (item->itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
  FillRect(item->hDC, &r, brush);
  DeleteObject(brush);
  if (colourPage.values.fields[colourPage.item] == index + 1) FrameRect(item->hDC, &r, (HBRUSH)GetStockObject(WHITE_BRUSH));
  if (item->itemState & ODS_FOCUS) DrawFocusRect(item->hDC, &item->rcItem);
}
}  // namespace

INT_PTR CALLBACK ColorDlgFunc(HWND d, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_INITDIALOG:
      colourPage.values = colourFromState(configState);
      colourPage.item = 0;
      for (const char* name : COLOUR_ITEM_NAMES)
        SendDlgItemMessageA(d, IDC_COLOR_ITEMS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
      SendDlgItemMessageA(d, IDC_COLOR_ITEMS, LB_SETCURSEL, 0, 0);
      for (int id : {IDC_COLOR_RED, IDC_COLOR_GREEN, IDC_COLOR_BLUE}) SetScrollRange(GetDlgItem(d, id), SB_CTL, 0, 255, FALSE);
      colourShowItem(d);
      return TRUE;
    case WM_HSCROLL:
      colourScroll(d, reinterpret_cast<HWND>(lp), LOWORD(wp), static_cast<short>(HIWORD(wp)));
      return TRUE;
    case WM_DRAWITEM:
      colourDrawButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lp) != GetDlgItem(d, IDC_COLOR_SAMPLE)) return FALSE;
      SetTextColor(reinterpret_cast<HDC>(wp), itemColour(0));
      SetBkColor(reinterpret_cast<HDC>(wp), itemColour(1));
      return reinterpret_cast<INT_PTR>(colourPage.sampleBrush);
    case WM_COMMAND: {
      int id = LOWORD(wp);
      if (id == IDC_COLOR_ITEMS && HIWORD(wp) == LBN_SELCHANGE) {
        int item = static_cast<int>(SendDlgItemMessageA(d, IDC_COLOR_ITEMS, LB_GETCURSEL, 0, 0));
        colourPage.item = std::clamp(item, 0, COLOUR_ITEM_COUNT - 1);
      } else if (id >= IDC_COLOR_BUTTON_FIRST && id < IDC_COLOR_BUTTON_FIRST + 16) {
        colourPage.values.fields[colourPage.item] = id - IDC_COLOR_BUTTON_FIRST + 1;
      } else if (id == IDC_COLOR_DEFAULT) {
        colourPage.values = ColourValues{};
      } else {
        return FALSE;
      }
      colourShowItem(d);
      for (int b = 0; b < 16; ++b) InvalidateRect(GetDlgItem(d, IDC_COLOR_BUTTON_FIRST + b), nullptr, FALSE);
      return TRUE;
    }
    case WM_DESTROY:
      if (colourPage.sampleBrush) DeleteObject(colourPage.sampleBrush);
      colourPage.sampleBrush = nullptr;
      return FALSE;
    default:
      return configPageMessage(d, m, lp, CONFIG_COLOR, colourRead);
  }
}

// --- Fonts -------------------------------------------------------------------

namespace {
const int FONT_SIZES[] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 28, 36};
HFONT sampleFont = nullptr;

int CALLBACK addFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM list) {
  // A terminal needs cells of one width; vertical faces ("@...") are not for it.
  if ((font->lfPitchAndFamily & 3) != FIXED_PITCH || font->lfFaceName[0] == '@') return 1;
  HWND box = reinterpret_cast<HWND>(list);
  if (SendMessageA(box, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(font->lfFaceName)) == LB_ERR)
    SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(font->lfFaceName));
  return 1;
}

// Selects text in a list box, adding it when missing.
void selectString(HWND box, const char* text) {
  LRESULT at = SendMessageA(box, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
  if (at == LB_ERR) at = SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
}

FontValues fontShown(HWND d) {
  FontValues v;
  HWND faces = GetDlgItem(d, IDC_FONT_FACES);
  LRESULT at = SendMessageA(faces, LB_GETCURSEL, 0, 0);
  char face[LF_FACESIZE] = "";
  if (at != LB_ERR && SendMessageA(faces, LB_GETTEXTLEN, at, 0) < LF_FACESIZE)
    SendMessageA(faces, LB_GETTEXT, at, reinterpret_cast<LPARAM>(face));
  v.face = face[0] ? face : fontFromState(configState).face;
  HWND sizes = GetDlgItem(d, IDC_FONT_SIZES);
  LRESULT s = SendMessageA(sizes, LB_GETCURSEL, 0, 0);
  v.points = s == LB_ERR ? 9 : static_cast<int>(SendMessageA(sizes, LB_GETITEMDATA, s, 0));
  LRESULT c = SendDlgItemMessageA(d, IDC_FONT_SCRIPT, CB_GETCURSEL, 0, 0);
  v.charSet = c == CB_ERR ? 0 : static_cast<int>(SendDlgItemMessageA(d, IDC_FONT_SCRIPT, CB_GETITEMDATA, c, 0));
  return v;
}

void fontSample(HWND d) {
  FontValues v = fontShown(d);
  LOGFONTA f{};
  f.lfHeight = fontHeightForPoints(v.points);
  f.lfCharSet = static_cast<BYTE>(v.charSet);
  f.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  lstrcpynA(f.lfFaceName, v.face.c_str(), LF_FACESIZE);
  HFONT font = CreateFontIndirectA(&f);
  SendDlgItemMessageA(d, IDC_FONT_SAMPLE, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (sampleFont) DeleteObject(sampleFont);
  sampleFont = font;
}

void fontInit(HWND d) {
  FontValues v = fontFromState(configState);
  HWND faces = GetDlgItem(d, IDC_FONT_FACES);
  HDC dc = GetDC(nullptr);
  LOGFONTA all{};
  all.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(dc, &all, addFace, reinterpret_cast<LPARAM>(faces), 0);
  ReleaseDC(nullptr, dc);
  selectString(faces, v.face.c_str());
  HWND sizes = GetDlgItem(d, IDC_FONT_SIZES);
  std::vector<int> points(std::begin(FONT_SIZES), std::end(FONT_SIZES));
  if (std::find(points.begin(), points.end(), v.points) == points.end()) {
    points.push_back(v.points);
    std::sort(points.begin(), points.end());
  }
  for (int p : points) {
    LRESULT at = SendMessageA(sizes, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(p).c_str()));
    SendMessageA(sizes, LB_SETITEMDATA, at, p);
    if (p == v.points) SendMessageA(sizes, LB_SETCURSEL, at, 0);
  }
  HWND script = GetDlgItem(d, IDC_FONT_SCRIPT);
  bool known = false;
  for (const FontScript& s : FONT_SCRIPTS) {
    LRESULT at = SendMessageA(script, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.name));
    SendMessageA(script, CB_SETITEMDATA, at, s.charSet);
    if (s.charSet == v.charSet) {
      SendMessageA(script, CB_SETCURSEL, at, 0);
      known = true;
    }
  }
  if (!known) {
    LRESULT at = SendMessageA(script, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fontScriptName(v.charSet)));
    SendMessageA(script, CB_SETITEMDATA, at, v.charSet);
    SendMessageA(script, CB_SETCURSEL, at, 0);
  }
  fontSample(d);
}

int fontRead(HWND d) {
  fontApply(configState, fontShown(d));
  return 0;
}
}  // namespace

INT_PTR CALLBACK FontDlgFunc(HWND d, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_INITDIALOG:
      fontInit(d);
      return TRUE;
    case WM_COMMAND:
      if ((LOWORD(wp) == IDC_FONT_FACES || LOWORD(wp) == IDC_FONT_SIZES) && HIWORD(wp) == LBN_SELCHANGE) fontSample(d);
      else if (LOWORD(wp) == IDC_FONT_SCRIPT && HIWORD(wp) == CBN_SELCHANGE) fontSample(d);
      else return FALSE;
      return TRUE;
    case WM_DESTROY:
      if (sampleFont) DeleteObject(sampleFont);
      sampleFont = nullptr;
      return FALSE;
    default:
      return configPageMessage(d, m, lp, CONFIG_FONTS, fontRead);
  }
}

// --- Default Dir and "Directory listing" --------------------------------------

namespace {
struct DirList {
  std::string chosen;
};

void dirListFill(HWND d) {
  char pattern[] = "*.*";
  DlgDirListA(d, pattern, IDC_DIRLIST_LIST, IDC_DIRLIST_PATH, DDL_DIRECTORY | DDL_DRIVES | DDL_EXCLUSIVE);
}

INT_PTR CALLBACK DirListDlgFunc(HWND d, UINT m, WPARAM wp, LPARAM lp) {
  static DirList* list = nullptr;
  switch (m) {
    case WM_INITDIALOG:
      list = reinterpret_cast<DirList*>(lp);
      dirListFill(d);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDC_DIRLIST_LIST && HIWORD(wp) == LBN_DBLCLK) {
        char picked[MAX_PATH] = "";
        // A directory or drive entry: change into it and list again.
        if (DlgDirSelectExA(d, picked, sizeof picked, IDC_DIRLIST_LIST)) {
          SetCurrentDirectoryA(picked);
          dirListFill(d);
        }
        return TRUE;
      }
      if (LOWORD(wp) == IDOK) {
        char current[MAX_PATH] = "";
        GetCurrentDirectoryA(sizeof current, current);
        list->chosen = current;
        EndDialog(d, IDOK);
        return TRUE;
      }
      if (LOWORD(wp) == IDCANCEL) {
        EndDialog(d, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

// Lets the user walk the directories from the field's directory; the field
// takes the one chosen. The current directory is the same afterwards.
void browseInto(HWND page, int edit) {
  char before[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof before, before);
  std::string start = itemText(page, edit);
  if (start.empty() || !SetCurrentDirectoryA(start.c_str())) SetCurrentDirectoryA(configEnv.programDir);
  DirList list;
  if (DialogBoxParamA(GetModuleHandleA(nullptr), "DIRLIST", page, DirListDlgFunc, reinterpret_cast<LPARAM>(&list)) == IDOK)
    setItemText(page, edit, list.chosen);
  SetCurrentDirectoryA(before);
}

int dirRead(HWND d) {
  DirectoryValues v;
  v.download = itemText(d, IDC_DIR_DOWNLOAD);
  v.session = itemText(d, IDC_DIR_SESSION);
  v.capture = isChecked(d, IDC_DIR_CAPTURE);
  return directoryApply(configState, v, configEnv.programDir);
}
}  // namespace

INT_PTR CALLBACK DirDlgFunc(HWND d, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_INITDIALOG) {
    DirectoryValues v = directoryFromState(configState, configEnv.programDir);
    const ConfigFieldMap& fields = *configState.map;
    limitText(d, IDC_DIR_DOWNLOAD, configTextMax(fields.downloadDir));
    limitText(d, IDC_DIR_SESSION, configTextMax(fields.sessionDir));
    for (int id : {IDC_DIR_SESSION, IDC_DIR_SESSION_BROWSE}) enableForField(d, id, fields.sessionDir);
    setItemText(d, IDC_DIR_DOWNLOAD, v.download);
    setItemText(d, IDC_DIR_SESSION, v.session);
    setChecked(d, IDC_DIR_CAPTURE, v.capture);
    return TRUE;
  }
  if (m == WM_COMMAND && (LOWORD(wp) == IDC_DIR_DOWNLOAD_BROWSE || LOWORD(wp) == IDC_DIR_SESSION_BROWSE)) {
    browseInto(d, LOWORD(wp) == IDC_DIR_DOWNLOAD_BROWSE ? IDC_DIR_DOWNLOAD : IDC_DIR_SESSION);
    return TRUE;
  }
  return configPageMessage(d, m, lp, CONFIG_DEFAULT_DIR, dirRead);
}

// --- Firewall ----------------------------------------------------------------

namespace {
constexpr int TXT_PROGRAM_NOT_STARTED = 4016;  // "The program could not be started: "

int firewallRead(HWND d) {
  firewallApply(configState, {itemText(d, IDC_FW_ADDRESS), itemText(d, IDC_FW_PORT)});
  return 0;
}
}  // namespace

INT_PTR CALLBACK FirewallDlgFunc(HWND d, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_INITDIALOG) {
    FirewallValues v = firewallFromSettings(configEnv.firewallAddressValue, configEnv.firewallPortValue);
    limitText(d, IDC_FW_ADDRESS, CONFIG_FIREWALL_ADDRESS_MAX);
    limitText(d, IDC_FW_PORT, 10);
    setItemText(d, IDC_FW_ADDRESS, v.address);
    setItemText(d, IDC_FW_PORT, v.port);
    return TRUE;
  }
  if (m == WM_COMMAND && LOWORD(wp) == IDC_FW_EDIT_SCRIPT) {
    std::string command = std::string("notepad ") + configEnv.firewallScript;
    if (WinExec(command.c_str(), SW_SHOWNORMAL) < 32) messageBox(TXT_PROGRAM_NOT_STARTED, command.c_str(), MSG_OK | MSG_ICONEXCLAMATION);
    return TRUE;
  }
  if (m == WM_COMMAND && LOWORD(wp) == IDC_FW_CHECK) {
    scriptCheck(configEnv.firewallScript, true);
    return TRUE;
  }
  return configPageMessage(d, m, lp, CONFIG_FIREWALL, firewallRead);
}
