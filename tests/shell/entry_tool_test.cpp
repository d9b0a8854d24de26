// The entry tool run as a process, as acceptance checks use it: show, set and
// new, and refusals that leave the file byte for byte as it was.
#include <gtest/gtest.h>

#include <sstream>

#include "shell/book_entry.h"
#include "shell/ftp_entry.h"
#include "shell/phone_entry.h"
#include "tests/shell/book_fixture.h"
#include "tests/support/tool_runner.h"

namespace {
struct ToolRun {
  int status;
  std::string out, err;
};

class EntryTool : public BookDirTest {
 protected:
  static ToolRun run(const std::string& arguments) {
    ToolRun r;
    r.status = runTool("entry", arguments, &r.out, &r.err);
    return r;
  }
  // The value of a name=value line of a show.
  static std::string valueOf(const std::string& show, const std::string& name) {
    std::istringstream lines(show);
    for (std::string line; std::getline(lines, line);)
      if (line.compare(0, name.size() + 1, name + "=") == 0) return line.substr(name.size() + 1);
    return "<absent>";
  }
};

TEST_F(EntryTool, NewWritesEachTemplateAndShowListsEveryField) {
  struct Case {
    const char* kind;
    const char* file;
    size_t size;
    int fields;
  } cases[] = {{"tel", "t.tel", BOOK_ENTRY_SIZE, bookFieldCount},
               {"phn", "p.PHN", PHONE_ENTRY_SIZE, phoneFieldCount},
               {"ftp", "f.ftp", FTP_ENTRY_SIZE, ftpFieldCount}};
  for (const Case& c : cases) {
    ToolRun made = run(std::string("new ") + c.kind + " " + path(c.file));
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(fileBytes(c.file).size(), c.size);
    ToolRun shown = run("show " + path(c.file));
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(std::count(shown.out.begin(), shown.out.end(), '\n'), c.fields) << c.kind;
    EXPECT_EQ(valueOf(shown.out, "name"), "Default");
  }
  EXPECT_EQ(valueOf(run("show " + path("t.tel")).out, "fontHeight"), "-12") << "signed fields show signed";
}

TEST_F(EntryTool, SetChangesFieldsInPlace) {
  ASSERT_EQ(run("new tel " + path("h.tel")).status, 0);
  std::vector<uint8_t> before = fileBytes("h.tel");
  ToolRun set = run("set " + path("h.tel") + " address=example.net port=2323 'userName=jo doe' protocol=1");
  EXPECT_EQ(set.status, 0) << set.err;
  ToolRun shown = run("show " + path("h.tel"));
  EXPECT_EQ(valueOf(shown.out, "address"), "example.net");
  EXPECT_EQ(valueOf(shown.out, "port"), "2323");
  EXPECT_EQ(valueOf(shown.out, "userName"), "jo doe");
  EXPECT_EQ(valueOf(shown.out, "protocol"), "1");
  std::vector<uint8_t> after = fileBytes("h.tel");
  ASSERT_EQ(after.size(), BOOK_ENTRY_SIZE);
  EXPECT_EQ(std::vector<uint8_t>(after.begin() + 2344, after.end()),
            std::vector<uint8_t>(before.begin() + 2344, before.end()));
}

TEST_F(EntryTool, RefusalsGiveOneLineAndLeaveTheFileUntouched) {
  ASSERT_EQ(run("new phn " + path("x.phn")).status, 0);
  std::vector<uint8_t> original = fileBytes("x.phn");
  writeFile("short.tel", std::vector<uint8_t>(100, 7));
  struct Case {
    std::string arguments;
    std::string file;
    const char* mention;
  } cases[] = {
      {"set " + path("x.phn") + " retryCount=3 bogus=1", "x.phn", "bogus"},
      {"set " + path("x.phn") + " phonePrefix=12345678", "x.phn", "phonePrefix"},
      {"set " + path("x.phn") + " retryCount=65536", "x.phn", "retryCount"},
      {"set " + path("x.phn") + " address=x", "x.phn", "address"},
      {"set " + path("x.phn") + " noequals", "x.phn", "noequals"},
      {"set " + path("short.tel") + " port=1", "short.tel", "100 bytes"},
      {"show " + path("short.tel"), "short.tel", "100 bytes"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> before = fileBytes(c.file);
    ToolRun r = run(c.arguments);
    EXPECT_EQ(r.status, 1) << c.arguments;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(c.mention), std::string::npos) << r.err;
    EXPECT_EQ(fileBytes(c.file), before) << c.arguments;
  }
  EXPECT_EQ(fileBytes("x.phn"), original);

  ToolRun unknownKind = run("new xyz " + path("n.xyz"));
  EXPECT_EQ(unknownKind.status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "n.xyz"));
  EXPECT_EQ(run("show " + path("missing.tel")).status, 1);
  EXPECT_EQ(run("frobnicate").status, 1);
}
}  // namespace
