// Decoding one JPEG through the block reader into the 256-colour bitmap.
#pragma once
#include "viewer/block_reader.h"
#include "viewer/viewer_image.h"

enum DecodeResult : int {
  DECODE_DONE = 0,      // a picture was built (possibly partial after a warning)
  DECODE_FAILED = -1,   // the library's or the viewer's message was shown; no picture
  DECODE_CLOSE = -2,    // the window was closed while waiting for data
  DECODE_OPEN = -3,     // Open was chosen while waiting for data
  DECODE_WITHDRAWN = -5,  // the feed was withdrawn before its first block
};

// What a decode may take in all: the bitmap, the quantizer's whole-picture
// buffer and the coefficients of a picture sent in several scans. A file of a
// few bytes can announce 65500 x 65500 pixels; a larger picture is refused
// before decoding.
constexpr uint64_t DECODE_BUDGET_BYTES = uint64_t(256) << 20;

// Decodes from reader into image (freed first). Messages go to the message
// box: the first warning only, errors always.
int decodeJpeg(BlockReader& reader, ViewerImage& image);
