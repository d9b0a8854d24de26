// File transfers in the Telnet program's session: Receive and Send open the
// transfer dialog over the main window, a host's ZMODEM sender opens it with
// no command, and the dialog's end gives the line back to the terminal. Also
// the real-time JPEG choice, which belongs to the session's entry.
#include <windows.h>

#include "shell/book_entry.h"
#include "telnet/netlink_win32.h"
#include "telnet/session_options.h"
#include "telnet/telnet_ids.h"
#include "telnet/telnet_program_win32.h"
#include "terminal/link.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_dialog_win32.h"
#include "transfer/transfer_settings.h"
#include "transfer/zmodem.h"

namespace {
TelnetProgram& P = telnetProgram;

// While the dialog exists the transfer reads the line itself: the socket
// reports only write and close, so received data waits in it for the dialog.
bool openTransfer(bool sending, bool zmodemAutoStart) {
  if (transferDialog() || !P.online || P.scriptRunning) return false;
  TransferSettings settings = transferSettingsFromBook(sessionEntry);
  if (zmodemAutoStart) settings.protocol = PROTOCOL_ZMODEM;
  // A download folder removed since it was chosen is made again, rather than
  // every received file failing to open.
  if (!sending && settings.downloadDir[0]) CreateDirectoryA(settings.downloadDir, nullptr);
  netTransferEvents(true);
  HWND dialog = sending ? transferStartSend(P.window, settings, nullptr, nullptr)
                        : transferStartReceive(P.window, settings, nullptr);
  if (!dialog) netTransferEvents(false);
  return dialog != nullptr;
}

// The auto-start saw a sender's ZRQINIT in the received stream.
bool autoStartReceive() { return openTransfer(false, true); }

bool jpegRealtime() { return recordInt(sessionEntry.bytes, bookField::viewJpegRealtime) != 0; }
}  // namespace

void sessionTransferInit() {
  zmodemAutoStartInstall();
  zmodemOpenReceive = autoStartReceive;
}

void sessionTransfer(bool sending) { openTransfer(sending, false); }

void sessionTransferDone() {
  int result = transferDialogClose(P.window);
  netTransferEvents(false);
  sessionTransferOptions();
  // The line went during the transfer: the session ends as when the host closes.
  if (result == LINK_LOST) netDisconnect();
}

void sessionTransferOptions() {
  sessionApplyTransfer(sessionEntry);
  CheckMenuItem(GetMenu(P.window), CMD_VIEW_JPEG_REALTIME,
                MF_BYCOMMAND | (jpegRealtime() ? MF_CHECKED : MF_UNCHECKED));
}

void sessionToggleJpegRealtime() {
  recordSetInt(sessionEntry.bytes, bookField::viewJpegRealtime, jpegRealtime() ? 0 : 1);
  sessionTransferOptions();
}
