// Handlers of the VT family interpreter, one per sequence family.
#pragma once
#include <cstdint>

// A dispatched sequence. s is the text after ESC without the final character,
// NUL-padded so that s[0..3] can always be read; p is s after its first byte.
struct Sequence {
  const char* s;
  const char* p;
  int length;  // bytes after ESC, the final character included
  char final;
};

// The final characters of the VT family and SCO-ANSI, one table for the
// collector (which bytes end a sequence) and the dispatcher (what they do).
struct VtFinal {
  void (*handler)(const Sequence& q);  // nullptr: the sequence ends and does nothing
  bool scoOnly;                        // only SCO-ANSI knows it
  bool aloneDiffers;                   // right after ESC it means something else,
                                       // which the collector decides
  bool screenOnly;                     // changes only the screen and the emulator:
                                       // no layer above, no reply on the link
};
// The entry for b, or nullptr when b does not end a sequence in this emulation.
const VtFinal* vtFinal(uint8_t b, bool sco);
// Runs the handler of f (looked up for the last byte of text) on a complete
// sequence, as dispatchSequence does; length is 1..SEQUENCE_MAX.
void runSequence(const VtFinal* f, const uint8_t* text, int length);

// Number given by the leading digits of text (0 when none), saturated.
int leadingNumber(const char* text);
// The first ';' of text, or nullptr.
inline const char* findSemicolon(const char* text) {
  for (; *text; ++text)
    if (*text == ';') return text;
  return nullptr;
}
// n defaults to 1: 1 for an introducer and a final alone, else the parameter.
int countDefaultOne(const Sequence& q);
// The parameter when p is not empty, else 1.
int countOrOne(const Sequence& q);

// Cursor (vt_cursor.cpp)
void cursorUp(const Sequence& q);
void cursorDown(const Sequence& q);
void cursorRight(const Sequence& q);
void cursorLeftOrIndex(const Sequence& q);
void cursorPosition(const Sequence& q);
void indexDown();
void reverseIndex();
void nextLine();
void saveCursorA();
void restoreCursorA();
void saveCursorB();
void restoreCursorB();

// Erasing (vt_erase.cpp)
void eraseInDisplay(const Sequence& q);
void eraseInLine(const Sequence& q);
void eraseCharacters(const Sequence& q);
void characterProtection(const Sequence& q);
// The cursor row from the cursor and every row below it.
void eraseBelowCursor();
// Spaces in the current colours in the shown cells from..to-1 of a row.
void drawSpaces(int row, int from, int to);

// Editing and scrolling (vt_edit.cpp)
void deleteCharacters(const Sequence& q);
void insertCharacters(const Sequence& q);
void insertLinesAtCursor(const Sequence& q);
void deleteLinesOrReverseIndex(const Sequence& q);
void setScrollRegion(const Sequence& q);
void scrollRegionOnWindowUp();
void scrollRegionOnWindowDown();
// Shared with the other emulations: n characters deleted at the cursor (at
// most the used cells from it); n blanks inserted at the cursor within the
// first limit cells of the row; n lines inserted or deleted at the cursor row
// inside the region, window first.
void deleteCharactersAtCursor(int n);
void insertBlanksAtCursor(int n, int limit);
void insertLinesOnWindow(int n);
void deleteLinesOnWindow(int n);

// Modes and rendition (vt_modes.cpp)
void setMode(const Sequence& q, bool on);
void selectGraphicRendition(const Sequence& q);
// One rendition number applied to attribute a (bold and reverse flags kept in
// step); the other emulations' renditions map onto these numbers.
uint8_t applyRendition(uint8_t a, int n);
void mediaCopy(const Sequence& q);

// Reports (vt_reports.cpp)
void deviceStatusReport(const Sequence& q);
void deviceAttributes(const Sequence& q);
void identify();
