// The file rules shared by every book: one entry per file in the program
// directory, named after the entry's name field plus the book's extension,
// holding exactly one record. The size is the only check.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/record.h"

struct BookKind {
  const char* extension;         // matched without regard to case, ".tel"
  const char* writtenExtension;  // used when a file is created, ".TEL"
  size_t recordSize;
  FieldSpec nameField;
};

// Whether name can be the stem of a file name on every platform the suite
// runs on: not empty, none of <>:"/\|?* or control characters, no trailing
// blank or dot, not a device name such as CON or COM1.
bool isValidEntryName(const char* name);

// The file of entry name: an existing file whose name matches without regard
// to case, else a new name with the written extension. "" for an invalid name.
std::string entryFilePath(const BookKind& kind, const char* name);

// Reads up to size bytes of a file into record; a shorter file leaves the rest
// of the record as it was. Returns the bytes read, -1 when it cannot be opened.
int recordFileRead(const std::string& path, uint8_t* record, size_t size);
// Writes the record through a temporary file renamed over path, so a failed
// write leaves the old file whole. The temporary file is created exclusively
// under an unpredictable name and given the old file's permissions; a path
// that is a symbolic link has its target replaced, the link stays. Returns
// 0, or -1.
int recordFileWrite(const std::string& path, const uint8_t* record, size_t size);

// Reads the file of entry name (see recordFileRead).
int entryFileRead(const BookKind& kind, const char* name, uint8_t* record);
// Writes the record to the file named by its own name field, always in the
// program directory. Returns 0, or -1 (invalid name, cannot create or write).
int entryFileWrite(const BookKind& kind, const uint8_t* record);
// As entryFileWrite; a failure beeps and shows message messageId titled
// "Error" with the information icon. The record in memory is untouched.
int entrySave(const BookKind& kind, const uint8_t* record, int messageId);
// Deletes the file of entry name. Returns 0, or -1.
int entryFileDelete(const BookKind& kind, const char* name);

// Every file of the book in the order the directory search returns them,
// whose size is exactly the record size, with its record.
struct ListedEntry {
  std::string path;
  std::vector<uint8_t> record;
};
std::vector<ListedEntry> entryList(const BookKind& kind);

// The names of a book whose files are not checked by size: for every file of
// the book's extension (any case), the name field of its first recordSize
// bytes, read into a zeroed record so a short file names only what it holds,
// and cut at the field's end when unterminated. Files naming nothing are left
// out; a file that cannot be opened ends the listing there (*stopped set).
std::vector<std::string> entryNames(const BookKind& kind, bool* stopped);

// Reads the template file fileName of the program directory into record; when
// it is missing or of the wrong size it is written anew from defaults, which
// record then holds. One of the right size that cannot be read is left alone
// with a warning, and record holds the defaults. Returns 0 when read, 1 when
// written anew, 2 when unreadable and kept, -1 when it could not be written
// (record still holds the defaults).
int entryLoadTemplate(const BookKind& kind, const char* fileName, const uint8_t* defaults,
                      uint8_t* record);

// The title of the message shown when an entry cannot be saved.
constexpr const char* SAVE_ERROR_TITLE = "Error";
// The title of the warning about a template that cannot be read.
constexpr const char* TEMPLATE_WARNING_TITLE = "Warning";
