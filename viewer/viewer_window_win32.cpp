// The viewer window: menus, painting, zoom and scrolling, the Open command
// and the feed's messages. Decodes run inside a message handler and keep the
// window alive through the wait for data below.
#include <windows.h>
#include <commdlg.h>
#include <dde.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "shell/message_box.h"
#include "shell/message_box_win32.h"
#include "viewer/block_reader.h"
#include "viewer/feed_receive.h"
#include "viewer/feed_win32.h"
#include "viewer/jpeg_decode.h"
#include "viewer/start_file.h"
#include "viewer/view_geometry.h"
#include "viewer/viewer_ids.h"
#include "viewer/viewer_image.h"
#include "viewer/viewer_output.h"
#include "viewer/viewer_text.h"
#include "viewer/viewer_window_win32.h"

namespace {
// The feed's own message that starts a decode once the initiate has returned.
constexpr UINT WM_FEED_DECODE = WM_USER;
// Opens the file named on the command line once the window is shown.
constexpr UINT WM_OPEN_START_FILE = WM_USER + 1;
// While fed, the wait looks this often whether the sender still exists.
constexpr UINT SENDER_CHECK_TIMER = 1;
constexpr UINT SENDER_CHECK_MS = 1000;
// The progress title changes at most this often while rows arrive.
constexpr DWORD TITLE_EVERY_MS = 250;

struct Viewer {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  HDC dc = nullptr;
  HPALETTE palette = nullptr;
  HPALETTE previousPalette = nullptr;
  ViewerImage image;
  BITMAPINFO* info = nullptr;  // header and 256 colours
  BlockReader reader;
  std::string titleName;
  int zoom = 0;
  int hPos = 0, vPos = 0, hRange = 0, vRange = 0;
  bool decoding = false;
  bool realtime = false;
  std::string startFile;  // named on the command line (Explorer's "Open with")
  DWORD titleTick = 0;    // when the progress title last changed
  std::string pendingTitle;  // the progress title of the rows so far, shown or not
};
Viewer v;

void showPendingTitle() {
  if (v.pendingTitle.empty()) return;
  SetWindowTextA(v.window, v.pendingTitle.c_str());
  v.pendingTitle.clear();
}

HMENU menu() { return GetMenu(v.window); }

void enableTopMenu(int position, bool on) {
  EnableMenuItem(menu(), position, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
  DrawMenuBar(v.window);
}

void checkZoom(int command) {
  CheckMenuRadioItem(menu(), VIEWER_CMD_ZOOM_FIRST, VIEWER_CMD_ZOOM_LAST, command, MF_BYCOMMAND);
}

void clientSize(int* w, int* h) {
  RECT r;
  GetClientRect(v.window, &r);
  *w = r.right;
  *h = r.bottom;
}

void updateScrollRanges() {
  int cw, ch;
  clientSize(&cw, &ch);
  int hRange = v.image.bits ? scrollRange(v.image.width, cw) : 0;
  int vRange = v.image.bits ? scrollRange(v.image.height, ch) : 0;
  v.hPos = keepFraction(v.hPos, v.hRange, hRange);
  v.vPos = keepFraction(v.vPos, v.vRange, vRange);
  v.hRange = hRange;
  v.vRange = vRange;
  SetScrollRange(v.window, SB_HORZ, 0, hRange, FALSE);
  SetScrollPos(v.window, SB_HORZ, v.hPos, TRUE);
  SetScrollRange(v.window, SB_VERT, 0, vRange, FALSE);
  SetScrollPos(v.window, SB_VERT, v.vPos, TRUE);
}

void freePicture() {
  if (v.palette) {
    SelectPalette(v.dc, v.previousPalette ? v.previousPalette : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)),
                  FALSE);
    DeleteObject(v.palette);
    v.palette = nullptr;
    v.previousPalette = nullptr;
  }
  imageFree(v.image);
  free(v.info);
  v.info = nullptr;
}

