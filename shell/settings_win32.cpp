// Settings store over the suite's registry key under HKEY_LOCAL_MACHINE.
#include <windows.h>

#include <cstring>
#include <vector>

#include "shell/settings.h"

// Reads a value into buffer, bounded by size and by the 1024 bytes a value may
// give, and always terminated (a stored value need not carry its NUL).
// Returns the length, or -1 when absent.
static int readValue(const char* name, char* buffer, size_t size) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
  DWORD type = 0;
  DWORD length = 0;
  LONG r = RegQueryValueExA(key, name, nullptr, &type, nullptr, &length);
  std::vector<char> data(length + 1, '\0');
  if (r == ERROR_SUCCESS && type == REG_SZ)
    r = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &length);
  RegCloseKey(key);
  if (r != ERROR_SUCCESS || type != REG_SZ) return -1;
  size_t limit = size - 1 < 1024 ? size - 1 : 1024;
  size_t n = strnlen(data.data(), length < limit ? length : limit);
  memcpy(buffer, data.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

int regReadString(const char* name, const char* dflt, char* buffer, size_t size) {
  if (!buffer || size == 0) return 0;
  int n = readValue(name, buffer, size);
  if (n >= 0) return n;
  const char* text = dflt ? dflt : "";
  size_t len = strnlen(text, size - 1);
  memcpy(buffer, text, len);
  buffer[len] = '\0';
  return static_cast<int>(len);
}

int regReadInt(const char* name, int dflt) {
  char text[64];
  if (readValue(name, text, sizeof text) < 0) return dflt;
  return settingsDecimal(text);
}

int regWriteString(const char* name, const char* text) {
  HKEY key;
  DWORD disposition;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SETTINGS_KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      &disposition) != ERROR_SUCCESS)
    return -1;
  const char* value = text ? text : "";
  LONG r = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          static_cast<DWORD>(strlen(value)));
  RegCloseKey(key);
  return r == ERROR_SUCCESS ? 0 : -1;
}
