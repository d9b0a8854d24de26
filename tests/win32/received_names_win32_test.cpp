// Received names through the real Windows file functions: each hostile name
// of the shared table, taken by the transfer receivers' path rule and by the
// FTP client's, must end as the table's file in the folder (a device name
// would otherwise open the device: NUL swallows the data, COM1 opens a port).
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "ftp/ftp_session.h"
#include "ftp/local_file.h"
#include "tests/support/hostile_names.h"
#include "transfer/transfer_files.h"

namespace {
// The names in dir, each file's size checked (size 0: not checked); the
// files are deleted.
std::set<std::string> filesIn(const std::string& dir, DWORD size) {
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (size) EXPECT_EQ(found.nFileSizeLow, size) << name;
    names.insert(name);
    DeleteFileA((dir + "\\" + name).c_str());
  } while (FindNextFileA(h, &found));
  FindClose(h);
  return names;
}

// An empty folder of that name in the temporary folder.
std::string freshFolder(const char* name) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string dir = std::string(temp) + name;
  CreateDirectoryA(dir.c_str(), nullptr);
  filesIn(dir, 0);
  return dir;
}
}  // namespace

TEST(Win32ReceivedNames, DevicesAndReservedCharactersNeverReachTheFileSystem) {
  std::string received = freshFolder("names-received"), downloaded = freshFolder("names-ftp");
  std::set<std::string> expected;
  static const uint8_t data[] = {'d', 'a', 't', 'a'};
  for (const HostileName& c : hostileNames()) {
    if (!c.local.empty()) expected.insert(c.local);
    char path[MAX_PATH];
    int r = receivedFilePath(received.c_str(), c.remote.c_str(), path, sizeof path);
    EXPECT_EQ(r < 0, c.local.empty()) << c.remote;
    if (r == 0) {
      TransferFile f{};
      EXPECT_EQ(fileAppend(f, path, data, 4), 0) << c.remote;
      EXPECT_EQ(fileClose(f), 0) << c.remote;
    }
    std::string local = ftpLocalNameOf(c.remote);
    EXPECT_EQ(local, c.local) << c.remote;
    if (local.empty()) continue;
    LocalFile file = localOpenWrite((downloaded + "\\" + local).c_str(), true);
    ASSERT_NE(file, LOCAL_NO_FILE) << c.remote;
    EXPECT_EQ(localWriteAt(file, 0, data, 4), 0) << c.remote;
    localClose(file);
  }
  EXPECT_EQ(filesIn(received, 4), expected);
  EXPECT_EQ(filesIn(downloaded, 4), expected);
  RemoveDirectoryA(received.c_str());
  RemoveDirectoryA(downloaded.c_str());
}