void realizePalette() {
  if (!v.palette) return;
  SelectPalette(v.dc, v.palette, FALSE);
  RealizePalette(v.dc);
}

void paint() {
  PAINTSTRUCT ps;
  BeginPaint(v.window, &ps);
  if (v.image.bits && v.info) {
    realizePalette();
    if (v.zoom == 0) {
      int sx = v.hPos * SCROLL_UNIT, sy = v.vPos * SCROLL_UNIT;
      SetDIBitsToDevice(v.dc, 0, 0, v.image.width - sx, v.image.height - sy, sx, 0, 0, v.image.height,
                        v.image.bits, v.info, DIB_RGB_COLORS);
    } else {
      StretchDIBits(v.dc, 0, 0, zoomedSize(v.image.width, v.zoom), zoomedSize(v.image.height, v.zoom), 0, 0,
                    v.image.width, v.image.height, v.image.bits, v.info, DIB_RGB_COLORS, SRCCOPY);
    }
  }
  EndPaint(v.window, &ps);
}

void scroll(int bar, WPARAM wParam) {
  if (v.zoom != 0) return;
  int cw, ch;
  clientSize(&cw, &ch);
  bool horizontal = bar == SB_HORZ;
  int& pos = horizontal ? v.hPos : v.vPos;
  int range = horizontal ? v.hRange : v.vRange;
  int client = horizontal ? cw : ch;
  ScrollStep step;
  switch (LOWORD(wParam)) {
    case SB_LINEUP: step = ScrollStep::LineBack; break;
    case SB_LINEDOWN: step = ScrollStep::LineOn; break;
    case SB_PAGEUP: step = ScrollStep::PageBack; break;
    case SB_PAGEDOWN: step = ScrollStep::PageOn; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: step = ScrollStep::Thumb; break;
    case SB_TOP: step = ScrollStep::Top; break;
    case SB_BOTTOM: step = ScrollStep::Bottom; break;
    default: return;
  }
  int next = scrollStep(pos, range, step, client, HIWORD(wParam));
  if (next == pos) return;
  int moved = (pos - next) * SCROLL_UNIT;
  pos = next;
  SetScrollPos(v.window, bar, pos, TRUE);
  if (horizontal) ScrollWindow(v.window, moved, 0, nullptr, nullptr);
  else ScrollWindow(v.window, 0, moved, nullptr, nullptr);
  UpdateWindow(v.window);
}

void setZoom(int command) {
  int index = zoomIndexForCommand(command);
  if (index < 0 || !v.image.bits) return;
  v.zoom = index;
  checkZoom(command);
  ShowScrollBar(v.window, SB_BOTH, index == 0);
  if (index == 0) updateScrollRanges();
  InvalidateRect(v.window, nullptr, TRUE);
}

void pictureShown(bool built) {
  enableTopMenu(VIEWER_MENU_ZOOM, built);
  if (!built) return;
  for (int id = VIEWER_CMD_ZOOM_FIRST; id <= VIEWER_CMD_ZOOM_LAST; ++id)
    if (zoomIndexForCommand(id) == v.zoom) checkZoom(id);
}

void resetForDecode(const std::string& path, bool growing) {
  v.hPos = v.vPos = v.hRange = v.vRange = 0;
  v.zoom = 0;
  enableTopMenu(VIEWER_MENU_ZOOM, false);
  ShowScrollBar(v.window, SB_BOTH, TRUE);
  freePicture();
  InvalidateRect(v.window, nullptr, TRUE);
  UpdateWindow(v.window);
  blockReaderReset(v.reader, path, growing);
}

int runDecode() {
  v.decoding = true;
  v.pendingTitle.clear();
  int result = decodeJpeg(v.reader, v.image);
  v.decoding = false;
  showPendingTitle();  // the rows that came last, however the decode ended
  if (result != DECODE_DONE) freePicture();
  return result;
}

void openPath(const char* path);

