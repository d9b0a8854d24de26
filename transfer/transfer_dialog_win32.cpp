// The transfer dialogs over Win32.
#include "transfer/transfer_dialog_win32.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "shell/help_win32.h"
#include "shell/message_box.h"
#include "shell/message_ids.h"
#include "shell/program_dir.h"
#include "shell/pump.h"
#include "shell/pump_win32.h"
#include "shell/window_win32.h"
#include "terminal/link.h"
#include "transfer/ascii_transfer.h"
#include "transfer/protocol_dispatch.h"
#include "transfer/protocol_table.h"
#include "transfer/receive_loop.h"
#include "transfer/transfer_codes.h"
#include "transfer/transfer_dialog_ids.h"
#include "transfer/transfer_files.h"
#include "transfer/transfer_line.h"
#include "transfer/transfer_state.h"
#include "transfer/transfer_view.h"
#include "viewer/feed_send.h"
#include "viewer/feed_win32.h"

namespace {
struct DialogRun {
  HWND main = nullptr;
  HWND dialog = nullptr;
  bool sending = false;
  bool running = false;  // inside the send or receive
  bool ended = false;
  int result = 0;
  int percent = 0;  // what the bar shows
  TransferSettings settings{};
  std::string presetPath;
  BatchList presetBatch;
};
DialogRun run;

void viewSetText(int field, const char* text) {
  if (run.dialog) SetDlgItemTextA(run.dialog, field, text);
}
// The bar is drawn at once: a streaming sender seldom lets a paint message through.
void viewSetPercent(int percent) {
  run.percent = percent;
  if (!run.dialog) return;
  HWND bar = GetDlgItem(run.dialog, IDC_XFER_BAR);
  InvalidateRect(bar, nullptr, FALSE);
  UpdateWindow(bar);
}
void viewBeepOnce() { MessageBeep(0xFFFFFFFF); }

// The real-time JPEG hand-off: the dialog is the window the viewer answers.
FeedWindow feedClient() { return reinterpret_cast<FeedWindow>(run.dialog); }
void viewJpegStart(const char* path) { FeedStart(feedClient(), path); }
void viewJpegData(uint32_t byteCount) { FeedWritten(feedClient(), byteCount); }
// A file that ended whole gets its short last block announced; a cancelled
// or failed one only ends the feed (abortReceive clears active first).
void viewJpegFinish() {
  const TransferState& s = transferState();
  int64_t size = s.active && !s.cancelRequested ? fileSizeOf(s.localPath) : -1;
  if (size >= 0) FeedComplete(feedClient(), size);
  else FeedEnd(feedClient());
}

void attachView() {
  transferViewReset();
  transferView.setText = viewSetText;
  transferView.setPercent = viewSetPercent;
  transferView.beep = viewBeepOnce;
  transferView.jpegStart = viewJpegStart;
  transferView.jpegData = viewJpegData;
  transferView.jpegFinish = viewJpegFinish;
}

void finishJpeg() {
  TransferState& s = transferState();
  if (s.realTimeJpeg) viewJpegFinish();
  s.realTimeJpeg = false;
}

bool chooseFile(HWND owner, bool save, char* path, size_t size) {
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = "(*.*)\0*.*\0";
  path[0] = 0;
  ofn.lpstrFile = path;
  ofn.nMaxFile = static_cast<DWORD>(size);
  ofn.lpstrTitle = save ? "Save File" : "Open File";
  ofn.Flags = OFN_PATHMUSTEXIST | (save ? 0 : OFN_FILEMUSTEXIST);
  return save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
}

void drawBar(const DRAWITEMSTRUCT* item) {
  RECT r = item->rcItem;
  int percent = run.percent;
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  RECT done = r;
  done.right = r.left + (r.right - r.left) * percent / 100;
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(item->hDC, &done, blue);
  DeleteObject(blue);
  RECT rest = r;
  rest.left = done.right;
  FillRect(item->hDC, &rest, reinterpret_cast<HBRUSH>(GetCurrentObject(item->hDC, OBJ_BRUSH)));
}

void openCommon(HWND dialog) {
  run.dialog = dialog;
  attachView();
  TransferState& s = transferState();
  transferBegin(s, run.settings);
  centerOverOwner(dialog);
  EnableWindow(run.main, FALSE);
  viewText(FIELD_PROTOCOL, protocolName(s.protocol));
  viewText(FIELD_STATUS, run.sending ? "Sending" : "Waiting...");
  viewText(FIELD_ERROR, "None");
  viewText(FIELD_ERROR_COUNT, "0");
  s.startTick = GetTickCount();
  s.active = true;
  transferLineTake(run.sending);
}

void receiveOpen(HWND dialog) {
  openCommon(dialog);
  TransferState& s = transferState();
  if (protocolIsXmodem(s.protocol) || s.protocol == PROTOCOL_ASCII) {
    char path[TRANSFER_PATH_MAX];
    if (!run.presetPath.empty()) std::snprintf(path, sizeof path, "%s", run.presetPath.c_str());
    else if (!chooseFile(dialog, true, path, sizeof path)) path[0] = 0;
    if (!path[0] || fileCreate(path) < 0) {
      messageBox(TXT_FILE_OPEN_ERROR, nullptr, MSG_OK);
      s.active = false;
      run.ended = true;
      PostMessageA(dialog, WM_COMMAND, IDC_XFER_BUTTON, 0);
      return;
    }
    std::snprintf(s.localPath, sizeof s.localPath, "%s", path);
    showFileSize(0);
    showFileName(path);
    // XMODEM names its file here, not on the line: the viewer starts now.
    s.realTimeJpeg = protocolIsXmodem(s.protocol) && feedWanted(path, s.settings.viewJpegRealtime);
    if (s.realTimeJpeg) viewJpegStart(path);
  } else {
    // A received name without a download folder (or under a relative one)
    // lands in the program directory, whichever folder a file dialog left current.
    SetCurrentDirectoryA(programDir().c_str());
  }
  PostMessageA(dialog, WM_TIMER, 0, 0);
}

void receiveRunNow() {
  TransferState& s = transferState();
  run.running = true;
  int r = receiveBegin();
  if (r >= 0) r = receiveRun();
  run.running = false;
  run.ended = true;
  run.result = r == STEP_COMPLETE ? 0 : (r == XFER_TIMEOUT && s.endCode ? s.endCode : r);
  if (r != STEP_COMPLETE) s.active = false;
  finishJpeg();
  s.active = false;
  SetDlgItemTextA(run.dialog, IDC_XFER_BUTTON, "OK");
  viewBeep();
  if (r == STEP_COMPLETE) viewText(FIELD_STATUS, "Done");
  else viewText(FIELD_STATUS, s.protocol == PROTOCOL_ZMODEM && r < 0 ? "Transfer cancelled" : "Transfer terminated");
}

void sendRunNow() {
  TransferState& s = transferState();
  int r = 0;
  bool chosen = true;
  if (protocolIsBatch(s.protocol)) {
    s.batch = run.presetBatch;
    if (batchCount(s.batch) == 0 && transferBatchDialog(run.dialog, &s.batch) == 0) {
      s.cancelRequested = true;
      run.ended = true;
      PostMessageA(run.dialog, WM_COMMAND, IDC_XFER_BUTTON, 0);
      return;
    }
  } else {
    char path[TRANSFER_PATH_MAX];
    if (!run.presetPath.empty()) std::snprintf(path, sizeof path, "%s", run.presetPath.c_str());
    else if (!chooseFile(run.dialog, false, path, sizeof path)) path[0] = 0;
    int64_t size = path[0] ? fileSizeOf(path) : -1;
    showFileName(path);
    if (size > 0) {
      std::snprintf(s.localPath, sizeof s.localPath, "%s", path);
      s.fileSize = static_cast<uint32_t>(size);
      showFileSize(s.fileSize);
    } else {
      chosen = false;  // a file of 0 bytes counts as not chosen
    }
  }
  // The file choice's window goes and what it covered is drawn again before
  // the sender holds the line: while it streams, paint messages wait.
  for (int i = 0; i < 64 && pumpOne() > 0; ++i) {
  }
  if (chosen) {
    viewText(FIELD_STATUS, "Sending");
    run.running = true;
    r = protocolSend(s.protocol);
    run.running = false;
  }
  run.ended = true;
  run.result = r;
  // Finished, cancelled by the receiver or cut off: no cancel left to send
  // when the dialog closes.
  if (r == 0 || r == LINK_LOST || r == XFER_CANCEL_RECEIVED) s.active = false;
  SetDlgItemTextA(run.dialog, IDC_XFER_BUTTON, "OK");
  viewBeep();
  if (r != 0) {
    viewText(FIELD_STATUS, "Error");
    if (r < 0) viewText(FIELD_ERROR, transferErrorText(r));
  } else {
    viewText(FIELD_STATUS, "Done");
    viewText(FIELD_ERROR, "Successful");
    s.finished = true;
  }
}

void closeDialog() {
  TransferState& s = transferState();
  // A send that ended while the receiver may still wait: tell it.
  if (run.sending && s.active && s.protocol != PROTOCOL_ASCII) sendCancel(s.protocol == PROTOCOL_ZMODEM ? 5 : 3);
  // A text capture cut short still keeps what it caught.
  if (!run.sending && s.protocol == PROTOCOL_ASCII) asciiReceiveFlush();
  if (linkConnected()) transferLineGiveBack();
  s.active = false;
  finishJpeg();
  EnableWindow(run.main, TRUE);
  EnableWindow(run.dialog, FALSE);
  while (!PostMessageA(run.main, TRANSFER_DONE_MESSAGE, 0, 0)) Sleep(10);
}

void cancelPressed() {
  TransferState& s = transferState();
  if (run.running) {
    if (run.sending) {
      viewText(FIELD_ERROR, "User abort");
      s.cancelRequested = true;
      linkPurge(0);
      linkPurge(1);
    } else {
      receiveCancelByUser();
    }
    return;
  }
  if (!run.ended) return;
  closeDialog();
}

INT_PTR transferDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == 0) {
        if (run.sending) sendRunNow();
        else receiveRunNow();
        return TRUE;
      }
      KillTimer(dialog, wParam);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_XFER_BUTTON || LOWORD(wParam) == IDCANCEL) {
        cancelPressed();
        return TRUE;
      }
      break;
    case WM_CLOSE:
      cancelPressed();
      return TRUE;
    case WM_DRAWITEM:
      if (wParam == IDC_XFER_BAR) {
        drawBar(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      }
      break;
  }
  return FALSE;
}

