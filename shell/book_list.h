// What the book dialogs of every program do with entry files, apart from the
// windows: the rows of the list, and the entry Quick Connect builds. The
// records differ by program; BookView names the fields the dialogs show.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "shell/book_files.h"

struct BookView {
  const BookKind* kind;
  FieldSpec address;  // "Internet Address" column, typed in Quick Connect and Copy
  FieldSpec port;     // "Port" column; 0 shows as an empty text
};

// Longest entry name Quick Connect takes from an address.
constexpr size_t QUICK_NAME_MAX = 60;

struct BookRow {
  std::string name, address, port;
  std::string path;  // the entry's file: actions on the row go to this file
};

// The book as listed: every file of the book's extension whose size is exactly
// the record size, sorted by name without regard to case.
std::vector<BookRow> bookRows(const BookView& view);

// Quick Connect's entry in record: an existing entry named after the address
// (its first 60 characters) keeps its settings, else the template's are used;
// then the name, the address (cut to its field) and, when portText is a
// number from 0 to 65535, the port are set. Blanks around both texts are
// dropped. Returns 0 for a new entry (to be saved), 1 when it was built on an
// existing entry (whose file the user saved: it is not written), or -1 for an
// empty address (record untouched).
int quickConnectEntry(const BookView& view, const uint8_t* templateRecord, const char* address,
                      const char* portText, uint8_t* record);
