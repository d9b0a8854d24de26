// uuencode into parts a mail system will carry, and uudecode of such parts
// joined again. Messages go through the message box.
#pragma once

#include "transfer/batch_list.h"

constexpr int UU_LINE_BYTES = 45;      // input bytes per encoded line
constexpr int UU_PART_LINES = 950;     // data lines per part
constexpr int UU_LINE_MAX = 254;       // characters of a line the decoder reads

// Encodes path into base1.uue, base2.uue, ... beside it (base: the path
// without its extension, the file name cut to 7 characters). Returns the
// number of parts written, or negative when a file could not be opened or
// written. Shows nothing: the menu command shows the outcome.
int uuencodeFile(const char* path);
// The menu command: "" (nothing chosen) shows 28, else encodes and shows 26
// (or "File open error" when it failed). Returns the message shown.
int uuencodeCommand(const char* path);

// Decodes the list: the first file holds the "begin" line, the others are
// continuation parts in order. The output goes beside the first file under
// the base name of the "begin" line. 0, or negative after showing the
// failure's message (45, 46, 47).
int uudecodeFiles(const BatchList& files);
// The menu command: 29 for an empty list, else 27 or 30. Returns the message.
int uudecodeCommand(const BatchList& files);
