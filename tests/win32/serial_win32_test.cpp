// The session's COM port under Wine, mapped by the test runner to a
// pseudo-terminal whose far end answers every byte with its upper-case form.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "dialup/comm_parameter_win32.h"
#include "dialup/dialup_dialog_ids.h"
#include "dialup/serial_port_win32.h"
#include "dialup/serial_watcher_win32.h"
#include "screenshot.h"
#include "terminal/link.h"
#include "win32_driver.h"

namespace {
int comIndex() {
  const char* com = getenv("SUITE_TEST_COM");
  return com ? atoi(com) - 1 : -1;
}

LineSettings line(int speed, int data, int stop, int parity, int flow) {
  return lineSettingsClamped(comIndex(), speed, data, stop, parity, flow);
}

std::string readFor(size_t want, DWORD ms) {
  std::string got;
  pumpUntil(
      [&] {
        uint8_t buf[4096];
        int n;
        while (got.size() < want && (n = linkRead(buf, sizeof buf)) > 0) got.append(reinterpret_cast<char*>(buf), n);
        return got.size() >= want;
      },
      ms);
  return got;
}

DCB portState() {
  DCB d{};
  d.DCBlength = sizeof d;
  EXPECT_TRUE(GetCommState(serialPortHandle(), &d)) << GetLastError();
  return d;
}

// A window that counts the watcher's notifications; WM_USER+1 writes the
// nested bytes as a handler would while an outer write pends.
int notifications = 0, startRequests = 0, insideWrite = 0;
bool writing = false;
std::string nestedBytes;
LRESULT CALLBACK testProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_COMMNOTIFY && lp == 255) ++notifications;
  if (m == WM_USER + 2) ++notifications;
  if (m == WM_COMMNOTIFY && lp == 0) {
    ++startRequests;
    insideWrite += writing;
  }
  if (m == WM_USER + 1) {
    std::string bytes = nestedBytes;
    linkWrite(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
    bytes.assign(bytes.size(), '#');  // the caller's buffer is gone once the write returned
    return 0;
  }
  return DefWindowProcA(w, m, wp, lp);
}

HWND testWindow() {
  static HWND w = nullptr;
  if (w) return w;
  WNDCLASSA wc{};
  wc.lpfnWndProc = testProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SerialTestWindow";
  RegisterClassA(&wc);
  return w = CreateWindowA("SerialTestWindow", "", 0, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}
}  // namespace

// The record's indexes arrive clamped (speed index 12 is 300 bit/s); a second
// open is refused, and so is a port that does not exist, each with its message.
TEST(SerialPort, OpenSettingsAndRefusals) {
  ASSERT_GE(comIndex(), 0) << "the runner maps a COM port to a pseudo-terminal";
  MessageBoxCloser closer;
  struct Case {
    int speed, flow;
    DWORD baud;
    bool cts, inX, outX;
  } cases[] = {
      // 256000 (index 0) has no termios speed: Wine refuses it on a pseudo-terminal.
      {12, 0, 300, false, false, false},
      {1, 3, 115200, true, true, true},
      {6, 2, 9600, false, true, true},
      {3, 1, 38400, true, false, false},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(serialOpenSession(line(c.speed, 0, 0, 0, c.flow)), 0) << c.speed;
    DCB d = portState();
    EXPECT_EQ(d.BaudRate, c.baud);
    EXPECT_EQ(!!d.fOutxCtsFlow, c.cts) << c.flow;
    EXPECT_EQ(!!d.fInX, c.inX) << c.flow;
    EXPECT_EQ(!!d.fOutX, c.outX) << c.flow;
    EXPECT_TRUE(serialEightBitLine());
    serialCloseSession();
  }
  ASSERT_EQ(serialOpenSession(line(12, 0, 0, 0, 0)), 0);
  EXPECT_EQ(serialOpenSession(line(3, 0, 0, 0, 0)), -1);
  EXPECT_TRUE(serialSessionOpen()) << "the refusal leaves the session's port alone";
  serialCloseSession();
  EXPECT_FALSE(serialSessionOpen());
  EXPECT_FALSE(linkConnected());
  EXPECT_EQ(serialOpenSession(lineSettingsClamped(6, 3, 0, 0, 0, 0)), -1);  // COM7 is not mapped
  EXPECT_FALSE(serialSessionOpen());
  pumpUntil([&] { return closer.texts().size() >= 2; }, 5000);
  EXPECT_EQ(closer.texts(), (std::vector<std::string>{"You must hang up first", "Device open error"}));
}

