// The session life cycle of the frame, the same for every kind of line:
// driven through each line's host form (a real Telnet server on loopback, a
// pseudo-terminal standing for COM1) on a manual clock.
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "dialup/serial_connection.h"
#include "dialup/serial_connection_posix.h"
#include "frame/frame_session.h"
#include "frame/frame_texts.h"
#include "frame/frame_ui_posix.h"
#include "ftp/ftp_connection.h"
#include "shell/book_entry.h"
#include "shell/message_box_posix.h"
#include "shell/message_ids.h"
#include "shell/phone_entry.h"
#include "shell/pump_posix.h"
#include "telnet/telnet_connection.h"
#include "telnet/telnet_connection_posix.h"
#include "terminal/link.h"
#include "terminal/screen.h"
#include "terminal/terminal_state.h"
#include "tests/support/peers.h"
#include "tests/support/screen_text.h"
#include "tests/support/telnet_peers.h"

namespace {
// A table with a slot left out of its initializer has a null there: the
// frame calls every slot without looking.
void expectEverySlotFilled(const FrameConnection& c) {
  SCOPED_TRACE(c.kind ? c.kind : "(no name)");
  const void* slots[] = {
      c.kind,
      reinterpret_cast<const void*>(c.open),
      reinterpret_cast<const void*>(c.close),
      reinterpret_cast<const void*>(c.busy),
      reinterpret_cast<const void*>(c.message),
      reinterpret_cast<const void*>(c.modeless),
      reinterpret_cast<const void*>(c.transferBegin),
      reinterpret_cast<const void*>(c.transferEnd),
      reinterpret_cast<const void*>(c.attach),
      reinterpret_cast<const void*>(c.sessionStart),
      reinterpret_cast<const void*>(c.sessionEnd),
      reinterpret_cast<const void*>(c.terminalSize),
      reinterpret_cast<const void*>(c.statusText),
      reinterpret_cast<const void*>(c.specialEnabled),
      reinterpret_cast<const void*>(c.special),
  };
  // The listed slots and the read message (padded to a pointer) make the whole table.
  static_assert(sizeof(FrameConnection) == (sizeof slots / sizeof slots[0] + 1) * sizeof(void*),
                "a slot of the table is missing from this list");
  for (size_t i = 0; i < sizeof slots / sizeof slots[0]; ++i) EXPECT_NE(slots[i], nullptr) << "slot " << i;
}

TEST(FrameConnections, NoSlotOfAnyTableIsEmpty) {
  expectEverySlotFilled(IDLE_CONNECTION);
  expectEverySlotFilled(TELNET_CONNECTION);
  expectEverySlotFilled(SERIAL_CONNECTION);
  expectEverySlotFilled(FTP_CONNECTION);
}

class FrameLifeCycle : public ::testing::Test {
 protected:
  void SetUp() override {
    clockUseManual();
    terminalReset(24, 80, 200);
    messagesClear();
    frameUiSteps().clear();
    frameUiSetLoginScript(0);
  }
  void TearDown() override {
    frameClose();
    frameReset(&IDLE_CONNECTION, nullptr);
  }
  static bool screenHas(const std::string& text) { return screenText().find(text) != std::string::npos; }
  static int hangUpMessages() {
    int n = 0;
    for (const ShownMessage& m : messagesShown()) n += m.id == TXT_HANG_UP_FIRST;
    return n;
  }
};

TEST_F(FrameLifeCycle, TelnetOpenDataSecondOpenCloseAndTheRecordKept) {
  int port = freeTcpPort();
  PeerGuard server(startBusyboxTelnetd(port));
  ASSERT_TRUE(waitListening(port, 5000));
  BookEntry record = bookDefaultEntry();
  recordSetText(record.bytes, bookField::address, "127.0.0.1");
  recordSetInt(record.bytes, bookField::port, port);
  frameReset(&TELNET_CONNECTION, record.bytes);
  frameStartOffline();

  ASSERT_EQ(frameOpen(profileFromBook(record)), 0);
  EXPECT_EQ(frameSession.state, FrameState::Online);
  EXPECT_EQ(frameUiSteps(), "offline(startup) online ");
  char status[128];
  frameSession.connection->statusText(status, sizeof status);
  EXPECT_STREQ(status, "127.0.0.1 is connected");
  for (int i = 0; i < 100 && !screenHas("# "); ++i) telnetPosixDrain(100);
  EXPECT_TRUE(screenHas("# ")) << screenText();

  // The online clock counts from the session's start.
  char clock[16];
  clockAdvance(3723 * 1000);
  frameClockText(clock, sizeof clock);
  EXPECT_STREQ(clock, "01:02:03");

  // A second session while one is up is refused, and the first goes on.
  EXPECT_LT(frameOpen(profileFromBook(record)), 0);
  EXPECT_EQ(hangUpMessages(), 1);
  EXPECT_EQ(frameSession.state, FrameState::Online);

  // The server answered WILL ECHO: the record takes the negotiated echo back.
  recordSetInt(record.bytes, bookField::localEcho, 1);
  frameClose();
  EXPECT_EQ(frameSession.state, FrameState::Offline);
  EXPECT_EQ(frameUiSteps(), "offline(startup) online offline ");
  EXPECT_EQ(recordInt(record.bytes, bookField::localEcho), 0);
  frameClockText(clock, sizeof clock);
  EXPECT_STREQ(clock, "");
}

TEST_F(FrameLifeCycle, TelnetHostGoneEndsTheSessionOnceAndRefusalEndsTheAttempt) {
  SessionProfile profile = profileFromBook(bookDefaultEntry());
  snprintf(profile.address, sizeof profile.address, "127.0.0.1");
  frameReset(&TELNET_CONNECTION, nullptr);
  frameStartOffline();
  frameUiSteps().clear();
  {
    int port = freeTcpPort();
    PeerGuard server(startBusyboxTelnetd(port));
    ASSERT_TRUE(waitListening(port, 5000));
    profile.port = port;
    ASSERT_EQ(frameOpen(profile), 0);
    for (int i = 0; i < 100 && !screenHas("# "); ++i) telnetPosixDrain(100);
    const uint8_t exitLine[] = {'e', 'x', 'i', 't', '\r'};
    linkWrite(exitLine, sizeof exitLine);
    int result = 0;
    for (int i = 0; i < 100 && result != LINK_LOST; ++i) result = telnetPosixDrain(100);
    EXPECT_EQ(result, LINK_LOST);
    EXPECT_EQ(frameSession.state, FrameState::Offline);
    EXPECT_EQ(frameUiSteps(), "online offline ");
    EXPECT_EQ(telnetPosixDrain(10), LINK_LOST);
    EXPECT_EQ(frameUiSteps(), "online offline ") << "one loss, one offline switch";
  }
  // Nothing listens on a port just freed: the attempt ends offline.
  profile.port = freeTcpPort();
  EXPECT_LT(frameOpen(profile), 0);
  EXPECT_EQ(frameSession.state, FrameState::Offline);
  EXPECT_EQ(frameUiSteps(), "online offline ended ");
}

TEST_F(FrameLifeCycle, SerialOpenDataLostPortAndAPortThatCannotOpen) {
  int master = -1, slave = -1;
  char name[128];
  ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
  close(slave);
  serialPosixSetDevice(0, name);
  PhoneEntry record = phoneDefaultEntry();
  recordSetText(record.bytes, phoneField::name, "direct");
  recordSetInt(record.bytes, phoneField::phoneType, PHONE_TYPE_NONE);
  recordSetInt(record.bytes, phoneField::speedIndex, 12);  // out of range: the slowest speed
  recordSetInt(record.bytes, phoneField::dataBits, 1);     // 7 data bits: bit 7 never shows
  frameReset(&SERIAL_CONNECTION, record.bytes);
  frameStartOffline();
  frameUiSteps().clear();

  ASSERT_EQ(frameOpen(profileFromPhone(record)), 0);
  EXPECT_EQ(frameSession.state, FrameState::Online);
  char status[128];
  frameSession.connection->statusText(status, sizeof status);
  EXPECT_STREQ(status, "direct is connected to COM1:300,7,N,1");
  const char far[] = "login: \xC1";
  ASSERT_EQ(write(master, far, sizeof far - 1), static_cast<ssize_t>(sizeof far - 1));
  for (int i = 0; i < 100 && !screenHas("login: A"); ++i) {
    serialPosixDrain();
    usleep(10000);
  }
  EXPECT_TRUE(screenHas("login: A")) << screenText();
  EXPECT_LT(frameOpen(profileFromPhone(record)), 0);
  EXPECT_EQ(hangUpMessages(), 1);

  // The far end goes: one loss, one offline switch.
  close(master);
  int result = 0;
  for (int i = 0; i < 100 && result != LINK_LOST; ++i) result = serialPosixDrain();
  EXPECT_EQ(result, LINK_LOST);
  EXPECT_EQ(frameSession.state, FrameState::Offline);
  EXPECT_EQ(frameUiSteps(), "online offline ");
  EXPECT_EQ(serialPosixDrain(), 0);

  // COM2 stands for nothing here.
  recordSetInt(record.bytes, phoneField::portIndex, 1);
  messagesClear();
  EXPECT_LT(frameOpen(profileFromPhone(record)), 0);
  ASSERT_EQ(messagesShown().size(), 1u);
  EXPECT_EQ(messagesShown()[0].id, TXT_DEVICE_OPEN_ERROR);
  EXPECT_EQ(frameSession.state, FrameState::Offline);
  serialPosixSetDevice(0, nullptr);
}
}  // namespace
