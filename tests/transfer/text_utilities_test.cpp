// The Utilities commands on real files: line-end conversions, uuencode parts
// and uudecode with its messages, and the places they may write.
#include <dirent.h>

#include <set>

#include "shell/message_box.h"
#include "shell/message_box_posix.h"
#include "tests/transfer/transfer_fixture.h"
#include "transfer/text_convert.h"
#include "transfer/uucode.h"

namespace {
BatchList listOf(const std::vector<std::string>& paths) {
  BatchList list;
  for (const std::string& p : paths) batchAdd(list, p.c_str());
  return list;
}

std::vector<std::string> shownTexts() {
  std::vector<std::string> texts;
  for (const ShownMessage& m : messagesShown()) texts.push_back(m.text);
  return texts;
}

std::set<std::string> filesIn(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') names.insert(e->d_name);
    closedir(d);
  }
  return names;
}

int dataLines(const std::string& part) {
  int lines = 0;
  size_t at = 0, next;
  while ((next = part.find("\r\n", at)) != std::string::npos) {
    std::string line = part.substr(at, next - at);
    if (line != "BEGIN" && line != "`" && line != "end" && line.compare(0, 6, "begin ") != 0) ++lines;
    at = next + 2;
  }
  return lines;
}
}  // namespace

// A file that already carries the target extension is refused, and the batch
// stops there: the files after it stay unconverted.
TEST(TextConvert, BatchStopsAtTheFirstFailure) {
  std::string dir = freshDir("convert-batch");
  writeFile(dir + "/a.txt", "a\n");
  writeFile(dir + "/b.DOS", "b\n");
  writeFile(dir + "/c", "c\n");
  messagesClear();
  EXPECT_EQ(convertBatch(listOf({dir + "/a.txt", dir + "/b.DOS", dir + "/c"}), true), MSG_TRANSLATION_ERROR);
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{"File is of wrong type", "Translation error"}));
  EXPECT_EQ(filesIn(dir), (std::set<std::string>{"a.txt", "a.dos", "b.DOS", "c"}));
  messagesClear();
  EXPECT_EQ(convertBatch(listOf({dir + "/missing"}), false), MSG_TRANSLATION_ERROR);
  EXPECT_EQ(convertBatch(BatchList{}, false), MSG_CONVERSION_CANCELLED);
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{"Translation error", "Conversion cancelled"}));
  EXPECT_EQ(convertBatch(listOf({dir + "/c"}), false), MSG_CONVERSION_COMPLETE);
  EXPECT_EQ(readFile(dir + "/c.unx"), "c\n") << "a name without extension gains one";
}

// Parts of 950 data lines; input that ends with a full part still opens one
// more, holding only the end lines. The 7-character name cut keeps the parts
// in the input's folder.
TEST(Uuencode, PartsOf950Lines) {
  std::string dir = freshDir("uuencode");
  struct Case {
    size_t size;
    std::vector<int> lines;
  } cases[] = {{100000, {950, 950, 323}}, {950 * 45, {950, 0}}, {0, {0}}, {46, {2}}};
  for (const Case& c : cases) {
    std::string data = writeData(dir + "/longname.bin", c.size, static_cast<uint32_t>(c.size));
    ASSERT_EQ(uuencodeFile((dir + "/longname.bin").c_str()), static_cast<int>(c.lines.size()));
    for (size_t p = 0; p < c.lines.size(); ++p) {
      std::string part = readFile(dir + "/longnam" + std::to_string(p + 1) + ".uue");
      EXPECT_EQ(dataLines(part), c.lines[p]) << c.size << " part " << p + 1;
      EXPECT_EQ(part.compare(0, p ? 7 : 24, p ? "BEGIN\r\n" : "begin 600 longname.bin\r\n"), 0);
      bool last = p + 1 == c.lines.size();
      EXPECT_EQ(part.size() >= 8 && part.compare(part.size() - 8, 8, "`\r\nend\r\n") == 0, last);
    }
    BatchList parts;
    for (size_t p = 0; p < c.lines.size(); ++p)
      batchAdd(parts, (dir + "/longnam" + std::to_string(p + 1) + ".uue").c_str());
    std::remove((dir + "/longname.bin").c_str());
    messagesClear();
    EXPECT_EQ(uudecodeCommand(parts), MSG_DECODING_COMPLETE) << c.size;
    EXPECT_EQ(readFile(dir + "/longname.bin"), data) << c.size;
    std::system(("rm -f '" + dir + "'/*.uue").c_str());
  }
}

