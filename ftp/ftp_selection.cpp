#include "ftp/ftp_selection.h"

#include "ftp/ftp_session.h"
#include "terminal/link.h"

int downloadWalkNext(const ListingState& view, DownloadWalk& walk) {
  while (walk.next < walk.selected.size()) {
    int index = walk.selected[walk.next++];
    if (index < 0 || index >= static_cast<int>(view.view.size())) continue;
    if (listingKindAt(view, index) != LISTING_FILE) {
      ftpHooks.message(FTP_TEXT_NO_DIR_DOWNLOAD, "Message");
      continue;
    }
    // A name the server chose may hold a path, a drive or control bytes: it
    // is stored under its base name in the local directory, or not at all.
    const std::string& name = view.view[static_cast<size_t>(index)].name;
    if (ftpLocalNameOf(name).empty() || !ftpCommandLineSafe(("RETR " + name + "\r\n").c_str())) {
      ftpHooks.message((std::string(FTP_TEXT_NAME_REFUSED) + listingShownName(name)).c_str(), "Message");
      continue;
    }
    return index;
  }
  return -1;
}

int ftpDownloadNext(const ListingState& view, DownloadWalk& walk, int* result) {
  *result = 0;
  for (;;) {
    int index = downloadWalkNext(view, walk);
    if (index < 0) return -1;
    ftp.localName.clear();
    *result = RunDataCommand(("RETR " + view.view[static_cast<size_t>(index)].name + "\r\n").c_str(), KIND_GET);
    if (*result == LINK_LOST) return LINK_LOST;
    if (*result == 0) return index;
  }
}

std::vector<std::string> uploadCollect(const std::string& dir, const std::vector<LocalItem>& items,
                                       const std::vector<int>& selected) {
  std::vector<std::string> paths;
  for (int index : selected) {
    if (index < 0 || index >= static_cast<int>(items.size())) continue;
    const LocalItem& item = items[static_cast<size_t>(index)];
    if (item.kind != LOCAL_FILE) {
      ftpHooks.message(FTP_TEXT_NO_DIR_UPLOAD, "Message");
      continue;
    }
    paths.push_back(localJoin(dir, item.name));
  }
  return paths;
}

int ftpUploadBatch(const std::vector<std::string>& paths) {
  if (paths.empty()) return -1;
  ftp.uploadList = paths;
  ftp.batch = true;
  ftp.busy = true;
  int code = SendFtpCommand(ftp.binary ? "TYPE I\r\n" : "TYPE A N\r\n", ftp.binary ? KIND_BINARY : KIND_ASCII);
  if (code == LINK_LOST) return LINK_LOST;
  ftp.transferKind = KIND_PUT;
  ftp.transferRunning = true;
  if (ftpHooks.transferOpen(KIND_PUT, paths.front().c_str())) return 0;
  // No dialog: the whole batch runs here.
  int r = ftpUploadRun();
  if (r != LINK_LOST) r = ftpTransferFinish();
  ftp.busy = false;
  return r;
}

int ftpRemoteDelete(const ListingState& view, const std::vector<int>& selected) {
  for (int index : selected) {
    if (index < 0 || index >= static_cast<int>(view.view.size())) continue;
    const bool directory = listingKindAt(view, index) == LISTING_DIRECTORY;
    std::string line = (directory ? "RMD " : "DELE ") + view.view[static_cast<size_t>(index)].name + "\r\n";
    if (SendFtpCommand(line.c_str(), directory ? KIND_RMDIR : KIND_DELETE) == LINK_LOST) return LINK_LOST;
  }
  return 0;
}

int ftpRemoteRename(const std::string& from, const std::string& to) {
  if (SendFtpCommand(("RNFR " + from + "\r\n").c_str(), KIND_RENAME) == LINK_LOST) return LINK_LOST;
  return SendFtpCommand(("RNTO " + to + "\r\n").c_str(), KIND_RENAME) == LINK_LOST ? LINK_LOST : 0;
}

int ftpRemoteMkdir(const std::string& name) {
  return SendFtpCommand(("MKD " + name + "\r\n").c_str(), KIND_MKDIR) == LINK_LOST ? LINK_LOST : 0;
}

int ftpRefreshRemote(const char* cwd) {
  const bool wasBusy = ftp.busy;
  ftp.busy = true;
  int code = 0;
  if (cwd) code = SendFtpCommand(("CWD " + std::string(cwd) + "\r\n").c_str(), KIND_CD);
  if (code != LINK_LOST) {
    ftp.listingRunning = true;
    code = RunDataCommand("LIST\r\n", KIND_DIR);
    ftp.listingRunning = false;
  }
  ftp.busy = wasBusy;
  return code;
}
