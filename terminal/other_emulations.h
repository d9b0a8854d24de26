// Pieces shared by the VT52, Wyse 50 and IBM 3151 emulations: direct cursor
// addressing, the interpreters, and the one-cell moves and erasures that the
// VT52 defines and the IBM 3151 reuses.
#pragma once
#include <cstdint>

// Direct cursor addressing: ESC Y or ESC = arms it, and the next two bytes
// that reach a collector are the row and column, each a code minus 32.
void armAddressMode();
// Takes b as an address byte while address mode is armed; at the second one
// the cursor moves and the sequence ends. Returns whether b was taken.
bool takeAddressByte(uint8_t b);

// Ends the sequence, then hands its text after ESC to an interpreter. The
// state is cleared first: a reply may let a nested receive pass start a
// sequence of its own.
void finishAndInterpret(void (*interpret)(const uint8_t* text, int length));

// Interpreters: text is what follows ESC, length counts up to the final byte.
void dispatchVt52(const uint8_t* text, int length);
void dispatchIbm(const uint8_t* text, int length);

// Cursor moves of one cell or row; the caret follows.
void cursorUpOne();
void cursorDownOne();    // stops at the region bottom
void cursorRightOne();   // wraps with autowrap, else stops at the line's last cell
void cursorLeftOne();
void cursorHome();
void reverseLineFeed();  // on row 0 the region scrolls down
// Erase to end of line with the cleared cells drawn in the current colours.
void eraseLineDrawn();
// Erase from the cursor to the end of the screen; at home the screen first
// moves into the scrollback by the given number of lines.
void eraseScreenFromCursor(int homeLines);
// Deletes the character at the cursor when a used cell follows it.
void deleteCharacterIfFollowed();
// A rendition number of the VT family applied to the current attribute; no
// cell is touched.
void setRendition(int n);
