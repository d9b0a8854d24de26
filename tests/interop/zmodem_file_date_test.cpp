// A ZMODEM batch from our sender (tools/xfer) to lrzsz's rz: every file keeps
// its modification time and its owner's rights on the far side, the second
// file of the batch as well as the first (rz used to stamp it with whatever
// date it held from before).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>
#include <string>

#include "tests/support/file_text.h"
#include "tests/support/peers.h"

namespace {

TEST(ZmodemFileDate, RzKeepsEveryFilesDateAndMode) {
  const std::string dir = freshBuildDir("transfer-interop/zmodem-dates", {"in", "out"});
  ASSERT_NE(dir, "");
  const struct {
    const char* name;
    long modified;  // seconds since 1970
    mode_t mode;
    size_t size;
  } files[] = {
      {"first.bin", 981173106L, 0640, 3000},    // 2001-02-03
      {"second.bin", 1262304000L, 0600, 70000},  // 2010-01-01
      {"third.txt", 1700000000L, 0644, 10},
  };
  std::string names;
  for (const auto& f : files) {
    std::string path = dir + "/in/" + f.name;
    writeFile(path, pseudoRandom(f.size, static_cast<uint32_t>(f.modified)));
    ASSERT_EQ(chmod(path.c_str(), f.mode), 0);
    utimbuf times{f.modified, f.modified};
    ASSERT_EQ(utime(path.c_str(), &times), 0);
    names += std::string(" ") + f.name;
  }
  std::string cmd = "cd '" + dir + "' && timeout 60 socat -t 5 SYSTEM:\"cd in && " + buildPath("tools/xfer") +
                    " send --protocol zmodem" + names + " 2>../xfer.err\" SYSTEM:\"cd out && exec rz -q\" 2>socat.log";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << readFile(dir + "/xfer.err");
  for (const auto& f : files) {
    std::string path = dir + "/out/" + f.name;
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0) << f.name;
    EXPECT_EQ(st.st_size, static_cast<off_t>(f.size)) << f.name;
    EXPECT_EQ(st.st_mtime, f.modified) << f.name;
    EXPECT_EQ(st.st_mode & 0777, f.mode) << f.name;
  }
}

}  // namespace
