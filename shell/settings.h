// Program-wide settings: string values under the suite's one key, numbers as
// decimal text. Value names are compared without regard to case.
#pragma once
#include <cstddef>

// Copies the value, or dflt when absent, into buffer (always NUL-terminated,
// truncated to size - 1). Returns the length copied.
int regReadString(const char* name, const char* dflt, char* buffer, size_t size);
// The value as a decimal number; dflt when absent, 0 when it is not a number.
int regReadInt(const char* name, int dflt);
// Stores text (created when absent). Failures are ignored; returns 0 or negative.
int regWriteString(const char* name, const char* text);

// The leading decimal number of a stored text (0 when there is none), held
// within the range of int.
int settingsDecimal(const char* text);

// The registry key of the suite under HKEY_LOCAL_MACHINE.
constexpr const char* SETTINGS_KEY = "SOFTWARE\\Kelvro32";
