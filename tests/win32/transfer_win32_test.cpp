// XFRDLG and BATCHLIST under Wine: a YMODEM receive from lrzsz sb and a send
// to lrzsz rb over a loopback TCP connection that tests/win32/run provides,
// KERMIT both ways with gkermit started by the shell of the runner's Telnet
// host, the files byte-identical, with screenshots of the dialog while it runs
// and of the batch list.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <atomic>
#include <string>
#include <thread>

#include "screenshot.h"
#include "telnet/netlink_win32.h"
#include "telnet/session_hooks.h"
#include "terminal/link.h"
#include "terminal/options.h"
#include "terminal/receive.h"
#include "transfer/protocol_table.h"
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
  sessionHooks.established = [] { netEvents.established = true; };
  // A read notification already queued must not hand the peer's bytes to the
  // terminal once the transfer owns the line.
  sessionHooks.receivePass = [] { return 0; };
  ASSERT_EQ(netConnect(mainWindow(), loopbackRequest("127.0.0.1", atoi(port))), 0);
  ASSERT_TRUE(pumpUntil([] { return netEvents.established || netEvents.ended; }, 10000));
  ASSERT_TRUE(netEvents.established);
  terminalOptions.telnet = false;
  netTransferEvents(true);  // the transfer reads the socket itself
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
  std::atomic<bool> over{false}, watched{false};
  std::thread watcher([&] {
    // The watcher reads the dialog through messages the main thread answers:
    // the main thread pumps until it is done instead of blocking in join().
    struct Done {
      std::atomic<bool>& flag;
      ~Done() { flag = true; }
    } done{watched};
    while (!over) {
      Sleep(100);
      std::string percent = dialogText(IDC_XFER_PERCENT);
      if (!dialogText(IDC_XFER_RATE).empty() && !dialogText(IDC_XFER_REMAINING).empty() && !percent.empty() &&
          percent != "0 %" && percent != "100 %") {
        saveScreenshot(shot);
        return;
      }
    }
  });
  pumpUntil([&] { return dialogText(IDC_XFER_BUTTON) == "OK"; }, 120000);
  over = true;
  pumpUntil([&] { return watched.load(); }, 10000);
  watcher.join();
  EXPECT_EQ(dialogText(IDC_XFER_BUTTON), "OK");
  EXPECT_FALSE(IsWindowEnabled(mainWindow())) << "the main window waits while the dialog is open";
  SendMessageA(dialog, WM_COMMAND, IDC_XFER_BUTTON, 0);
  EXPECT_TRUE(IsWindowEnabled(mainWindow()));
  return transferDialogClose(mainWindow());
}

// The host's view of a "Z:\..." folder.
std::string hostPath(std::string path) {
  path = path.substr(2);
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

// Logs in to the loopback host and starts gkermit there, as a user does
// before choosing Send or Receive.
void startGkermit(const std::string& folder, const std::string& args) {
  ASSERT_NO_FATAL_FAILURE(connectToServer());
  typeLine("cd " + hostPath(folder) + " && exec gkermit -q -i -P -e 4000 " + args);
  ASSERT_TRUE(pumpUntil([] { return onScreen("gkermit"); }, 5000));
  pumpUntil([] { return false; }, 500);  // gkermit sets its terminal up
  netTransferEvents(true);
}

TransferSettings kermitSettings() {
  TransferSettings settings = transferSettingsDefault();
  settings.protocol = PROTOCOL_KERMIT;
  settings.kermitPacketSize = 4000;
  return settings;
}
}  // namespace

TEST(TransferDialog, YmodemReceiveFromSbThroughTheDialog) {
  ASSERT_NO_FATAL_FAILURE(connectTo("SUITE_TEST_SB_PORT"));
  TransferSettings settings = transferSettingsDefault();
  settings.protocol = PROTOCOL_YMODEM;
  std::snprintf(settings.downloadDir, sizeof settings.downloadDir, "%s\\got", transferDir().c_str());
  HWND dialog = transferStartReceive(mainWindow(), settings, nullptr);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(runDialog(dialog, "transfer_receive_running"), 0);
  // How many samples land mid-transfer depends on the machine's speed, so the
  // figures are checked by the host tests; this one keeps the screenshot.
  EXPECT_EQ(readFile(transferDir() + "\\got\\wine-data.bin"), readFile(transferDir() + "\\send\\wine-data.bin"));
  netDisconnect();
}

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

TEST(KermitDialog, SendToGkermitBehindTelnet) {
  ASSERT_NO_FATAL_FAILURE(startGkermit(transferDir() + "\\kup", "-r"));
  BatchList batch;
  batchAdd(batch, (transferDir() + "\\send\\wine-data.bin").c_str());
  HWND dialog = transferStartSend(mainWindow(), kermitSettings(), nullptr, &batch);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(runDialog(dialog, "kermit_send_running"), 0);
  // Our sender names files in capitals.
  EXPECT_EQ(readFile(transferDir() + "\\kup\\WINE-DATA.BIN"), readFile(transferDir() + "\\send\\wine-data.bin"));
  netDisconnect();
}

TEST(KermitDialog, ReceiveFromGkermitBehindTelnet) {
  ASSERT_NO_FATAL_FAILURE(startGkermit(transferDir() + "\\send", "-s wine-data.bin"));
  TransferSettings settings = kermitSettings();
  std::snprintf(settings.downloadDir, sizeof settings.downloadDir, "%s\\kgot", transferDir().c_str());
  HWND dialog = transferStartReceive(mainWindow(), settings, nullptr);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(runDialog(dialog, "kermit_receive_running"), 0);
  EXPECT_EQ(readFile(transferDir() + "\\kgot\\wine-data.bin"), readFile(transferDir() + "\\send\\wine-data.bin"));
  netDisconnect();
}
