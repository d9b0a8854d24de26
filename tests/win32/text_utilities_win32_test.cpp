// The Utilities commands under Wine as the menu runs them: the "Open File"
// dialog for uuencode, the batch list for uudecode and the conversions, and
// the message boxes of their outcomes (screenshots of each).
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "screenshot.h"
#include "transfer/transfer_dialog_ids.h"
#include "transfer/text_utilities_win32.h"
#include "win32_driver.h"

namespace {
// Takes the next message box: a screenshot, its text, then OK.
std::string answerMessage(const char* shot) {
  HWND box = waitForWindow("Message", 10000);
  if (!box) return "(no message)";
  Sleep(200);
  saveScreenshot(shot);
  char text[1024] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  SendMessageA(box, WM_COMMAND, IDOK, 0);
  Sleep(100);
  return text;
}

// Fills the batch list as the Add button would and presses Done.
void chooseInBatchList(const std::vector<std::string>& paths) {
  HWND box = waitForWindow("Batch List", 10000);
  if (!box) return;
  for (const std::string& p : paths)
    SendMessageA(GetDlgItem(box, IDC_BATCH_LIST), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p.c_str()));
  SendMessageA(box, WM_COMMAND, IDC_BATCH_DONE, 0);
}

std::string folderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }
}  // namespace

TEST(TextUtilities, UuencodeThenUudecodeFromTheMenuFunctions) {
  std::string data;
  for (int i = 0; i < 50000; ++i) data.push_back(static_cast<char>(i * 7 + i / 251));
  std::string path = writeTempFile("uutest.bin", "");
  std::ofstream(path, std::ios::binary) << data;
  std::string dir = folderOf(path);
  DeleteFileA((dir + "uutest1.uue").c_str());
  DeleteFileA((dir + "uutest2.uue").c_str());
  std::string shown;
  std::thread user([&] {
    HWND open = waitForWindow("Open File", 10000);
    if (!open) return;
    Sleep(200);
    // The file name edit of the standard dialog (edt1, or the combo box's edit).
    if (!SetDlgItemTextA(open, 0x480, path.c_str())) SetDlgItemTextA(open, 0x47C, path.c_str());
    SendMessageA(open, WM_COMMAND, IDOK, 0);
    shown = answerMessage("uuencode_complete");
  });
  utilityUuencode(mainWindow());
  user.join();
  EXPECT_EQ(shown, "Encoding complete");
  std::string part1 = readFile(dir + "uutest1.uue");
  EXPECT_EQ(part1.compare(0, 22, "begin 600 uutest.bin\r\n"), 0);
  EXPECT_EQ(readFile(dir + "uutest2.uue").compare(0, 7, "BEGIN\r\n"), 0);

  DeleteFileA(path.c_str());
  user = std::thread([&] {
    chooseInBatchList({dir + "uutest1.uue", dir + "uutest2.uue"});
    shown = answerMessage("uudecode_complete");
  });
  utilityUudecode(mainWindow());
  user.join();
  EXPECT_EQ(shown, "Decoding complete");
  EXPECT_EQ(readFile(path), data);

  // The parts in the wrong order: the second has no "begin" line.
  std::vector<std::string> texts;
  user = std::thread([&] {
    chooseInBatchList({dir + "uutest2.uue", dir + "uutest1.uue"});
    texts.push_back(answerMessage("uudecode_no_name"));
    texts.push_back(answerMessage("uudecode_error"));
  });
  utilityUudecode(mainWindow());
  user.join();
  EXPECT_EQ(texts, (std::vector<std::string>{"Filename not found in  " + dir + "uutest2.uue", "Decoding error"}));
}

TEST(TextUtilities, ConversionsFromTheMenuFunctions) {
  std::string text = writeTempFile("conv.txt", "one\ntwo\r\n");
  std::string wrong = writeTempFile("conv.dos", "x\n");
  std::string dir = folderOf(text);
  std::vector<std::string> texts;
  std::thread user([&] {
    chooseInBatchList({text});
    texts.push_back(answerMessage("unix_dos_complete"));
  });
  utilityUnixToDos(mainWindow());
  user.join();
  EXPECT_EQ(readFile(dir + "conv.dos"), "one\r\ntwo\r\n");
  user = std::thread([&] {
    chooseInBatchList({dir + "conv.dos"});
    texts.push_back(answerMessage("unix_dos_wrong_type"));
    texts.push_back(answerMessage("unix_dos_error"));
  });
  utilityUnixToDos(mainWindow());
  user.join();
  user = std::thread([&] {
    HWND box = waitForWindow("Batch List", 10000);
    if (box) SendMessageA(box, WM_COMMAND, IDC_BATCH_CANCEL, 0);
    texts.push_back(answerMessage("dos_unix_cancelled"));
  });
  utilityDosToUnix(mainWindow());
  user.join();
  EXPECT_EQ(texts, (std::vector<std::string>{"Coversion complete", "File is of wrong type", "Translation error",
                                             "Conversion cancelled"}));
  (void)wrong;
}