void openFile() {
  char path[MAX_PATH] = "";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = v.window;
  ofn.lpstrFilter = "JPEG Files(*.jpg)\0*.jpg\0";
  ofn.lpstrFile = path;
  ofn.nMaxFile = sizeof path;
  ofn.lpstrTitle = "Open File";
  ofn.Flags = OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&ofn)) return;
  openPath(path);
}

void openPath(const char* path) {
  FILE* probe = fopen(path, "rb");
  if (!probe) return;
  fclose(probe);
  v.realtime = false;
  resetForDecode(path, false);
  v.titleName = titleName(path);
  if (!hasJpgMark(path)) {
    messageBoxText(TEXT_NOT_JPG, MSG_OK);
    return;
  }
  viewerFeed.fedDecode = false;
  int result = runDecode();
  MessageBeep(0);
  if (result == DECODE_CLOSE) PostMessageA(v.window, WM_CLOSE, 0, 0);
  else if (result == DECODE_OPEN) PostMessageA(v.window, WM_COMMAND, VIEWER_CMD_OPEN, 0);
  pictureShown(v.image.bits != nullptr);
}

void feedDecode() {
  if (!feedOpen(viewerFeed)) return;  // withdrawn before it started
  // The title and the ".JPG" test use the OEM form; the file is opened by
  // the path exactly as the sender named it.
  std::string upper = viewerFeed.path;
  CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
  std::string oem(upper.size() + 1, '\0');
  CharToOemA(upper.c_str(), &oem[0]);
  oem.resize(strlen(oem.c_str()));
  int result = DECODE_FAILED;
  if (hasJpgMark(oem)) {
    enableTopMenu(VIEWER_MENU_FILE, false);
    viewerFeed.fedDecode = true;
    v.decoding = true;
    SetTimer(v.window, SENDER_CHECK_TIMER, SENDER_CHECK_MS, nullptr);
    // What is shown stays until the first block: a viewer that was not
    // chosen has the feed withdrawn before then.
    int first = viewerWaitData();
    if (first == WAIT_BLOCK || first == WAIT_COMPLETE) {
      v.titleName = titleName(oem);
      resetForDecode(viewerFeed.path, true);
      v.reader.blockAnnounced = first == WAIT_BLOCK;
      v.reader.senderDone = first == WAIT_COMPLETE;
      result = runDecode();
    } else {
      result = first;
    }
    KillTimer(v.window, SENDER_CHECK_TIMER);
    v.decoding = false;
  } else {
    messageBoxText(TEXT_UNKNOWN_TYPE, MSG_OK);
  }
  feedDecodeFinished(viewerFeed);
  if (viewerFeed.closeRequested) {
    PostMessageA(v.window, WM_CLOSE, 0, 0);
    return;
  }
  enableTopMenu(VIEWER_MENU_FILE, true);
  pictureShown(v.image.bits != nullptr);
  if (result == DECODE_OPEN) PostMessageA(v.window, WM_COMMAND, VIEWER_CMD_OPEN, 0);
}

std::string atomText(ATOM atom) {
  char text[256] = "";
  if (atom) GlobalGetAtomNameA(atom, text, sizeof text);
  return text;
}

void initiate(WPARAM wParam, LPARAM lParam) {
  if (v.decoding) return;
  // The names are read here, while the sender still holds its atoms.
  std::string application = atomText(LOWORD(lParam));
  std::string topic = atomText(HIWORD(lParam));
  FeedWindow sender = static_cast<FeedWindow>(wParam);
  if (!feedAcceptInitiate(viewerFeed, application, topic, sender)) return;
  SendMessageA(reinterpret_cast<HWND>(wParam), WM_DDE_ACK, reinterpret_cast<WPARAM>(v.window), lParam);
  PostMessageA(v.window, WM_FEED_DECODE, 0, 0);
}

