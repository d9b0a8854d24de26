#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/clock_host.h"
#include "tests/support/fault_line.h"
#include "tests/support/transfer_pair.h"
#include "transfer/protocol_table.h"
#include "transfer/transfer_files.h"

TEST(TransferPair, XmodemCrcCleanLine) {
  clockUseManual();
  faultLineReset({}, {});
  std::string dir = ::testing::TempDir();
  std::string src = dir + "/pair_src.bin", dst = dir + "/pair_dst.bin";
  {
    std::ofstream f(src, std::ios::binary);
    for (int i = 0; i < 1000; ++i) f.put(static_cast<char>(i * 7));
  }
  TransferState tx{}, rx{};
  TransferSettings set = transferSettingsDefault();
  set.protocol = PROTOCOL_XMODEM_CRC;
  transferBegin(tx, set);
  transferBegin(rx, set);
  snprintf(tx.localPath, sizeof tx.localPath, "%s", src.c_str());
  snprintf(rx.localPath, sizeof rx.localPath, "%s", dst.c_str());
  ASSERT_EQ(fileCreate(rx.localPath), 0);
  PairOutcome o = runTransferPair(tx, rx);
  EXPECT_EQ(o.sent, 0);
  EXPECT_EQ(o.received, 2);
  EXPECT_EQ(fileSizeOf(dst.c_str()), 1024);
}
