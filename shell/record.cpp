#include "shell/record.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {
int64_t lowest(const FieldSpec& f) {
  return f.kind == FIELD_S32 ? INT32_MIN : 0;
}
int64_t highest(const FieldSpec& f) {
  switch (f.kind) {
    case FIELD_U8: return UINT8_MAX;
    case FIELD_U16: return UINT16_MAX;
    case FIELD_S32: return INT32_MAX;
    case FIELD_U32: return UINT32_MAX;
    default: return 0;
  }
}
bool isText(const FieldSpec& f) { return f.kind == FIELD_TEXT || f.kind == FIELD_CHARS; }
size_t textSpace(const FieldSpec& f) { return f.kind == FIELD_TEXT ? f.size - 1u : f.size; }
}  // namespace

bool fieldFits(const FieldSpec& field, int64_t value) {
  return !isText(field) && value >= lowest(field) && value <= highest(field);
}

int64_t recordInt(const uint8_t* record, const FieldSpec& field) {
  if (isText(field)) return 0;
  const uint8_t* p = record + field.offset;
  uint32_t v = 0;
  for (int i = field.size - 1; i >= 0; --i) v = (v << 8) | p[i];
  if (field.kind == FIELD_S32) return static_cast<int32_t>(v);
  return v;
}

int recordSetInt(uint8_t* record, const FieldSpec& field, int64_t value) {
  if (!fieldFits(field, value)) return -1;
  uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < field.size; ++i, v >>= 8) record[field.offset + i] = static_cast<uint8_t>(v);
  return 0;
}

size_t recordText(const uint8_t* record, const FieldSpec& field, char* out, size_t outSize) {
  if (!out || outSize == 0) return 0;
  size_t limit = isText(field) ? textSpace(field) : 0;
  if (limit > outSize - 1) limit = outSize - 1;
  const uint8_t* p = record + field.offset;
  size_t n = 0;
  while (n < limit && p[n] != 0) ++n;
  memcpy(out, p, n);
  out[n] = '\0';
  return n;
}

std::string recordText(const uint8_t* record, const FieldSpec& field) {
  if (!isText(field)) return std::string();
  const uint8_t* p = record + field.offset;
  size_t n = 0;
  while (n < textSpace(field) && p[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(p), n);
}

int recordSetText(uint8_t* record, const FieldSpec& field, const char* text) {
  if (!isText(field)) return -1;
  const char* t = text ? text : "";
  size_t len = strlen(t);
  size_t n = len < textSpace(field) ? len : textSpace(field);
  uint8_t* p = record + field.offset;
  memcpy(p, t, n);
  memset(p + n, 0, field.size - n);
  return n == len ? 0 : -1;
}

std::string fieldToString(const uint8_t* record, const FieldSpec& field) {
  if (isText(field)) return recordText(record, field);
  return std::to_string(recordInt(record, field));
}

int fieldFromString(uint8_t* record, const FieldSpec& field, const char* value) {
  if (!value) return -1;
  if (isText(field)) {
    if (strlen(value) > textSpace(field)) return -1;
    return recordSetText(record, field, value);
  }
  if (*value == '\0') return -1;
  char* end = nullptr;
  errno = 0;
  long long v = strtoll(value, &end, 10);
  if (errno != 0 || *end != '\0') return -1;
  return recordSetInt(record, field, v);
}

int clampedOr(int64_t value, int low, int high, int fallback) {
  return value < low || value > high ? fallback : static_cast<int>(value);
}

int clampedTo(int64_t value, int low, int high) {
  return value < low ? low : value > high ? high : static_cast<int>(value);
}
