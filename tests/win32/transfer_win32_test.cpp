// XFRDLG and BATCHLIST under Wine: a YMODEM send to lrzsz rb and a ZMODEM
// receive from sz over loopback TCP connections that tests/win32/run provides,
// the files byte-identical, with screenshots of the dialog while it runs and
// of the batch list. Other receives and Kermit run inside varnix32 itself
// (varnix32_e2e.py).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <atomic>
#include <string>
#include <thread>

#include "screenshot.h"
#include "telnet/netlink_win32.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "transfer/protocol_table.h"
#include "frame/frame_session.h"
#include "transfer/transfer_dialog_ids.h"
#include "transfer/transfer_dialog_win32.h"
#include "win32_driver.h"

namespace {
std::string transferDir() {
  const char* dir = getenv("SUITE_TEST_TRANSFER_DIR");
  return dir ? dir : "";
}

// A plain TCP connection (no Telnet layer) to an lrzsz listener.
void connectTo(const char* portVariable) {
  const char* port = getenv(portVariable);
  ASSERT_NE(port, nullptr) << "tests/win32/run starts the lrzsz listeners";
  ASSERT_TRUE(prepareTelnet());
  // No Telnet layer; and a read notification already queued must not hand
  // the peer's bytes to the terminal: the transfer owns the line at once.
  testConnection().transferBegin = [] { netTransferEvents(true); };
  testConnection().attach = [] {
    netEvents.established = true;
    frameTransferBegin();
  };
  testConnection().sessionStart = [] {};
  ASSERT_EQ(openLine(loopbackRequest("127.0.0.1", atoi(port))), 0);
  ASSERT_TRUE(pumpUntil([] { return netEvents.established || lineEnded(); }, 10000));
  ASSERT_TRUE(netEvents.established);
  terminalOptions.telnet = false;
}

std::string dialogText(int id) {
  char text[128] = "";
  GetDlgItemTextA(transferDialog(), id, text, sizeof text);
  return text;
}

// Runs the dialog until its button reads "OK". The transfer runs inside the
// dialog's own message handler, so a second thread watches the figures and
// saves a screenshot once rate, time left and percentage are filled in.
// Then OK is pressed and the main window closes the dialog.
int runDialog(HWND dialog, const char* shot) {
  std::atomic<bool> over{false}, watched{false}, shotTaken{false};
  std::string seen;
  std::thread watcher([&] {
    // The watcher reads the dialog through messages the main thread answers:
    // the main thread pumps until it is done instead of blocking in join().
    while (!over) {
      Sleep(100);
      std::string percent = dialogText(IDC_XFER_PERCENT), rate = dialogText(IDC_XFER_RATE);
      std::string remaining = dialogText(IDC_XFER_REMAINING);
      seen = "rate '" + rate + "', left '" + remaining + "', '" + percent + "'";
      if (!rate.empty() && !remaining.empty() && !percent.empty() && percent != "0 %" && percent != "100 %") {
        saveScreenshot(shot);
        shotTaken = true;
        break;
      }
    }
    watched = true;
  });
  pumpUntil([&] { return dialogText(IDC_XFER_BUTTON) == "OK"; }, 120000);
  over = true;
  pumpUntil([&] { return watched.load(); }, 10000);
  watcher.join();
  EXPECT_TRUE(shotTaken) << "the dialog never showed rate, time left and percentage together; last seen: " << seen;
  EXPECT_EQ(dialogText(IDC_XFER_BUTTON), "OK");
  EXPECT_FALSE(IsWindowEnabled(mainWindow())) << "the main window waits while the dialog is open";
  SendMessageA(dialog, WM_COMMAND, IDC_XFER_BUTTON, 0);
  EXPECT_TRUE(IsWindowEnabled(mainWindow()));
  return transferDialogClose(mainWindow());
}
}  // namespace

