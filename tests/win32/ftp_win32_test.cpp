// The FTP engine over Windows Sockets under Wine: an anonymous login to the
// vsftpd that tests/win32/run starts, and a binary download, active and
// passive, compared byte for byte with the server's file.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "ftp/ftp_session.h"
#include "tests/support/file_text.h"

namespace {
std::string view;
void toView(const char* bytes, int length) { view.append(bytes, static_cast<size_t>(length)); }
}  // namespace

TEST(Win32Ftp, AnonymousLoginAndByteIdenticalDownload) {
  const char* port = std::getenv("SUITE_TEST_FTP_PORT");
  const char* served = std::getenv("SUITE_TEST_FTP_FILE");
  ASSERT_TRUE(port && served) << "tests/win32/run starts vsftpd";
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  for (bool passive : {false, true}) {
    ftpSessionReset();
    ftpResetHooks();
    view.clear();
    ftpHooks.writeSession = toView;
    ftp.localDir = temp;
    ftp.passive = passive;
    ASSERT_EQ(ftpConnect("127.0.0.1", std::atoi(port), 10000), 0);
    FtpLoginInfo login;
    login.anonymous = true;
    ASSERT_EQ(FtpLogin(login), 0) << view;
    EXPECT_NE(view.find("230 "), std::string::npos) << view;
    std::string local = std::string(temp) + "\\file.bin";
    DeleteFileA(local.c_str());
    ExecuteCommandLine("binary\r\n");
    ExecuteCommandLine("get file.bin\r\n");
    EXPECT_NE(view.find(passive ? "PASV\r\n" : "PORT 127,0,0,1,"), std::string::npos) << view;
    std::string expected = readFile(served);
    ASSERT_GT(expected.size(), 100000u);
    EXPECT_TRUE(readFile(local) == expected) << view;
    ftpDisconnect();
    DeleteFileA(local.c_str());
  }
}