HWND startDialog(HWND mainWindow, const TransferSettings& settings, const char* localPath, bool sending,
                 const BatchList* preset) {
  if (run.dialog) return nullptr;  // one transfer at a time
  run = DialogRun{};
  run.main = mainWindow;
  run.settings = settings;
  if (run.settings.maxErrors <= 0) run.settings.maxErrors = DEFAULT_MAX_ERRORS;
  run.sending = sending;
  if (localPath) run.presetPath = localPath;
  if (preset) run.presetBatch = *preset;
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), "XFRDLG", mainWindow,
                                   sending ? SendDlgFunc : ReceiveDlgFunc, 0);
  if (!dialog) return nullptr;
  pumpSetDialog(dialog);
  ShowWindow(dialog, SW_SHOW);
  return dialog;
}

// BATCHLIST: the list box is the list; its widest entry sets the scroll extent.
void measureExtent(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_BATCH_LIST);
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
  int widest = 0;
  int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[TRANSFER_PATH_MAX];
    if (SendMessageA(list, LB_GETTEXTLEN, i, 0) >= static_cast<LRESULT>(sizeof text)) continue;
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    SIZE size;
    if (GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size) && size.cx > widest)
      widest = size.cx;
  }
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  SendMessageA(list, LB_SETHORIZONTALEXTENT, widest + 8, 0);
}

