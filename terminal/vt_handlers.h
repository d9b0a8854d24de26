// Handlers of the VT family interpreter, one per sequence family.
#pragma once

// A dispatched sequence. s is the text after ESC without the final character,
// NUL-padded so that s[0..3] can always be read; p is s after its first byte.
struct Sequence {
  const char* s;
  const char* p;
  int length;  // bytes after ESC, the final character included
  char final;
};

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

// Editing and scrolling (vt_edit.cpp)
void deleteCharacters(const Sequence& q);
void insertCharacters(const Sequence& q);
void insertLinesAtCursor(const Sequence& q);
void deleteLinesOrReverseIndex(const Sequence& q);
void setScrollRegion(const Sequence& q);
void scrollRegionOnWindowUp();
void scrollRegionOnWindowDown();

// Modes and rendition (vt_modes.cpp)
void setMode(const Sequence& q, bool on);
void selectGraphicRendition(const Sequence& q);
void mediaCopy(const Sequence& q);

// Reports (vt_reports.cpp)
void deviceStatusReport(const Sequence& q);
void deviceAttributes(const Sequence& q);
void identify();
