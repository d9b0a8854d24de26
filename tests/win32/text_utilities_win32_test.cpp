// The Utilities commands under Wine as the menu runs them: the "Open File"
// dialog for uuencode, the batch list for uudecode and the conversions, and
// the message boxes of their outcomes (screenshots of each).
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <functional>
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

// Fills the batch list as the Add button would and presses Done; with no
// paths, presses Cancel.
void chooseInBatchList(const std::vector<std::string>& paths) {
  HWND box = waitForWindow("Batch List", 10000);
  if (!box) return;
  for (const std::string& p : paths)
    SendMessageA(GetDlgItem(box, IDC_BATCH_LIST), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p.c_str()));
  SendMessageA(box, WM_COMMAND, paths.empty() ? IDC_BATCH_CANCEL : IDC_BATCH_DONE, 0);
}

// Runs a Utilities command while a second thread acts as the user: choose
// picks the files, then each message box that follows is taken (a screenshot
// each). Returns their texts.
std::vector<std::string> runCommand(void (*command)(HWND), const std::function<void()>& choose,
                                    std::vector<const char*> shots) {
  std::vector<std::string> texts;
  std::thread user([&] {
    choose();
    for (const char* shot : shots) texts.push_back(answerMessage(shot));
  });
  command(mainWindow());
  user.join();
  return texts;
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
  auto openFile = [&] {
    HWND open = waitForWindow("Open File", 10000);
    if (!open) return;
    Sleep(200);
    // The file name edit of the standard dialog (edt1, or the combo box's edit).
    if (!SetDlgItemTextA(open, 0x480, path.c_str())) SetDlgItemTextA(open, 0x47C, path.c_str());
    SendMessageA(open, WM_COMMAND, IDOK, 0);
  };
  EXPECT_EQ(runCommand(utilityUuencode, openFile, {"uuencode_complete"}),
            std::vector<std::string>{"Encoding complete"});
  EXPECT_EQ(readFile(dir + "uutest1.uue").compare(0, 22, "begin 600 uutest.bin\r\n"), 0);
  EXPECT_EQ(readFile(dir + "uutest2.uue").compare(0, 7, "BEGIN\r\n"), 0);

  DeleteFileA(path.c_str());
  std::vector<std::string> parts = {dir + "uutest1.uue", dir + "uutest2.uue"};
  EXPECT_EQ(runCommand(utilityUudecode, [&] { chooseInBatchList(parts); }, {"uudecode_complete"}),
            std::vector<std::string>{"Decoding complete"});
  EXPECT_EQ(readFile(path), data);
  // The parts in the wrong order: the second has no "begin" line.
  EXPECT_EQ(runCommand(utilityUudecode, [&] { chooseInBatchList({parts[1], parts[0]}); },
                       {"uudecode_no_name", "uudecode_error"}),
            (std::vector<std::string>{"Filename not found in  " + parts[1], "Decoding error"}));
}

TEST(TextUtilities, ConversionsFromTheMenuFunctions) {
  std::string text = writeTempFile("conv.txt", "one\ntwo\r\n");
  std::string dos = writeTempFile("conv.dos", "x\n");  // replaced by the conversion
  EXPECT_EQ(runCommand(utilityUnixToDos, [&] { chooseInBatchList({text}); }, {"unix_dos_complete"}),
            std::vector<std::string>{"Coversion complete"});
  EXPECT_EQ(readFile(dos), "one\r\ntwo\r\n");
  EXPECT_EQ(runCommand(utilityUnixToDos, [&] { chooseInBatchList({dos}); }, {"unix_dos_wrong_type", "unix_dos_error"}),
            (std::vector<std::string>{"File is of wrong type", "Translation error"}));
  EXPECT_EQ(runCommand(utilityDosToUnix, [] { chooseInBatchList({}); }, {"dos_unix_cancelled"}),
            std::vector<std::string>{"Conversion cancelled"});
}