void batchEntriesChanged(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_BATCH_LIST);
  int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  EnableWindow(GetDlgItem(dialog, IDC_BATCH_DELETE), count > 0);
  if (count <= 0) return;
  measureExtent(dialog);
  if (SendMessageA(list, LB_GETCURSEL, 0, 0) == LB_ERR) SendMessageA(list, LB_SETCURSEL, 0, 0);
}

bool batchAddEntry(HWND dialog, const char* path) {
  HWND list = GetDlgItem(dialog, IDC_BATCH_LIST);
  LRESULT r = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path));
  if (r == LB_ERR || r == LB_ERRSPACE) {
    messageBox(TXT_BATCH_FULL, nullptr, MSG_OK);
    return false;
  }
  return true;
}

void batchDone(HWND dialog, BatchList* out) {
  HWND list = GetDlgItem(dialog, IDC_BATCH_LIST);
  int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  BatchList chosen;
  for (int i = 0; i < count; ++i) {
    char text[TRANSFER_PATH_MAX];
    if (SendMessageA(list, LB_GETTEXTLEN, i, 0) >= static_cast<LRESULT>(sizeof text)) continue;
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    if (batchAdd(chosen, text) < 0) {
      messageBox(TXT_BATCH_NO_MEMORY, nullptr, MSG_OK);
      return;
    }
  }
  *out = chosen;
  EndDialog(dialog, batchCount(chosen));
}
}  // namespace

