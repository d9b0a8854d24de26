// A COM port under Wine, mapped by the test runner to a pseudo-terminal whose
// other end is a process that answers every byte with its upper-case form.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "dialup/serial_win32.h"
#include "terminal/link.h"

namespace {
std::string readFor(size_t want, DWORD ms) {
  std::string got;
  DWORD start = GetTickCount();
  while (got.size() < want && GetTickCount() - start < ms) {
    uint8_t buf[64];
    int n = linkRead(buf, sizeof buf);
    if (n < 0) break;
    if (n == 0) Sleep(5);
    got.append(reinterpret_cast<char*>(buf), n > 0 ? n : 0);
  }
  return got;
}
}  // namespace

// Ports outside 1 to 8 are refused.
TEST(SerialPort, OverlappedExchangeWithTheFarProcess) {
  EXPECT_LT(serialOpen(0, 9600), 0);
  EXPECT_LT(serialOpen(9, 9600), 0);
  const char* com = getenv("SUITE_TEST_COM");
  ASSERT_NE(com, nullptr) << "the runner maps a COM port to a pseudo-terminal";
  int number = atoi(com);
  ASSERT_EQ(serialOpen(number, 38400), 0) << "COM" << number;
  EXPECT_FALSE(linkIsSocket());
  // Modem lines do not exist on a pseudo-terminal; the link must survive asking.
  (void)linkModemStatus();

  const uint8_t hello[] = "hello, modem\r";
  EXPECT_EQ(linkWrite(hello, 13), 13);
  EXPECT_EQ(readFor(13, 5000), "HELLO, MODEM\r");

  // All 256 byte values go through unchanged apart from the far side's mapping.
  uint8_t all[256];
  for (int i = 0; i < 256; ++i) all[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(linkWrite(all, 256), 256);
  std::string back = readFor(256, 5000);
  ASSERT_EQ(back.size(), 256u);
  for (int i = 0; i < 256; ++i) {
    int expect = (i >= 'a' && i <= 'z') ? i - 32 : i;
    EXPECT_EQ(static_cast<uint8_t>(back[i]), expect) << "byte " << i;
  }
  int in = -1, out = -1;
  EXPECT_EQ(linkPoll(&in, &out), 0);
  EXPECT_EQ(in, 0);
  linkClose();
  EXPECT_FALSE(linkConnected());
}
