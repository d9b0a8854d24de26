// Local files over Win32 handles.
#include <windows.h>

#include "ftp/local_file.h"

static HANDLE handle(LocalFile f) { return reinterpret_cast<HANDLE>(f); }

static LocalFile opened(HANDLE h) { return h == INVALID_HANDLE_VALUE ? LOCAL_NO_FILE : reinterpret_cast<LocalFile>(h); }

LocalFile localOpenWrite(const char* path, bool truncate) {
  // Readers may open the file while it grows.
  return opened(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            truncate ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

LocalFile localOpenRead(const char* path) {
  return opened(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

static bool seek(LocalFile file, int64_t offset) {
  LARGE_INTEGER at;
  at.QuadPart = offset;
  return SetFilePointerEx(handle(file), at, nullptr, FILE_BEGIN) != 0;
}

int localWriteAt(LocalFile file, int64_t offset, const uint8_t* bytes, int length) {
  DWORD written = 0;
  if (!seek(file, offset) || !WriteFile(handle(file), bytes, static_cast<DWORD>(length), &written, nullptr) ||
      written != static_cast<DWORD>(length))
    return -1;
  return 0;
}

int localReadAt(LocalFile file, int64_t offset, uint8_t* buffer, int size) {
  DWORD got = 0;
  if (!seek(file, offset) || !ReadFile(handle(file), buffer, static_cast<DWORD>(size), &got, nullptr)) return -1;
  return static_cast<int>(got);
}

void localClose(LocalFile file) {
  if (file != LOCAL_NO_FILE) CloseHandle(handle(file));
}

int64_t localFileSize(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int localChangeDir(const char* path) { return SetCurrentDirectoryA(path) ? 0 : -1; }

int localCurrentDir(char* buffer, int size) {
  DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(size), buffer);
  return n > 0 && n < static_cast<DWORD>(size) ? 0 : -1;
}

char localSeparator() { return '\\'; }