INT_PTR CALLBACK AboutDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    // The 32-bit query stops at 2 GB, and so would a long: machines have more.
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    char text[64];
    snprintf(text, sizeof text, TEXT_ABOUT_MEMORY, static_cast<unsigned long long>(status.ullTotalPhys));
    SetDlgItemTextA(dialog, VIEWER_ABOUT_MEMORY, text);
    return TRUE;
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  return FALSE;
}

void showAbout() { DialogBoxParamA(v.instance, "ABOUT", v.window, AboutDlgFunc, 0); }

void closeWindow() {
  if (v.decoding) {
    viewerFeed.closeRequested = true;
    return;
  }
  feedWindowClosing(viewerFeed);
  freePicture();
  ReleaseDC(v.window, v.dc);
  v.dc = nullptr;
  DestroyWindow(v.window);
}

void command(WPARAM wParam) {
  int id = LOWORD(wParam);
  if (id == VIEWER_CMD_OPEN) openFile();
  else if (id == VIEWER_CMD_EXIT) PostMessageA(v.window, WM_CLOSE, 0, 0);
  else if (id == VIEWER_CMD_ABOUT) showAbout();
  else if (zoomIndexForCommand(id) >= 0) setZoom(id);
}

void created(HWND window) {
  v.window = window;
  v.dc = GetDC(window);
  SetStretchBltMode(v.dc, COLORONCOLOR);
  SetBkMode(v.dc, OPAQUE);
  SetBkColor(v.dc, GetSysColor(COLOR_WINDOW));
  SetTextColor(v.dc, GetSysColor(COLOR_WINDOWTEXT));
  messageBoxSetOwner(window);
  feedReceiverReset(viewerFeed, reinterpret_cast<FeedWindow>(window));
  enableTopMenu(VIEWER_MENU_ZOOM, false);
  if (v.realtime) enableTopMenu(VIEWER_MENU_FILE, false);
}

LRESULT CALLBACK viewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: created(window); return 0;
    case WM_COMMAND: command(wParam); return 0;
    case WM_PAINT: paint(); return 0;
    case WM_HSCROLL: scroll(SB_HORZ, wParam); return 0;
    case WM_VSCROLL: scroll(SB_VERT, wParam); return 0;
    case WM_SIZE:
      if (v.zoom == 0) updateScrollRanges();
      return 0;
    case WM_QUERYNEWPALETTE:
      if (!v.palette) return FALSE;
      realizePalette();
      InvalidateRect(window, nullptr, FALSE);
      return TRUE;
    case WM_PALETTECHANGED:
      if (reinterpret_cast<HWND>(wParam) != window) realizePalette();
      return 0;
    case WM_DDE_INITIATE: initiate(wParam, lParam); return 0;
    case WM_FEED_DECODE: feedDecode(); return 0;
    case WM_OPEN_START_FILE:
      if (!v.decoding) openPath(v.startFile.c_str());
      return 0;
    case WM_DDE_TERMINATE: feedTerminated(viewerFeed, static_cast<FeedWindow>(wParam)); return 0;
    case WM_CLOSE: closeWindow(); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

// What a queued message means to a waiting decode; others are dispatched.
FeedEvent classify(const MSG& msg, FeedWindow* from) {
  *from = static_cast<FeedWindow>(msg.wParam);
  if (msg.hwnd == v.window || msg.hwnd == nullptr) {
    switch (msg.message) {
      case WM_COMMAND:
        if (LOWORD(msg.wParam) == VIEWER_CMD_OPEN) return FeedEvent::Open;
        if (LOWORD(msg.wParam) == VIEWER_CMD_EXIT) return FeedEvent::Exit;
        break;
      case WM_DDE_INITIATE: return FeedEvent::Initiate;
      case WM_DDE_TERMINATE: return FeedEvent::Terminate;
      case WM_DDE_EXECUTE:
        feedExecuteReceived(msg.lParam);
        return FeedEvent::Execute;
      case WM_TIMER:
        // A sender that vanished sends no terminate; its absence is one.
        if (msg.wParam == SENDER_CHECK_TIMER) {
          *from = viewerFeed.sender;
          return feedWindowAlive(viewerFeed.sender) ? FeedEvent::None : FeedEvent::Terminate;
        }
        break;
      case WM_QUIT:
        viewerFeed.closeRequested = true;
        return FeedEvent::Exit;
    }
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return FeedEvent::Other;
}
}  // namespace

