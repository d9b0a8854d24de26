// Fixed-size binary records (entry files, modem profiles): byte arrays with
// fields at fixed offsets, integers little-endian, texts NUL-terminated inside
// their space. The layout never depends on the compiler.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

enum FieldKind : uint8_t {
  FIELD_TEXT,   // NUL-terminated text of at most size - 1 characters
  FIELD_CHARS,  // up to size characters, NUL-padded, no terminator needed
  FIELD_U8,
  FIELD_U16,
  FIELD_S32,
  FIELD_U32,
};

struct FieldSpec {
  const char* name;
  uint16_t offset;
  uint16_t size;
  FieldKind kind;
};

// Integer fields. A value that does not fit the field is refused (-1) and the
// record is left as it was.
int64_t recordInt(const uint8_t* record, const FieldSpec& field);
int recordSetInt(uint8_t* record, const FieldSpec& field, int64_t value);
bool fieldFits(const FieldSpec& field, int64_t value);

// Text fields: the read stops at the first NUL or at the end of the field's
// space (FIELD_TEXT keeps one byte for the terminator), whatever the record
// holds; out is always terminated. Returns the length.
size_t recordText(const uint8_t* record, const FieldSpec& field, char* out, size_t outSize);
std::string recordText(const uint8_t* record, const FieldSpec& field);
// Writes text terminated and zero-filled to the end of the field; a text that
// is too long is cut to fit and the result is -1.
int recordSetText(uint8_t* record, const FieldSpec& field, const char* text);

// A field's value as text (numbers in decimal), and set from text; the latter
// refuses (-1, record unchanged) a number that does not parse or fit and a
// text that is too long.
std::string fieldToString(const uint8_t* record, const FieldSpec& field);
int fieldFromString(uint8_t* record, const FieldSpec& field, const char* value);

// Lists of fields: X(name, offset, size, kind) lines. DECLARE_FIELD makes a
// named constant, LIST_FIELD a table row; the compile-time check keeps every
// field inside its record.
#define DECLARE_FIELD(recordSize, n, o, s, k)                                         \
  constexpr FieldSpec n{#n, o, s, FIELD_##k};                                          \
  static_assert((o) + (s) <= (recordSize), "field " #n " lies outside its record");
#define LIST_FIELD(recordSize, n, o, s, k) FieldSpec{#n, o, s, FIELD_##k},

// The LOGFONT of a record at offset o: five 32-bit values, eight bytes, the
// 32-byte face name.
#define FONT_FIELDS(X, o)                      \
  X(fontHeight, (o), 4, S32)                   \
  X(fontWidth, (o) + 4, 4, S32)                \
  X(fontEscapement, (o) + 8, 4, S32)           \
  X(fontOrientation, (o) + 12, 4, S32)         \
  X(fontWeight, (o) + 16, 4, S32)              \
  X(fontItalic, (o) + 20, 1, U8)               \
  X(fontUnderline, (o) + 21, 1, U8)            \
  X(fontStrikeOut, (o) + 22, 1, U8)            \
  X(fontCharSet, (o) + 23, 1, U8)              \
  X(fontOutPrecision, (o) + 24, 1, U8)         \
  X(fontClipPrecision, (o) + 25, 1, U8)        \
  X(fontQuality, (o) + 26, 1, U8)              \
  X(fontPitchAndFamily, (o) + 27, 1, U8)       \
  X(fontFace, (o) + 28, 32, TEXT)

// Height of a 9-point font at the usual 96 dots per inch, as the LOGFONT
// stores a character height (negative).
constexpr int FONT_HEIGHT_9PT = -12;

// Value of a field clamped where it is used: outside [low, high] gives
// fallback. The record itself is never changed.
int clampedOr(int64_t value, int low, int high, int fallback);
int clampedTo(int64_t value, int low, int high);
