// KERMIT through XFRDLG under Wine: our Telnet connection to the runner's
// loopback host, whose shell starts gkermit; one send and one receive through
// the dialog, the files byte-identical.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "telnet/netlink_win32.h"
#include "terminal/link.h"
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

int runToEnd(HWND dialog) {
  char button[16] = "";
  pumpUntil(
      [&] {
        GetDlgItemTextA(dialog, IDC_XFER_BUTTON, button, sizeof button);
        return std::string(button) == "OK";
      },
      120000);
  EXPECT_STREQ(button, "OK");
  SendMessageA(dialog, WM_COMMAND, IDC_XFER_BUTTON, 0);
  return transferDialogClose(mainWindow());
}

TransferSettings kermitSettings() {
  TransferSettings settings = transferSettingsDefault();
  settings.protocol = PROTOCOL_KERMIT;
  settings.kermitPacketSize = 4000;
  return settings;
}
}  // namespace

TEST(KermitDialog, SendToGkermitBehindTelnet) {
  ASSERT_NO_FATAL_FAILURE(startGkermit(transferDir() + "\\kup", "-r"));
  BatchList batch;
  batchAdd(batch, (transferDir() + "\\send\\wine-data.bin").c_str());
  HWND dialog = transferStartSend(mainWindow(), kermitSettings(), nullptr, &batch);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(runToEnd(dialog), 0);
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
  EXPECT_EQ(runToEnd(dialog), 0);
  EXPECT_EQ(readFile(transferDir() + "\\kgot\\wine-data.bin"), readFile(transferDir() + "\\send\\wine-data.bin"));
  netDisconnect();
}