TEST(TransferDialog, YmodemSendToRbThroughTheDialog) {
  ASSERT_NO_FATAL_FAILURE(connectTo("SUITE_TEST_RB_PORT"));
  TransferSettings settings = transferSettingsDefault();
  settings.protocol = PROTOCOL_YMODEM;
  BatchList batch;
  batchAdd(batch, (transferDir() + "\\send\\wine-data.bin").c_str());
  HWND dialog = transferStartSend(mainWindow(), settings, nullptr, &batch);
  ASSERT_NE(dialog, nullptr);
  char caption[64] = "";
  GetWindowTextA(dialog, caption, sizeof caption);
  EXPECT_STREQ(caption, "Sending");
  EXPECT_EQ(runDialog(dialog, "transfer_send_running"), 0);
  // rb writes the file as the last block is acknowledged; give it a moment.
  std::string sent = readFile(transferDir() + "\\send\\wine-data.bin");
  pumpUntil([&] { return readFile(transferDir() + "\\up\\wine-data.bin").size() == sent.size(); }, 5000);
  EXPECT_EQ(readFile(transferDir() + "\\up\\wine-data.bin"), sent);
  netDisconnect();
}

// A ZMODEM receive from sz through the dialog: without a download folder the
// file lands in the program directory, whichever folder was current before;
// into a folder that cannot be made the receive fails as "Transfer cancelled".
TEST(TransferDialog, ZmodemReceiveFromSzIntoTheProgramDirectoryOrCancelled) {
  struct Case {
    const char* downloadDir;
    const char* status;
  } cases[] = {{"", "Done"}, {"Q:\\no\\such\\folder", "Transfer cancelled"}};
  char before[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof before, before);
  std::string program = freshProgramDir("zmodem-receive");
  for (const Case& c : cases) {
    ASSERT_NO_FATAL_FAILURE(connectTo("SUITE_TEST_SZ_PORT"));
    SetCurrentDirectoryA((transferDir() + "\\up").c_str());  // as a file dialog may leave it
    TransferSettings settings = transferSettingsDefault();
    settings.protocol = PROTOCOL_ZMODEM;
    std::snprintf(settings.downloadDir, sizeof settings.downloadDir, "%s", c.downloadDir);
    HWND dialog = transferStartReceive(mainWindow(), settings, nullptr);
    ASSERT_NE(dialog, nullptr);
    pumpUntil([] { return dialogText(IDC_XFER_BUTTON) == "OK"; }, 60000);
    EXPECT_EQ(dialogText(IDC_XFER_STATUS), c.status) << c.downloadDir;
    SendMessageA(dialog, WM_COMMAND, IDC_XFER_BUTTON, 0);
    transferDialogClose(mainWindow());
    netDisconnect();
  }
  SetCurrentDirectoryA(before);
  EXPECT_TRUE(readFile(program + "\\from-sz.bin") == readFile(transferDir() + "\\send\\from-sz.bin"))
      << "the received file is not whole in the program directory";
}

// The batch list starts with the given entries; Delete removes the selected
// one, Done hands the rest back.
TEST(TransferDialog, BatchListDeleteAndDone) {
  BatchList list;
  batchAdd(list, "C:\\first\\one.bin");
  batchAdd(list, "C:\\a\\much\\longer\\path\\to\\the\\second\\file\\two.bin");
  batchAdd(list, "C:\\third.bin");
  std::thread user([] {
    HWND box = waitForWindow("Batch List", 5000);
    if (!box) return;
    Sleep(200);
    saveScreenshot("batch_list");
    SendMessageA(GetDlgItem(box, IDC_BATCH_LIST), LB_SETCURSEL, 1, 0);
    SendMessageA(box, WM_COMMAND, IDC_BATCH_DELETE, 0);
    SendMessageA(box, WM_COMMAND, IDC_BATCH_DONE, 0);
  });
  int count = transferBatchDialog(mainWindow(), &list);
  user.join();
  EXPECT_EQ(count, 2);
  ASSERT_EQ(batchCount(list), 2);
  EXPECT_STREQ(batchPath(list, 0), "C:\\first\\one.bin");
  EXPECT_STREQ(batchPath(list, 1), "C:\\third.bin");
}