// All 256 byte values go through the link unchanged apart from the far side's mapping.
TEST(SerialPort, ExchangeThroughTheLink) {
  ASSERT_EQ(serialOpenSession(line(3, 0, 0, 0, 0)), 0);
  EXPECT_FALSE(linkIsSocket());
  (void)linkModemStatus();  // no modem lines on a pseudo-terminal: the link survives asking
  EXPECT_EQ(linkWrite(reinterpret_cast<const uint8_t*>("hello, modem\r"), 13), 13);
  EXPECT_EQ(readFor(13, 5000), "HELLO, MODEM\r");
  uint8_t all[256];
  for (int i = 0; i < 256; ++i) all[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(linkWrite(all, 256), 256);
  std::string back = readFor(256, 5000);
  ASSERT_EQ(back.size(), 256u);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(static_cast<uint8_t>(back[i]), (i >= 'a' && i <= 'z') ? i - 32 : i) << i;
  int in = -1, out = -1;
  EXPECT_EQ(linkPoll(&in, &out), 0);
  EXPECT_EQ(in, 0);
  linkClose();
  EXPECT_FALSE(serialSessionOpen());
}

// One notification until the main thread acknowledges, whatever another
// instance of the program does; the stop ends the watcher without an ack.
TEST(SerialWatcher, NotifiesOnceUntilAckedAndStopsWithoutOne) {
  ASSERT_EQ(serialOpenSession(line(3, 0, 0, 0, 0)), 0);
  notifications = 0;
  serialWatcherStart(testWindow());
  EXPECT_TRUE(serialWatcherRunning());
  linkWrite(reinterpret_cast<const uint8_t*>("a"), 1);
  EXPECT_TRUE(pumpUntil([] { return notifications == 1; }, 5000));
  // Another instance acknowledging its own notification, under the old names.
  HANDLE other = CreateEventA(nullptr, TRUE, FALSE, "EVENT1");
  SetEvent(other);
  linkWrite(reinterpret_cast<const uint8_t*>("b"), 1);
  pumpUntil([] { return false; }, 500);
  EXPECT_EQ(notifications, 1) << "nothing more before the ack";
  EXPECT_EQ(readFor(2, 2000), "AB");
  serialWatcherAck(true);
  linkWrite(reinterpret_cast<const uint8_t*>("c"), 1);
  EXPECT_TRUE(pumpUntil([] { return notifications == 2; }, 5000));
  CloseHandle(other);

  // The second notification is never acknowledged.
  DWORD start = GetTickCount();
  serialCloseSession();
  EXPECT_LT(GetTickCount() - start, 2500u);
  EXPECT_FALSE(serialWatcherRunning());
}

// Held by an XOFF the far end echoes, an outer write pends and dispatches a
// handler whose own long write pends behind it; once the hold ends, each
// returns only when its own bytes are out, so the handler may reuse its buffer.
TEST(SerialPort, NestedWriteWhileOnePends) {
  ASSERT_EQ(serialOpenSession(line(3, 0, 0, 0, 2)), 0);  // Xon/Xoff: an echoed XOFF holds our output
  const uint8_t xoff = 0x13;
  linkWrite(&xoff, 1);
  pumpUntil([] { return false; }, 300);
  nestedBytes.clear();
  std::string expected = "OUTER-BYTES|";
  for (int i = 0; i < 300000; ++i) nestedBytes.push_back(static_cast<char>('a' + i % 26));
  for (int i = 0; i < 300000; ++i) expected.push_back(static_cast<char>('A' + i % 26));
  PostMessageA(testWindow(), WM_USER + 1, 0, 0);

  // The hold ends with XON/XOFF turned off; meanwhile only this thread reads.
  std::string back;
  std::thread reader([&] {
    Sleep(500);
    DCB d = portState();
    d.fOutX = d.fInX = FALSE;
    d.Parity = NOPARITY;
    SetCommState(serialPortHandle(), &d);
    uint8_t buf[4096];
    for (DWORD start = GetTickCount(); back.size() < expected.size() && GetTickCount() - start < 15000;) {
      int n = linkRead(buf, sizeof buf);
      if (n > 0) back.append(reinterpret_cast<char*>(buf), n);
      if (n <= 0) Sleep(2);
    }
  });
  // A watcher start request waits for the write's end, still a start request.
  startRequests = insideWrite = 0;
  PostMessageA(testWindow(), WM_COMMNOTIFY, 0, 0);
  std::string outer = "outer-bytes|";
  writing = true;
  EXPECT_EQ(linkWrite(reinterpret_cast<const uint8_t*>(outer.data()), static_cast<int>(outer.size())), 12);
  writing = false;
  reader.join();
  pumpUntil([] { return startRequests > 0; }, 2000);
  EXPECT_EQ(startRequests, 1);
  EXPECT_EQ(insideWrite, 0);
  EXPECT_EQ(back.find('#'), std::string::npos) << "the nested write returned before its bytes were out";
  EXPECT_TRUE(back == expected);
  serialCloseSession();
}

// A 7-bit session line carries transfers as 8-N-1 and goes back; an 8-bit
// line keeps its format. The dialog applies the entry's stored format. A
// pseudo-terminal keeps only the stop bits of a format (it forces 8 data bits
// and no parity), so they show each switch.
TEST(SerialPort, TransferFormatAndCommunicationParameter) {
  struct Case {
    int data, parity;
    BYTE duringTransfer;
  } cases[] = {{1, 2, ONESTOPBIT}, {0, 0, TWOSTOPBITS}, {0, 2, TWOSTOPBITS}};
  for (const Case& c : cases) {
    ASSERT_EQ(serialOpenSession(line(6, c.data, 2, c.parity, 0)), 0);
    EXPECT_EQ(portState().StopBits, TWOSTOPBITS);
    EXPECT_EQ(serialEightBitLine(), c.data == 0);
    linkSetTransferFormat(true);
    EXPECT_EQ(portState().StopBits, c.duringTransfer) << c.data << c.parity;
    linkSetTransferFormat(false);
    EXPECT_EQ(portState().StopBits, TWOSTOPBITS) << c.data << c.parity;
    serialCloseSession();
  }

  ASSERT_EQ(serialOpenSession(line(6, 0, 0, 0, 0)), 0);
  const LineSettings entry = line(6, 1, 2, 1, 0);  // 7 data bits, odd, 2 stop bits
  bool shown[3] = {};
  std::thread user([&] {
    HWND box = waitForWindow("Communication Parameter", 10000);
    if (!box) return;
    shown[0] = IsDlgButtonChecked(box, IDC_DATA_BITS_7) && !IsDlgButtonChecked(box, IDC_DATA_BITS_8);
    shown[1] = IsDlgButtonChecked(box, IDC_PARITY_ODD) && !IsDlgButtonChecked(box, IDC_PARITY_NONE);
    shown[2] = IsDlgButtonChecked(box, IDC_STOP_BITS_2) && !IsDlgButtonChecked(box, IDC_STOP_BITS_1);
    Sleep(200);
    saveScreenshot("comm_parameter");
    PostMessageA(box, WM_COMMAND, IDC_PARAMETER_OK, 0);
  });
  EXPECT_EQ(commParameterDialog(testWindow(), entry), IDOK);
  user.join();
  EXPECT_TRUE(shown[0] && shown[1] && shown[2]);
  EXPECT_EQ(portState().StopBits, TWOSTOPBITS);
  EXPECT_FALSE(serialEightBitLine());
  linkSetTransferFormat(true);
  EXPECT_EQ(portState().StopBits, ONESTOPBIT) << "now a 7-bit line";
  linkSetTransferFormat(false);
  EXPECT_EQ(portState().StopBits, TWOSTOPBITS) << "the applied format is the one restored";
  serialCloseSession();
}

// A break holds the line for its time while the window keeps being served.
TEST(SerialPort, BreakServesMessages) {
  ASSERT_EQ(serialOpenSession(line(3, 0, 0, 0, 0)), 0);
  notifications = 0;
  PostMessageA(testWindow(), WM_USER + 2, 0, 0);
  DWORD start = GetTickCount();
  serialBreak(150);
  EXPECT_GE(GetTickCount() - start, 150u);
  EXPECT_EQ(notifications, 1);
  serialCloseSession();
}

// The far end hangs up: the watcher wakes the window, and the link reports the
// loss to every reader until the port is closed, but only once what came
// before it has been read: the watcher holds it, though the window read none.
TEST(SerialPort, FarEndHangsUp) {
  const char* com = getenv("SUITE_TEST_HANGUP_COM");
  ASSERT_NE(com, nullptr) << "the runner maps a second COM port to a far end that hangs up";
  ASSERT_EQ(serialOpenSession(lineSettingsClamped(atoi(com) - 1, 3, 0, 0, 0, 0)), 0);
  notifications = 0;
  serialWatcherStart(testWindow());
  EXPECT_EQ(linkWrite(reinterpret_cast<const uint8_t*>("x"), 1), 1);
  EXPECT_TRUE(pumpUntil([] { return notifications == 1; }, 5000));
  EXPECT_EQ(readFor(1, 5000), "X");
  serialWatcherAck(true);
  notifications = 0;
  std::string sent, answer;
  for (int i = 0; i < 200000; ++i) {
    sent.push_back(static_cast<char>('a' + i % 26));
    answer.push_back(static_cast<char>('A' + i % 26));
  }
  sent.push_back(0x04);
  EXPECT_EQ(linkWrite(reinterpret_cast<const uint8_t*>(sent.data()), static_cast<int>(sent.size())),
            static_cast<int>(sent.size()));
  // One notification for the answer, unacknowledged; the loss wakes the window all the same.
  EXPECT_TRUE(pumpUntil([] { return serialWatcherLost() && notifications == 2; }, 10000)) << notifications;
  int in = 0;
  EXPECT_EQ(linkPoll(&in, nullptr), 0) << "lost while bytes are held";
  EXPECT_EQ(in, 200000);
  EXPECT_TRUE(readFor(200000, 5000) == answer);
  uint8_t buf[16];
  EXPECT_EQ(linkRead(buf, sizeof buf), LINK_LOST);
  EXPECT_EQ(linkPoll(nullptr, nullptr), LINK_LOST);
  DWORD start = GetTickCount();
  serialCloseSession();
  EXPECT_LT(GetTickCount() - start, 2500u);
  EXPECT_FALSE(serialWatcherRunning());
}
