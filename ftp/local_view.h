// The local half of the FTP window: a directory's entries in three groups
// (its directories with ".." but without ".", its files, then the drive roots
// that can be chosen) and the texts of their size and date columns.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum LocalKind { LOCAL_DIRECTORY = 0, LOCAL_FILE = 1, LOCAL_DRIVE = 2 };

struct LocalItem {
  std::string name;  // "A:\" form for a drive
  int kind = LOCAL_FILE;
  uint64_t size = 0;
  int64_t modified = 0;  // seconds since 1970, UTC, as the file system keeps it
};

// Orders entries as the view shows them: directories, files, then a drive
// root for bit 0 ("A:\", always) and every further bit of driveMask (B to Z),
// each group in the order given. "." is dropped.
std::vector<LocalItem> localViewBuild(const std::vector<LocalItem>& entries, uint32_t driveMask);
// "Jan 05 1999 13:14:15" (month, day, year, time in UTC).
std::string localDateText(int64_t modified);
// The size column: the whole size in bytes, for files only.
std::string localSizeText(const LocalItem& item);
// The directory's path joined with a name, with one separator between.
std::string localJoin(const std::string& dir, const std::string& name);
// The parent of a directory path ("C:\a\b" -> "C:\a", "C:\a" -> "C:\"); the
// root stays itself.
std::string localParent(const std::string& dir);

// The platform's part: the entries of a directory (0, or -1 when it cannot
// be read) and the mask of drives that can be chosen (bit 0 = A).
int localListDir(const std::string& dir, std::vector<LocalItem>* out);
uint32_t localDriveMask();