INT_PTR CALLBACK ReceiveDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (feedAnswerMessage(message, wParam, lParam)) return TRUE;  // the viewer's answers
  if (message == WM_INITDIALOG) {
    receiveOpen(dialog);
    return TRUE;
  }
  return transferDialogMessage(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK SendDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    openCommon(dialog);
    SetWindowTextA(dialog, "Sending");
    PostMessageA(dialog, WM_TIMER, 0, 0);
    return TRUE;
  }
  return transferDialogMessage(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK BatchDlgFunc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      const BatchList* start = reinterpret_cast<const BatchList*>(lParam);
      if (start)
        for (int i = 0; i < batchCount(*start); ++i) batchAddEntry(dialog, batchPath(*start, i));
      EnableWindow(GetDlgItem(dialog, IDC_BATCH_DELETE), FALSE);
      batchEntriesChanged(dialog);
      return TRUE;
    }
    case WM_COMMAND: {
      BatchList* out = reinterpret_cast<BatchList*>(GetWindowLongPtrA(dialog, DWLP_USER));
      HWND list = GetDlgItem(dialog, IDC_BATCH_LIST);
      switch (LOWORD(wParam)) {
        case IDC_BATCH_ADD: {
          char path[TRANSFER_PATH_MAX];
          // The dialog returns the full path of the chosen file.
          if (chooseFile(dialog, false, path, sizeof path) && batchAddEntry(dialog, path)) batchEntriesChanged(dialog);
          return TRUE;
        }
        case IDC_BATCH_DELETE: {
          LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
          if (selected != LB_ERR) SendMessageA(list, LB_DELETESTRING, selected, 0);
          int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
          if (count > 0) {
            int next = selected > 0 ? static_cast<int>(selected) - 1 : 0;
            SendMessageA(list, LB_SETCURSEL, next, 0);
          }
          batchEntriesChanged(dialog);
          return TRUE;
        }
        case IDC_BATCH_DONE:
          if (out) batchDone(dialog, out);
          else EndDialog(dialog, 0);
          return TRUE;
        case IDC_BATCH_CANCEL:
        case IDCANCEL:
          EndDialog(dialog, 0);
          return TRUE;
        case IDC_BATCH_HELP:
          helpShowTopic(dialog, HELP_BATCH_LIST);
          return TRUE;
      }
      break;
    }
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

HWND transferStartReceive(HWND mainWindow, const TransferSettings& settings, const char* localPath) {
  return startDialog(mainWindow, settings, localPath, false, nullptr);
}

HWND transferStartSend(HWND mainWindow, const TransferSettings& settings, const char* localPath,
                       const BatchList* preset) {
  return startDialog(mainWindow, settings, localPath, true, preset);
}

int transferDialogClose(HWND mainWindow) {
  if (run.dialog) DestroyWindow(run.dialog);
  run.dialog = nullptr;
  transferViewReset();
  pumpSetDialog(nullptr);
  EnableWindow(mainWindow, TRUE);
  return run.result;
}

HWND transferDialog() { return run.dialog; }

int transferBatchDialog(HWND owner, BatchList* list) {
  INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), "BATCHLIST", owner, BatchDlgFunc,
                              reinterpret_cast<LPARAM>(list));
  return r > 0 ? static_cast<int>(r) : 0;
}
