// What the FTP window does with a selection, apart from the window itself:
// the walk over the remote selection that downloads file after file, the
// collection of local files for a batch upload, and the remote deletes,
// renames and new folders. Refusals reach the user through ftpHooks.message.
#pragma once
#include <string>
#include <vector>

#include "ftp/listing.h"
#include "ftp/local_view.h"

constexpr const char* FTP_TEXT_NO_DIR_DOWNLOAD = "Downloading of entire directory is not supported";
constexpr const char* FTP_TEXT_NO_DIR_UPLOAD = "Uploading of entire directory is not supported";
constexpr const char* FTP_TEXT_NAME_REFUSED = "This name cannot be stored as a local file: ";
constexpr const char* FTP_TEXT_DELETE_QUESTION = "Are you sure you want to delete these files ?";

// The download walk: the selected view indexes in view order and the next
// one to look at.
struct DownloadWalk {
  std::vector<int> selected;
  size_t next = 0;
};
// Moves on to the next selected file of view and returns its index, or -1
// when the selection is used up. Selected directories and unclassified
// entries each show the directory message once and are passed; a file whose
// name gives no safe local name is refused with a message and passed.
int downloadWalkNext(const ListingState& view, DownloadWalk& walk);
// Starts the download of the next file of the walk: RETR with its name.
// Returns the index started, -1 when none is left, LINK_LOST when the
// connection broke. A file whose command fails is passed and the next tried.
int ftpDownloadNext(const ListingState& view, DownloadWalk& walk, int* result);

// The full paths of the selected local files of items (dir is their
// directory); a selected directory or drive shows the upload message and is
// left out. Paths keep their whole length.
std::vector<std::string> uploadCollect(const std::string& dir, const std::vector<LocalItem>& items,
                                       const std::vector<int>& selected);
// Starts a batch upload of paths: batch mode, busy, the TYPE of the binary
// flag, then the transfer dialog (or, without one, the whole batch at once).
// 0, -1 when there is nothing to send, LINK_LOST.
int ftpUploadBatch(const std::vector<std::string>& paths);

// The remote delete of the selected items: RMD for the directory group, DELE
// for the rest, in view order; stops when the connection breaks. 0 or
// LINK_LOST.
int ftpRemoteDelete(const ListingState& view, const std::vector<int>& selected);
// RNFR from, then RNTO to unless the connection broke. 0 or LINK_LOST.
int ftpRemoteRename(const std::string& from, const std::string& to);
// MKD name. 0 or LINK_LOST.
int ftpRemoteMkdir(const std::string& name);
// The remote view listed again: with cwd, CWD to it first (a lost connection
// ends there), then LIST. The busy flag is set meanwhile. The LIST's code,
// -1 or LINK_LOST.
int ftpRefreshRemote(const char* cwd);
