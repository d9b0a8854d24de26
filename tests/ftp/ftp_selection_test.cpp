// What the FTP window does with a selection: the download walk's refusals and
// order, the upload collection, the remote delete's RMD or DELE by group
// against a scripted server, and the local view's groups and columns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ftp/ftp_selection.h"
#include "ftp/system_type.h"
#include "terminal/link.h"
#include "tests/ftp/ftp_harness.h"

namespace {
using S = std::vector<ScriptStep>;

// A Unix listing whose view is: 0 sub, 1 pub (dirs); 2 a.txt, 3 b.bin,
// 4 "..", 5 "x/../../evil.txt", 6 "C:bad", 7 "ctl\001name" (files); the link
// is named "pub -> sub".
ListingState sampleView() {
  const std::string listing =
      "total 9\r\n"
      "-rw-r--r-- 1 u g 10 Jan  5  1999 a.txt\r\n"
      "drwxr-xr-x 2 u g 512 Jan  5  1999 sub\r\n"
      "-rw-r--r-- 1 u g 20 Jan  5  1999 b.bin\r\n"
      "-rw-r--r-- 1 u g 1 Jan  5  1999 ..\r\n"
      "-rw-r--r-- 1 u g 1 Jan  5  1999 x/../../evil.txt\r\n"
      "-rw-r--r-- 1 u g 1 Jan  5  1999 C:bad\r\n"
      "-rw-r--r-- 1 u g 1 Jan  5  1999 ctl\001name\r\n"
      "lrwxrwxrwx 1 u g 3 Jan  5  1999 pub -> sub\r\n";
  ListingState s;
  listingReset(s, SYSTEM_UNIX);
  AddListingBytes(s, reinterpret_cast<const uint8_t*>(listing.data()), static_cast<int>(listing.size()));
  BuildRemoteView(s);
  return s;
}

TEST(FtpSelection, DownloadWalkRefusesDirectoriesAndUnsafeNamesOnce) {
  const ListingState view = sampleView();
  ASSERT_EQ(view.directoryCount, 2);
  struct Case {
    std::vector<int> selected;
    std::vector<int> started;
    int dirMessages, nameMessages;
  } cases[] = {
      {{0, 1}, {}, 2, 0},              // directories only: one message each
      {{4, 6, 7}, {6}, 0, 2},          // ".." and a control byte refused; a drive dropped
      {{5}, {5}, 0, 0},                // a path: stored under its base name
      {{2, 99, -1}, {2}, 0, 0},        // indexes outside the view are passed
  };
  for (const Case& c : cases) {
    ftpHarnessReset();
    DownloadWalk walk;
    walk.selected = c.selected;
    std::vector<int> started;
    for (int i; (i = downloadWalkNext(view, walk)) >= 0;) started.push_back(i);
    EXPECT_EQ(started, c.started);
    int dirs = 0, names = 0;
    for (const std::string& m : ftpRecord.messages) {
      dirs += m == std::string("Message: ") + FTP_TEXT_NO_DIR_DOWNLOAD;
      names += m.find(FTP_TEXT_NAME_REFUSED) != std::string::npos;
    }
    EXPECT_EQ(dirs, c.dirMessages);
    EXPECT_EQ(names, c.nameMessages);
  }
}

TEST(FtpSelection, UploadCollectKeepsWholePathsAndRefusesDirectories) {
  ftpHarnessReset();
  const std::string dir = "C:\\" + std::string(200, 'd') + "\\" + std::string(150, 'e');
  std::vector<LocalItem> items = localViewBuild(
      {{"..", LOCAL_DIRECTORY, 0, 0}, {"one.txt", LOCAL_FILE, 1, 0}, {"two.bin", LOCAL_FILE, 2, 0}}, 0);
  // 0 "..", 1 one.txt, 2 two.bin, 3 A:\.
  std::vector<std::string> paths = uploadCollect(dir, items, {0, 1, 2, 3});
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_EQ(paths[0], dir + "\\one.txt");
  EXPECT_GT(paths[1].size(), 360u);
  EXPECT_EQ(ftpRecord.messages, std::vector<std::string>(2, std::string("Message: ") + FTP_TEXT_NO_DIR_UPLOAD));
}

// The remote delete picks RMD or DELE by the group of the view; a lost
// connection stops a delete before the next item and a rename before RNTO.
TEST(FtpSelection, RemoteOperationsSendTheirCommands) {
  const ListingState view = sampleView();
  {
    Scripted server(talk({"RMD sub", "250 ok", "DELE a.txt", "250 ok", "RMD pub -> sub", "250 ok"}));
    ASSERT_TRUE(server.connected);
    EXPECT_EQ(ftpRemoteDelete(view, {0, 2, 1}), 0);
  }
  {
    Scripted server(S{scriptExpect("DELE a.txt\r\n"), scriptClose()});
    ASSERT_TRUE(server.connected);
    EXPECT_EQ(ftpRemoteDelete(view, {2, 3}), LINK_LOST);
  }
  {
    Scripted server(S{scriptExpect("RNFR a.txt\r\n"), scriptClose()});
    ASSERT_TRUE(server.connected);
    EXPECT_EQ(ftpRemoteRename("a.txt", "c.txt"), LINK_LOST);
    EXPECT_EQ(server.end().find("RNTO"), std::string::npos);
  }
}

TEST(LocalView, GroupsDatesAndPaths) {
  std::vector<LocalItem> view = localViewBuild({{"b.txt", LOCAL_FILE, 5368709120ull, 0},
                                                {".", LOCAL_DIRECTORY, 0, 0},
                                                {"zdir", LOCAL_DIRECTORY, 0, 0},
                                                {"..", LOCAL_DIRECTORY, 0, 0},
                                                {"a.txt", LOCAL_FILE, 7, 0}},
                                               (1u << 2) | (1u << 25));
  std::vector<std::string> names;
  for (const LocalItem& item : view) names.push_back(item.name);
  EXPECT_EQ(names, (std::vector<std::string>{"zdir", "..", "b.txt", "a.txt", "A:\\", "C:\\", "Z:\\"}));
  EXPECT_EQ(localSizeText(view[2]), "5368709120");
  EXPECT_EQ(localSizeText(view[0]), "");

  const std::pair<int64_t, const char*> dates[] = {
      {0, "Jan 01 1970 00:00:00"},          {915545655, "Jan 05 1999 14:14:15"},
      {951782400, "Feb 29 2000 00:00:00"},  {1764974045, "Dec 05 2025 22:34:05"},
      {-1, "Dec 31 1969 23:59:59"},         {4102444799, "Dec 31 2099 23:59:59"},
  };
  for (auto [t, text] : dates) EXPECT_EQ(localDateText(t), text) << t;

  const std::pair<const char*, const char*> parents[] = {
      {"C:\\a\\b", "C:\\a"}, {"C:\\a", "C:\\"}, {"C:\\", "C:\\"}, {"C:\\a\\", "C:\\"}, {"/tmp/x", "/tmp"}, {"/", "/"}};
  for (auto [dir, parent] : parents) EXPECT_EQ(localParent(dir), parent) << dir;
  EXPECT_EQ(localJoin("C:\\", "x"), "C:\\x");
  EXPECT_EQ(localJoin("C:\\d", "x"), "C:\\d\\x");
}
}  // namespace
