// The text utilities beside the tools a user pairs them with: sharutils
// uuencode/uudecode both ways, dos2unix/unix2dos on the same inputs, and the
// text transfer through socat to cat on the far side.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/file_text.h"
#include "tests/support/peers.h"
#include "tests/support/tool_runner.h"

namespace {
int shell(const std::string& dir, const std::string& command) {
  return std::system(("cd '" + dir + "' && " + command).c_str());
}

struct Sample {
  std::string name;
  std::string data;
};
std::vector<Sample> samples() {
  std::vector<Sample> s;
  for (size_t n : {0, 1, 2, 3, 44, 45, 46}) s.push_back({"s" + std::to_string(n), pseudoRandom(n, 11 + n)});
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  s.push_back({"allbytes", all});
  s.push_back({"hundredk", pseudoRandom(100000, 3)});
  return s;
}

int textfile(const std::string& args, std::string* out) {
  std::string err;
  out->clear();
  return runTool("textfile", args, out, &err);
}
}  // namespace

// Our parts, joined without their BEGIN lines as a user joins mail parts, give
// GNU uudecode the file back; GNU uuencode output decodes with ours.
TEST(TextTools, UuencodeBothWaysWithSharutils) {
  std::string dir = freshBuildDir("text-interop/uu");
  for (const Sample& s : samples()) {
    writeFile(dir + "/" + s.name, s.data);
    std::string out;
    ASSERT_EQ(textfile("uuencode '" + dir + "/" + s.name + "'", &out), 0) << s.name;
    EXPECT_EQ(out, "Encoding complete\n");
    std::string stem = s.name.substr(0, 7);
    int parts = s.name == "hundredk" ? 3 : 1;
    std::string cat = "cat";
    for (int p = 1; p <= parts; ++p) cat += " " + stem + std::to_string(p) + ".uue";
    EXPECT_FALSE(readFile(dir + "/" + stem + std::to_string(parts) + ".uue").empty()) << s.name;
    ASSERT_EQ(shell(dir, cat + " | grep -v '^BEGIN' > joined && mkdir -p gnu && uudecode -o gnu/out joined"), 0)
        << s.name;
    EXPECT_EQ(readFile(dir + "/gnu/out"), s.data) << "GNU decoding our parts of " << s.name;

    ASSERT_EQ(shell(dir, "mkdir -p ours && uuencode " + s.name + " back.bin > ours/g.uue"), 0);
    ASSERT_EQ(textfile("uudecode '" + dir + "/ours/g.uue'", &out), 0) << s.name;
    EXPECT_EQ(out, "Decoding complete\n");
    EXPECT_EQ(readFile(dir + "/ours/back.bin"), s.data) << "ours decoding GNU's " << s.name;
    shell(dir, "rm -rf gnu ours joined *.uue");
  }
}

// A path on GNU's "begin" line still lands beside the input; GNU's base64 form
// is not ours to read: its long lines bring the question, and No ends it.
TEST(TextTools, UudecodeRefusesWhatItCannotRead) {
  std::string dir = freshBuildDir("text-interop/uu-refuse");
  writeFile(dir + "/x", "some text\n");
  ASSERT_EQ(shell(dir, "uuencode x /etc/evil > abs.uue && uuencode -m x m.bin > b64.uue"), 0);
  std::string out;
  EXPECT_EQ(textfile("uudecode '" + dir + "/abs.uue'", &out), 0);
  EXPECT_EQ(readFile(dir + "/evil"), "some text\n") << "an absolute name lands beside the input";
  EXPECT_EQ(textfile("uudecode '" + dir + "/b64.uue'", &out), 1);
  EXPECT_EQ(out, "IIlegal line number2 in file " + dir + "/b64.uue\n Do you wish to continue ?\nDecoding error\n");
}

// unix2dos and our Unix-to-DOS agree on every input; dos2unix keeps a lone CR
// where our DOS-to-Unix drops every CR, so the two agree once lone CRs are gone.
TEST(TextTools, LineEndsAgainstDos2unixOurDosToUnixDropsLoneCr) {
  std::string dir = freshBuildDir("text-interop/dos");
  std::string text = "one\ntwo\r\n\nthree\r\n" + std::string(1023, 'x') + "\r\nafter\n";
  std::vector<Sample> inputs = {{"plain", text},
                                {"lonecr", "a\rb\r\nc\n"},
                                {"edge", std::string(1023, 'y') + "\r\n" + std::string(1023, 'z') + "\n\n"}};
  for (const Sample& in : inputs) {
    writeFile(dir + "/" + in.name + ".txt", in.data);
    std::string out;
    ASSERT_EQ(textfile("unix-dos '" + dir + "/" + in.name + ".txt'", &out), 0);
    ASSERT_EQ(textfile("dos-unix '" + dir + "/" + in.name + ".txt'", &out), 0);
    EXPECT_EQ(out, "Coversion complete\n");
    ASSERT_EQ(shell(dir, "unix2dos -q -n " + in.name + ".txt u2d && dos2unix -q -n " + in.name + ".txt d2u"), 0);
    EXPECT_EQ(readFile(dir + "/" + in.name + ".dos"), readFile(dir + "/u2d")) << in.name;
    std::string d2u = readFile(dir + "/d2u"), noCr;
    for (char c : d2u)
      if (c != '\r') noCr.push_back(c);
    EXPECT_EQ(readFile(dir + "/" + in.name + ".unx"), noCr) << in.name;
    EXPECT_EQ(d2u != noCr, in.name == "lonecr") << "only the lone CR tells the two apart";
  }
}

// The text transfer with cat on the far side of socat: what the line carries
// for CR LF, bare LF and strip linefeed, and a capture that ends at the first
// 0x04 while the far side keeps the line open.
TEST(TextTools, AsciiTransferThroughSocatToCat) {
  std::string dir = freshBuildDir("text-interop/ascii");
  std::string xfer = buildPath("tools/xfer");
  writeFile(dir + "/t.txt", "one\r\ntwo\nthree\n");
  struct Case {
    std::string options, wire;
  } cases[] = {
      {"", std::string("\0one\r\ntwo\r\nthree\r\n\x03", 19)},
      {"--strip-linefeed --end ^D", std::string("\0one\rtwo\rthree\r\x04", 16)},
      {"--end D", std::string("\0one\r\ntwo\r\nthree\r\n\x03", 19)},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(shell(dir, "timeout 20 socat EXEC:\"" + xfer + " send --protocol ascii " + c.options +
                             " t.txt\" SYSTEM:\"cat > wire\""),
              0)
        << c.options;
    EXPECT_EQ(readFile(dir + "/wire"), c.wire) << c.options;
  }
  writeFile(dir + "/far.txt", std::string("abc\r\ndef\x04", 9));
  // The far side stays for 30 s: only the end byte can finish in time.
  ASSERT_EQ(shell(dir, "timeout 20 socat EXEC:\"" + xfer +
                           " receive --protocol ascii --end ^D got.txt\" SYSTEM:\"cat far.txt; exec sleep 30\""),
            0);
  EXPECT_EQ(readFile(dir + "/got.txt"), std::string("abc\r\ndef\x04", 9));
}