// The name on the "begin" line comes from the file: only its base name is
// used, beside the input, and names that are no file are refused.
TEST(Uudecode, OutputNameStaysBesideTheInput) {
  std::string dir = freshDir("uudecode-name");
  std::string body = "#8V%T\r\n`\r\nend\r\n";
  struct Case {
    const char* header;
    const char* written;  // nullptr: refused with message 45
  } cases[] = {
      {"begin 644 ../../escape.txt", "escape.txt"}, {"begin 644 /tmp/abs.txt", "abs.txt"},
      {"begin 644 C:\\dos\\win.txt", "win.txt"},  {"begin 644 ..", nullptr},
      {"begin 644 .", nullptr},                   {"begin 644", nullptr},
      {"begin 644 sub/", nullptr},
  };
  for (const Case& c : cases) {
    std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "/in'").c_str());
    writeFile(dir + "/in/p.uue", std::string(c.header) + "\r\n" + body);
    messagesClear();
    int message = uudecodeCommand(listOf({dir + "/in/p.uue"}));
    if (c.written) {
      EXPECT_EQ(message, MSG_DECODING_COMPLETE) << c.header;
      EXPECT_EQ(readFile(dir + "/in/" + c.written), "cat") << c.header;
    } else {
      EXPECT_EQ(shownTexts(), (std::vector<std::string>{"Filename not found in  " + dir + "/in/p.uue",
                                                        "Decoding error"}))
          << c.header;
    }
    EXPECT_EQ(filesIn(dir), std::set<std::string>{"in"}) << c.header;
  }
}

// Bad parts end with the messages of the decoder: no header, no BEGIN in a
// continuation, a header after data, parts out of order, a missing last part.
TEST(Uudecode, BadPartsEndWithTheirMessages) {
  std::string dir = freshDir("uudecode-bad");
  std::string data = writeData(dir + "/d.bin", 950 * 45 + 100, 5);
  ASSERT_EQ(uuencodeFile((dir + "/d.bin").c_str()), 2);
  std::string p1 = dir + "/d1.uue", p2 = dir + "/d2.uue";
  writeFile(dir + "/binary", std::string("\0\xff\x01" "begin", 8) + std::string(5000, '\xfe'));
  writeFile(dir + "/nobegin.uue", "M86%C\r\n`\r\nend\r\n");
  writeFile(dir + "/late.uue", "begin 600 late\r\n#8V%T\r\n#8V%T\r\nsection 2\r\n`\r\nend\r\n");
  // A length character may say up to 63 bytes: 84 characters of a line.
  writeFile(dir + "/wide.uue", "begin 600 wide\r\n_" + std::string(84, 'A') + "\r\nsection\r\n");
  struct Case {
    std::vector<std::string> files;
    std::vector<std::string> texts;
  } cases[] = {
      {{dir + "/binary"}, {"Filename not found in  " + dir + "/binary", "Decoding error"}},
      {{p2, p1}, {"Filename not found in  " + p2, "Decoding error"}},
      {{p1, dir + "/nobegin.uue"}, {"Begin is not found in file " + dir + "/nobegin.uue", "Decoding error"}},
      {{dir + "/late.uue"}, {"IIlegal line number4 in file " + dir + "/late.uue", "Decoding error"}},
      {{p1, p2, p2}, {"IIlegal line number5 in file " + p2, "Decoding error"}},
      {{dir + "/wide.uue"}, {"IIlegal line number3 in file " + dir + "/wide.uue", "Decoding error"}},
      {{p1}, {"Decoding error"}},
      {{}, {"Decoding cancelled"}},
  };
  for (const Case& c : cases) {
    messagesClear();
    EXPECT_EQ(uudecodeCommand(listOf(c.files)), c.texts.size() == 1 && c.files.empty() ? MSG_DECODING_CANCELLED
                                                                                       : MSG_DECODING_ERROR);
    EXPECT_EQ(shownTexts(), c.texts);
  }
  messagesClear();
  EXPECT_EQ(uudecodeCommand(listOf({p1, p2})), MSG_DECODING_COMPLETE);
  EXPECT_EQ(readFile(dir + "/d.bin"), data);
}

// A line longer than its length character allows asks once per file: No
// fails, Yes cuts it and every later one. Lines of any length are safe.
TEST(Uudecode, OverLongLinesAskOnce) {
  std::string dir = freshDir("uudecode-long");
  std::string text = "begin 600 out\r\n#8V%TXX\r\n#9&]GYY\r\n" + std::string(100000, 'M') + "\r\n`\r\nend\r\n";
  writeFile(dir + "/p.uue", text);
  messagesClear();
  messageSetAnswer(ANSWER_NO);
  EXPECT_EQ(uudecodeCommand(listOf({dir + "/p.uue"})), MSG_DECODING_ERROR);
  EXPECT_EQ(shownTexts(), (std::vector<std::string>{
                              "IIlegal line number2 in file " + dir + "/p.uue\n Do you wish to continue ?",
                              "Decoding error"}));
  EXPECT_EQ(messagesShown()[0].style & MSG_YESNO, static_cast<unsigned>(MSG_YESNO));
  messagesClear();
  messageSetAnswer(ANSWER_YES);
  EXPECT_EQ(uudecodeCommand(listOf({dir + "/p.uue"})), MSG_DECODING_COMPLETE);
  EXPECT_EQ(messagesShown().size(), 2u) << "asked once";
  std::string out = readFile(dir + "/out");
  EXPECT_EQ(out.substr(0, 6), "catdog");
  EXPECT_EQ(out.size(), 6u + 45u) << "the 100000-character line is read as its first 254";
}
