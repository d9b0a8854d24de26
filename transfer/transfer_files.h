// Files of a transfer. The file being sent or received stays open from its
// first block to its end (one open per file, not per block); what is written
// goes to the file at once, unbuffered, so a viewer reading the growing file
// or a recovery after a break sees every block taken.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "transfer/transfer_settings.h"

#ifdef _WIN32
constexpr char PATH_SEPARATOR = '\\';
#else
constexpr char PATH_SEPARATOR = '/';
#endif

// The part of path after its last ":", "\" or "/".
const char* baseName(const char* path);
// The local path of a file name received from the remote side: only the part
// after the last "/", "\" or ":" is kept, put through receivedNameRule and
// joined to dir (the bare name when dir is empty). Refuses (-4, "file open
// error") what the rule refuses and a result that does not fit outSize.
// Returns 0.
int receivedFilePath(const char* dir, const char* name, char* out, size_t outSize);

// Creates path empty (truncating an existing file): 0 or -4.
int fileCreate(const char* path);
// The open file of a transfer. Zeroed it is closed; the calls below open it
// on first use and again when the path or the kind of access changes, and
// close it when an access fails. Whoever ends a file closes it (fileClose)
// before the file is renamed, backed up, created anew or handed on.
struct TransferFile {
  std::FILE* stream;  // nullptr while closed
  char* buffer;       // the read-ahead of a file being read, nullptr when none
  int access;         // how stream is open
  uint32_t position;  // where the next read or positioned write starts
  char path[TRANSFER_PATH_MAX];
};

// Appends length bytes to path: 0, -4 when the file cannot be opened, -5 when
// the write fails.
int fileAppend(TransferFile& f, const char* path, const uint8_t* data, int length);
// Writes length bytes at offset (the file is created when missing): 0, -4, -5.
int fileWriteAt(TransferFile& f, const char* path, uint32_t offset, const uint8_t* data, int length);
// Reads up to length bytes from offset: the count (0 at the end), -4 when the
// file cannot be opened, -9 when the read fails.
int fileReadAt(TransferFile& f, const char* path, uint32_t offset, uint8_t* data, int length);
// Closes f when open: 0, or -5 when a written file fails to close.
int fileClose(TransferFile& f);
// The size of path, or -1 when it cannot be opened.
int64_t fileSizeOf(const char* path);
bool fileExists(const char* path);
// Cuts path to length bytes: 0 or -5.
int fileTruncate(const char* path, uint32_t length);

// When path exists, renames it to its name up to the first "." plus ".bak" in
// the same directory, replacing an older backup. 0 when there was nothing to
// do or the rename worked; -4 when the old file could not be moved aside (the
// caller must then leave it alone).
int backupExisting(const char* path);
