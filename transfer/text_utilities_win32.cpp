#include "transfer/text_utilities_win32.h"

#include <commdlg.h>

#include "transfer/batch_list.h"
#include "transfer/text_convert.h"
#include "transfer/transfer_dialog_win32.h"
#include "transfer/uucode.h"

namespace {
// The batch list, started empty; Cancel or an empty list gives no files.
BatchList chooseFiles(HWND owner) {
  BatchList files;
  if (transferBatchDialog(owner, &files) == 0) batchClear(files);
  return files;
}
}  // namespace

void utilityUnixToDos(HWND owner) { convertBatch(chooseFiles(owner), true); }
void utilityDosToUnix(HWND owner) { convertBatch(chooseFiles(owner), false); }
void utilityUudecode(HWND owner) { uudecodeCommand(chooseFiles(owner)); }

void utilityUuencode(HWND owner) {
  char path[TRANSFER_PATH_MAX] = "";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = "(*.*)\0*.*\0";
  ofn.lpstrFile = path;
  ofn.nMaxFile = sizeof path;
  ofn.lpstrTitle = "Open File";
  ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  if (!GetOpenFileNameA(&ofn)) path[0] = 0;
  uuencodeCommand(path);
}