int viewerWaitData() {
  for (;;) {
    MSG msg;
    FeedEvent event = FeedEvent::None;
    FeedWindow from = 0;
    if (viewerFeed.fedDecode) {
      if (GetMessageA(&msg, nullptr, 0, 0) <= 0) msg.message = WM_QUIT;
      event = classify(msg, &from);
    } else if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      event = classify(msg, &from);
    }
    int result = feedWaitStep(viewerFeed, event, from);
    if (result != WAIT_AGAIN) return result;
  }
}

void viewerOutputStart(ViewerImage& image) {
  v.titleTick = GetTickCount();
  size_t size = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);
  v.info = static_cast<BITMAPINFO*>(calloc(1, size));
  if (!v.info) return;
  BITMAPINFOHEADER& h = v.info->bmiHeader;
  h.biSize = sizeof h;
  h.biWidth = image.width;
  h.biHeight = image.height;
  h.biPlanes = 1;
  h.biBitCount = 8;
  h.biCompression = BI_RGB;
  h.biSizeImage = static_cast<DWORD>(image.bitsSize);
  h.biClrUsed = 256;
  h.biClrImportant = 256;
  updateScrollRanges();
}

int viewerOutputPalette(ViewerImage& image) {
  if (!v.info) return -1;
  struct {
    WORD version;
    WORD entries;
    PALETTEENTRY colours[256];
  } logical{};
  logical.version = 0x300;
  logical.entries = static_cast<WORD>(image.colours);
  for (int i = 0; i < image.colours; ++i) {
    logical.colours[i] = {image.palette[i][0], image.palette[i][1], image.palette[i][2], 0};
    v.info->bmiColors[i] = {image.palette[i][2], image.palette[i][1], image.palette[i][0], 0};
  }
  v.palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
  if (!v.palette) return -1;
  v.previousPalette = SelectPalette(v.dc, v.palette, FALSE);
  RealizePalette(v.dc);
  return 0;
}

void viewerOutputRows(ViewerImage& image, int first, int count) {
  // A title change costs tens of milliseconds under Wine: shown after every
  // batch of rows it took a 800 x 600 picture seconds to appear.
  DWORD now = GetTickCount();
  v.pendingTitle = progressTitle(v.titleName, image.rowsDone, image.height);
  if (image.rowsDone >= image.height || now - v.titleTick >= TITLE_EVERY_MS) {
    v.titleTick = now;
    showPendingTitle();
  }
  if (!v.info || v.zoom != 0) return;
  int sx = v.hPos * SCROLL_UNIT, sy = v.vPos * SCROLL_UNIT;
  SetDIBitsToDevice(v.dc, -sx, first - sy, image.width, count, 0, image.height - first - count, 0, image.height,
                    image.bits, v.info, DIB_RGB_COLORS);
}

int viewerMain(HINSTANCE instance, const char* commandLine, int show) {
  v.instance = instance;
  v.realtime = commandLine && strcmp(commandLine, "1") == 0;
  v.startFile = viewerStartFile(commandLine);
  WNDCLASSA wc{};
  wc.style = CS_BYTEALIGNCLIENT | CS_BYTEALIGNWINDOW | CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = viewerProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, "GIFJPEG");
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszMenuName = "File";
  wc.lpszClassName = VIEWER_CLASS;
  if (!RegisterClassA(&wc)) return 1;
  HWND window = CreateWindowA(VIEWER_CLASS, VIEWER_TITLE, WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                              instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);
  if (!v.startFile.empty()) PostMessageA(window, WM_OPEN_START_FILE, 0, 0);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
