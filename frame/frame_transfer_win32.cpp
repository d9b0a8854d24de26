// File transfers in the main window: Receive and Send open the transfer
// dialog, a host's ZMODEM sender opens it with no command, and the dialog's
// end gives the line back to the terminal. Also the real-time JPEG choice,
// which belongs to the session's record.
#include <windows.h>

#include "frame/frame_internal_win32.h"
#include "frame/frame_session.h"
#include "frame/frame_terminal.h"
#include "terminal/hooks.h"
#include "terminal/link.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_dialog_win32.h"
#include "transfer/transfer_settings.h"
#include "transfer/zmodem.h"

namespace {
FrameWindow& W = frameWin;
const FrameProgram& P() { return *W.program; }

// While the dialog exists the transfer reads the line itself: the line
// stops announcing received data, which waits in it for the dialog.
bool openTransfer(bool sending, bool zmodemAutoStart) {
  if (transferDialog() || !frameOnline() || frameSession.scriptRunning) return false;
  TransferSettings settings = P().record.decode(P().record.session).transfer;
  if (zmodemAutoStart) settings.protocol = PROTOCOL_ZMODEM;
  // A download folder removed since it was chosen is made again, rather than
  // every received file failing to open.
  if (!sending && settings.downloadDir[0]) CreateDirectoryA(settings.downloadDir, nullptr);
  frameTransferBegin();
  HWND dialog = sending ? transferStartSend(W.window, settings, nullptr, nullptr)
                        : transferStartReceive(W.window, settings, nullptr);
  if (!dialog) frameTransferEnd();
  return dialog != nullptr;
}

// The auto-start saw a sender's ZRQINIT in the received stream.
bool autoStartReceive() { return openTransfer(false, true); }

bool jpegRealtime() { return recordInt(P().record.session, *P().record.viewJpegRealtime) != 0; }
}  // namespace

void frameTransferInit() {
  zmodemAutoStartInstall();
  terminalHooks.zmodemOpenReceive = autoStartReceive;
}

void frameTransfer(bool sending) { openTransfer(sending, false); }

void frameTransferDone() {
  int result = transferDialogClose(W.window);
  frameTransferEnd();
  frameTransferOptions();
  // The line went during the transfer: the session ends as when the host closes.
  if (result == LINK_LOST) frameClose();
}

void frameTransferOptions() {
  frameSession.profile = P().record.decode(P().record.session);
  frameApplyTransfer(frameSession.profile);
  if (int id = frameCommandId(FC_VIEW_JPEG_REALTIME))
    CheckMenuItem(GetMenu(W.window), static_cast<UINT>(id), MF_BYCOMMAND | (jpegRealtime() ? MF_CHECKED : MF_UNCHECKED));
}

void frameToggleJpegRealtime() {
  recordSetInt(P().record.session, *P().record.viewJpegRealtime, jpegRealtime() ? 0 : 1);
  frameTransferOptions();
}
