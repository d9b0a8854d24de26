// The Utilities menu's line-end conversions: Unix text to DOS (".dos") and
// DOS text to Unix (".unx"), written beside the input.
#pragma once
#include <cstddef>

#include "transfer/batch_list.h"

enum TextUtilityMessage {
  MSG_ENCODING_COMPLETE = 26,
  MSG_DECODING_COMPLETE = 27,
  MSG_ENCODING_CANCELLED = 28,
  MSG_DECODING_CANCELLED = 29,
  MSG_DECODING_ERROR = 30,
  MSG_WRONG_TYPE = 31,
  MSG_NAME_NOT_FOUND = 45,
  MSG_BEGIN_NOT_FOUND = 46,
  MSG_ILLEGAL_LINE = 47,
  MSG_CONVERSION_COMPLETE = 99,
  MSG_CONVERSION_CANCELLED = 101,
  MSG_TRANSLATION_ERROR = 104,
};

// path with the extension of its file name replaced by ext (".dos"), or added
// when it has none. false when the result does not fit.
bool pathWithExtension(const char* path, const char* ext, char* out, size_t outSize);

// Converts one file; 0, or negative after the message of its failure (31).
int unixToDos(const char* path);
int dosToUnix(const char* path);
// The menu command over a batch list: each file in turn, stopping at the
// first failure. Shows 99, 104, or 101 for an empty list; returns the message.
int convertBatch(const BatchList& files, bool toDos);
