// Local files of the FTP client: received files are written at an offset and
// sent files read from one, with 64-bit offsets, through a handle kept open
// for one file. Each write goes straight to the file, so another program (the
// image viewer) sees every block as soon as it is written.
#pragma once
#include <cstdint>

using LocalFile = intptr_t;
constexpr LocalFile LOCAL_NO_FILE = -1;

// truncate: start the file empty; else keep what is there.
LocalFile localOpenWrite(const char* path, bool truncate);
LocalFile localOpenRead(const char* path);
// 0 when all bytes are written, -1 on failure (a full disk).
int localWriteAt(LocalFile file, int64_t offset, const uint8_t* bytes, int length);
// Bytes read (0 at the end), -1 on failure.
int localReadAt(LocalFile file, int64_t offset, uint8_t* buffer, int size);
void localClose(LocalFile file);
// Size of a file, -1 when there is none.
int64_t localFileSize(const char* path);
// The process's current directory: 0 or -1.
int localChangeDir(const char* path);
int localCurrentDir(char* buffer, int size);
// The separator the platform joins a directory and a file name with.
char localSeparator();
