// The listing parser: lines as each system prints them, the skip rules of each
// system type, and the same listing cut into blocks anywhere.
#include <gtest/gtest.h>

#include <string>

#include "ftp/listing.h"
#include "ftp/system_type.h"

namespace {
std::string view(int system, const std::string& bytes, size_t block = 0) {
  ListingState s;
  listingReset(s, system);
  if (block == 0) block = bytes.size() ? bytes.size() : 1;
  for (size_t at = 0; at < bytes.size(); at += block) {
    size_t n = std::min(block, bytes.size() - at);
    AddListingBytes(s, reinterpret_cast<const uint8_t*>(bytes.data()) + at, static_cast<int>(n));
  }
  BuildRemoteView(s);
  return listingViewText(s);
}

struct LineCase {
  int system;
  std::string line;
  int kind;
  std::string name, size, date;
};

TEST(Listing, Lines) {
  const std::string kLong200(200, 'n');
  const LineCase cases[] = {
      // Unix long listings (types 1 to 4 read them alike).
      LineCase{1, "drwxr-xr-x   2 ftp      ftp           512 Jan  5  1999 pub", 1, "pub", "512", "Jan 05 1999"},
      LineCase{4, "drwxr-xr-x   2 ftp      ftp           512 Jan  5  1999 pub", 1, "pub", "512", "Jan 05 1999"},
      LineCase{1, "-rw-r--r--   1 ftp ftp 7 Dec 06 20:46 my file.txt", 2, "my file.txt", "7", "Dec 06 20:46"},
      LineCase{2, "lrwxrwxrwx 1 root root 10 Dec 6 20:46 link -> readme.txt", 1, "link -> readme.txt", "10", "Dec 06 20:46"},
      LineCase{1, "-rw-r--r-- 1 a b 5368709120 Mar 31 2020  two blanks", 2, " two blanks", "5368709120", "Mar 31 2020"},
      LineCase{1, "-rw-r--r--\t1\ta\tb\t12\tMay\t9\t10:00\ttab\tname", 2, "tab\tname", "12", "May 09 10:00"},
      LineCase{3, "-rw-r--r-- 1 a b 12k Jan 1 2000 x", 2, "x", "12", "Jan 01 2000"},
      LineCase{1, "-rw-r--r-- 1 a b size Jan 1 2000 x", 2, "x", "", "Jan 01 2000"},
      LineCase{1, "-rw-r--r-- 1 a b 9 Jan x 2000 x", 2, "x", "9", "Jan 00 2000"},
      LineCase{1, "-rw-r--r-- 1 a b 9 Jan 1 2000 " + kLong200, 2, kLong200, "9", "Jan 01 2000"},
      LineCase{1, std::string("-rw-r--r-- 1 a b 9 Jan 1 2000 nul\0name", 38), 2, std::string("nul\0name", 8), "9", "Jan 01 2000"},
      // Fewer than eight fields: nothing past the end, missing fields empty.
      LineCase{1, "total 12", 2, "", "", ""},
      LineCase{1, "-rw-r--r-- 1 a b 77 Jan 1", 2, "", "77", ""},
      LineCase{1, "-rw-r--r-- 1 a b 77 Jan 1 2000", 2, "", "77", "Jan 01 2000"},
      LineCase{1, "d", 1, "", "", ""},
      LineCase{1, "-rw-r--r-- 1 a b " + std::string(400, '9') + " J 1 2 n", 2, "n", std::string(31, '9'), "J 01 2"},
      // VMS: the ".DIR" suffix makes a directory.
      LineCase{5, "SUBDIR.DIR;1             1  10-JUN-1998 10:00 [SMITH] (RWE,RWE,RE,RE)", 1, "SUBDIR", "", ""},
      LineCase{5, "FILE.TXT;3              12  10-JUN-1998 10:00 [SMITH] (RWED,RWED,RE,)", 2, "FILE.TXT;3", "", ""},
      LineCase{5, "mixed.dir;2 1", 1, "mixed", "", ""},
      LineCase{5, "LONGNAME.TXT;1", 2, "LONGNAME.TXT;1", "", ""},
      // VM: name and type, "DIR" marks a directory.
      LineCase{6, "PROFILE  EXEC     A1 V         17         13          1 2024-01-05 10:11:12 USR191", 2, "PROFILE.EXEC", "", ""},
      LineCase{6, "SUBDIR   dir      -  - - - - 2024-01-05", 1, "SUBDIR", "", ""},
      LineCase{6, "PROFILE EXEC", 0, "PROFILE", "", ""},
      LineCase{6, "PROFILE", 0, "PROFILE", "", ""},
      LineCase{6, "  A  B", 0, "A", "", ""},
      // Autodetect never resolved and unknown systems: the whole line.
      LineCase{0, "drwxr-xr-x 2 a b 512 Jan 5 1999 pub", 0, "drwxr-xr-x 2 a b 512 Jan 5 1999 pub", "", ""},
      LineCase{99, "anything at all", 0, "anything at all", "", ""}};
  for (const LineCase& c : cases) {
    ListingEntry e = ParseListingLine(c.system, false, c.line);
    std::string what = std::to_string(c.system) + ": " + c.line.substr(0, 60);
    EXPECT_EQ(e.kind, c.kind) << what;
    EXPECT_EQ(e.name, c.name) << what;
    EXPECT_EQ(e.size, c.size) << what;
    EXPECT_EQ(e.date, c.date) << what;
  }
}

// The skip rules of each system type (MVS datasets and members included), and
// lines assembled from CR, LF and CR LF ends, cut at 1023 bytes.
TEST(Listing, SkipRulesPerSystemAndLineAssembly) {
  const std::string line1023(1023, 'a'), line1024 = line1023 + "b";
  const std::string unix_ =
      "total 12\r\n"
      "-rw-r--r-- 1 a b 1 Jan 1 2000 f\r\n"
      "drwxr-xr-x 1 a b 2 Jan 1 2000 d\r\n"
      "odd line\r\n";
  const std::string withTotal = "file\t\t\t\n";
  struct {
    int system;
    std::string bytes, expected;
  } cases[] = {
      {SYSTEM_UNIX, unix_, "dir\td\t2\tJan 01 2000\nfile\tf\t1\tJan 01 2000\nfile\t\t\t\n"},
      {SYSTEM_WINDOWS_NT, unix_, "dir\td\t2\tJan 01 2000\nfile\tf\t1\tJan 01 2000\nfile\t\t\t\n"},
      {SYSTEM_MACOS, unix_, "dir\td\t2\tJan 01 2000\n" + withTotal + "file\tf\t1\tJan 01 2000\nfile\t\t\t\n"},
      {SYSTEM_NOVELL, unix_, "dir\td\t2\tJan 01 2000\n" + withTotal + "file\tf\t1\tJan 01 2000\nfile\t\t\t\n"},
      // "TOTAL" counts only within the first six characters of the first line.
      {SYSTEM_UNIX, " TOTAL 3\n-rw-r--r-- 1 a b 1 Jan 1 2000 f\n", "file\tf\t1\tJan 01 2000\n"},
      {SYSTEM_UNIX, "  total\n-rw-r--r-- 1 a b 1 Jan 1 2000 f\n", "file\t\t\t\nfile\tf\t1\tJan 01 2000\n"},
      {SYSTEM_UNIX, "-rw-r--r-- 1 a b 1 Jan 1 2000 total\n", "file\ttotal\t1\tJan 01 2000\n"},
      {SYSTEM_VMS,
       "Directory DISK$USER:[SMITH]\r\n\r\nLOGIN.COM;2  1  9-JUN-1998 12:34\r\n"
       "A_VERY_LONG_FILE_NAME_THAT_WRAPS.TXT;1\r\n        5  11-JUN-1998 11:00 [SMITH] (RWED,RWED,RE,)\r\n"
       "SUBDIR.DIR;1  1  10-JUN-1998 10:00\r\n\r\nTotal of 3 files, 7 blocks.\r\n",
       "dir\tSUBDIR\t\t\nfile\tLOGIN.COM;2\t\t\nfile\tA_VERY_LONG_FILE_NAME_THAT_WRAPS.TXT;1\t\t\n"},
      {SYSTEM_VMS, "only one line\r\n", ""},
      {SYSTEM_MVS, "heading only\r\n", ""},
      {SYSTEM_MVS,
       "Volume Unit    Referred Ext Used Recfm Lrecl BlkSz Dsorg Dsname\r\n"
       "WRK001 3390   2024/01/05  1   15  FB      80 27920  PO  USER.JCL\r\n"
       "Migrated                                                 USER.OLD.DATA  \r\n",
       "dir\tUSER.JCL\t\t\ndir\tUSER.OLD.DATA\t\t\n"},
      // Only the heading line chooses dataset mode.
      {SYSTEM_MVS,
       " Name     VV.MM   Created       Changed      Size  Init   Mod   Id\r\n"
       " MEMBER1   01.00 2024/01/05 2024/01/05 10:11    10    10     0 USER\r\n"
       "VOLUME   01.02 2024/01/05 2024/01/05 10:11    10    10     0 USER\r\n",
       "file\tMEMBER1\t\t\nfile\tVOLUME\t\t\n"},
      {SYSTEM_VM, "A B C\r\nX DIR Y\r\n", "dir\tX\t\t\nfile\tA.B\t\t\n"},
      {SYSTEM_AUTODETECT, unix_.substr(0, 10), "other\ttotal 12\t\t\n"},
      {SYSTEM_AUTODETECT, "one\r\ntwo\nthree", "other\tone\t\t\nother\ttwo\t\t\nother\tthree\t\t\n"},
      {SYSTEM_AUTODETECT, "a\rb\r\r\n\r\n\n", "other\ta\rb\r\t\t\n"},
      {SYSTEM_AUTODETECT, line1023 + "\r\nnext\r\n", "other\t" + line1023 + "\t\t\nother\tnext\t\t\n"},
      {SYSTEM_AUTODETECT, line1024 + "\r\nnext\r\n", "other\t" + line1023 + "\t\t\nother\tnext\t\t\n"},
      {SYSTEM_AUTODETECT, line1024 + std::string(5000, 'c') + "\nnext\n",
       "other\t" + line1023 + "\t\t\nother\tnext\t\t\n"},
      {SYSTEM_AUTODETECT, std::string("\0\0\n", 3), std::string("other\t\0\0\t\t\n", 11)},
  };
  for (auto& c : cases) EXPECT_EQ(view(c.system, c.bytes), c.expected) << c.system << ": " << c.bytes.substr(0, 40);
}

TEST(Listing, GroupCountsTellKindsByIndex) {
  ListingState s;
  listingReset(s, SYSTEM_UNIX);
  std::string bytes = "-rw-r--r-- 1 a b 1 Jan 1 2000 f1\nxyz\ndrwxr-xr-x 1 a b 2 Jan 1 2000 d\n-rw-r--r-- 1 a b 1 Jan 1 2000 f2\n";
  AddListingBytes(s, reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
  BuildRemoteView(s);
  ASSERT_EQ(s.view.size(), 4u);
  EXPECT_EQ(s.directoryCount, 1);
  EXPECT_EQ(s.fileCount, 3);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(listingKindAt(s, i), s.view[i].kind) << i;
  listingReset(s, SYSTEM_AUTODETECT);
  AddListingBytes(s, reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
  BuildRemoteView(s);
  EXPECT_EQ(s.directoryCount + s.fileCount, 0);
  EXPECT_EQ(listingKindAt(s, 0), LISTING_OTHER);
  EXPECT_EQ(s.view[3].name, "-rw-r--r-- 1 a b 1 Jan 1 2000 f2") << "a new listing starts with no old lines";
}

// A listing that mixes every system's lines, blank-led lines, a stray CR and
// a long line gives the same view in blocks of any size (the fuzzer cuts it
// anywhere else).
TEST(Listing, SplitInvariance) {
  for (int system : {SYSTEM_UNIX, SYSTEM_VMS, SYSTEM_VM, SYSTEM_MVS, SYSTEM_AUTODETECT}) {
    std::string bytes = "total 1\r\n-rw-r--r-- 1 a b 5 Jan 1 2000 my file\r\n drwxr-xr-x 2 a b 4 Feb 2 10:00 d\n"
                        "Volume x\r\r\nFILE.DIR;1 2\r\n   continued\r\nA B C D\r\n" + std::string(1500, 'z') + "\r\nlast";
    std::string whole = view(system, bytes);
    for (size_t block : {1, 7, 1024}) EXPECT_EQ(view(system, bytes, block), whole) << system << " block " << block;
  }
}

TEST(SystemType, KeywordOrder) {
  struct {
    const char* reply;
    int type;
  } cases[] = {{"UNIX Type: L8", 1}, {"Windows_NT", 3}, {"MACOS Peter's Server", 2}, {"NetWare NOVELL", 4},
               {"VMS V5.5", 5},      {"VM/ESA", 6},     {"MVS is the operating system", 7},
               {"Unknown", 99},      {"", 99},          {"vms and unix", 1}};
  for (auto& c : cases) EXPECT_EQ(systemTypeFromReply(c.reply), c.type) << c.reply;
  EXPECT_STREQ(systemTypeName(SYSTEM_WINDOWS_NT), "Windows NT");
}
}  // namespace

// A server that never stops listing: what fits the limits is kept in order
// (directories first), the rest is dropped, and the listing says it was cut.
TEST(Listing, BoundedAndSaysSoWhenCut) {
  const std::string unixLine = "-rw-r--r-- 1 user group 1234 Jan 01 2020 file-with-a-name\r\n";
  struct {
    const char* what;
    std::string line;
    size_t repeat, kept;
    bool cut;
  } cases[] = {
      {"20 MB of tiny lines", "a\n", 10000000, LISTING_LINES_MAX, true},
      {"long lines reach the byte budget first", std::string(1000, 'x') + "\n", 20000,
       LISTING_BYTES_MAX / 1000, true},
      {"a full listing of real entries fits", unixLine, LISTING_LINES_MAX - 1000, LISTING_LINES_MAX - 999, false},
  };
  for (const auto& c : cases) {
    ListingState s;
    listingReset(s, SYSTEM_UNIX);
    std::string block;
    for (size_t i = 0; i < 1000; ++i) block += c.line;
    for (size_t i = 0; i < c.repeat / 1000; ++i)
      AddListingBytes(s, reinterpret_cast<const uint8_t*>(block.data()), static_cast<int>(block.size()));
    AddListingBytes(s, reinterpret_cast<const uint8_t*>("drwxr-xr-x 2 u g 4096 Jan 01 2020 last\n"), 39);
    BuildRemoteView(s);
    EXPECT_EQ(s.view.size(), c.kept) << c.what;
    EXPECT_EQ(s.cut, c.cut) << c.what;
    EXPECT_EQ(s.directoryCount, c.cut ? 0 : 1) << c.what << ": only a line before the cut is kept";
  }
}
