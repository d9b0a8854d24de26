#include "viewer/jpeg_decode.h"

#include <csetjmp>
#include <cstdio>

// The library's headers expect FILE and size_t to be declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "shell/message_box.h"
#include "viewer/viewer_output.h"
#include "viewer/viewer_text.h"

namespace {
struct ViewerError {
  jpeg_error_mgr pub;
  jmp_buf escape;
  int result;  // what the long jump carries out
};

struct ViewerSource {
  jpeg_source_mgr pub;
  BlockReader* reader;
  bool started;  // some byte has been read
  int count;     // bytes read, up to 2, and the first of them
  JOCTET first[2];
  JOCTET buffer[READER_BLOCK];
};

[[noreturn]] void escape(j_common_ptr cinfo, int result) {
  auto* err = reinterpret_cast<ViewerError*>(cinfo->err);
  err->result = result;
  longjmp(err->escape, 1);
}

void errorExit(j_common_ptr cinfo) {
  (*cinfo->err->output_message)(cinfo);
  escape(cinfo, DECODE_FAILED);
}

// The library says "Premature end of JPEG file"; the viewer's users know the
// text below, so that one warning is shown in the viewer's words.
void outputMessage(j_common_ptr cinfo) {
  if (cinfo->err->msg_code == JWRN_JPEG_EOF) {
    messageBoxText(TEXT_PREMATURE_EOF, MSG_OK);
    return;
  }
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  messageBoxText(text, MSG_OK);
}

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr cinfo) {
  auto* src = reinterpret_cast<ViewerSource*>(cinfo->src);
  int n = blockRead(*src->reader, src->buffer, READER_BLOCK);
  // Closing the window, opening another file or losing the feed drops this
  // picture at once, without a message.
  if (n == DECODE_CLOSE || n == DECODE_OPEN || n == DECODE_WITHDRAWN) escape(reinterpret_cast<j_common_ptr>(cinfo), n);
  // Nothing at all to read: the reader's failure was shown, or the file is empty.
  if (n < 0 && !src->started) escape(reinterpret_cast<j_common_ptr>(cinfo), DECODE_FAILED);
  if (n == 0 && !src->started) ERREXIT(cinfo, JERR_INPUT_EMPTY);
  src->started = true;
  for (int i = 0; i < n && src->count < 2; ++i) src->first[src->count++] = src->buffer[i];
  if (n <= 0 && src->count < 2) {
    // The end marker put in below would be taken for the file's second byte
    // ("starts with 0xff 0xff"): name what the file holds instead.
    char text[96], bytes[16] = "";
    if (src->count == 1) std::snprintf(bytes, sizeof bytes, ": 0x%02x", src->first[0]);
    std::snprintf(text, sizeof text, TEXT_ENDS_EARLY, src->count, bytes);
    messageBoxText(text, MSG_OK);
    escape(reinterpret_cast<j_common_ptr>(cinfo), DECODE_FAILED);
  }
  if (n <= 0) {
    WARNMS(cinfo, JWRN_JPEG_EOF);
    // An end-of-image marker lets the decoder finish with what it has.
    src->buffer[0] = 0xFF;
    src->buffer[1] = JPEG_EOI;
    n = 2;
  }
  src->pub.next_input_byte = src->buffer;
  src->pub.bytes_in_buffer = static_cast<size_t>(n);
  return TRUE;
}

void skipInput(j_decompress_ptr cinfo, long count) {
  jpeg_source_mgr* src = cinfo->src;
  while (count > 0) {
    if (src->bytes_in_buffer == 0) fillInput(cinfo);
    size_t step = static_cast<size_t>(count) < src->bytes_in_buffer ? static_cast<size_t>(count)
                                                                    : src->bytes_in_buffer;
    src->next_input_byte += step;
    src->bytes_in_buffer -= step;
    count -= static_cast<long>(step);
  }
}

void buildPalette(jpeg_decompress_struct& cinfo, ViewerImage& image) {
  int colours = cinfo.actual_number_of_colors;
  if (colours > 256) colours = 256;
  bool grey = cinfo.out_color_components == 1;
  for (int i = 0; i < colours; ++i)
    for (int c = 0; c < 3; ++c) image.palette[i][c] = cinfo.colormap[grey ? 0 : c][i];
  image.colours = colours;
}

// The memory a decode takes besides the library's small buffers.
uint64_t decodeCost(jpeg_decompress_struct& cinfo) {
  const uint64_t pixels = uint64_t(cinfo.output_width) * cinfo.output_height;
  uint64_t cost = pixels;  // the bitmap
  // Two-pass quantization keeps the whole picture in colour.
  if (cinfo.out_color_components == 3 && cinfo.two_pass_quantize) cost += pixels * 3;
  // Several scans keep every coefficient (two bytes each) until the last one.
  if (jpeg_has_multiple_scans(&cinfo))
    for (int c = 0; c < cinfo.num_components; ++c)
      cost += uint64_t(cinfo.comp_info[c].width_in_blocks) * cinfo.comp_info[c].height_in_blocks * DCTSIZE2 * 2;
  return cost;
}

// Everything that may long-jump lives here, apart from locals that must
// survive the jump.
int runDecode(jpeg_decompress_struct& cinfo, ViewerImage& image) {
  jpeg_read_header(&cinfo, TRUE);
  // The palette would read cyan, magenta and yellow as red, green and blue.
  if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK) {
    messageBoxText(TEXT_CMYK, MSG_OK);
    return DECODE_FAILED;
  }
  if (cinfo.jpeg_color_space == JCS_GRAYSCALE) cinfo.out_color_space = JCS_GRAYSCALE;
  cinfo.quantize_colors = TRUE;
  int wanted = 1 << (cinfo.data_precision < 8 ? cinfo.data_precision : 8);
  cinfo.desired_number_of_colors = wanted;
  jpeg_calc_output_dimensions(&cinfo);
  if (decodeCost(cinfo) > DECODE_BUDGET_BYTES ||
      imageAllocate(image, static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height)) < 0) {
    messageBoxText(TEXT_NO_BITMAP_MEMORY, MSG_OK);
    return DECODE_FAILED;
  }
  viewerOutputStart(image);
  jpeg_start_decompress(&cinfo);
  buildPalette(cinfo, image);
  if (viewerOutputPalette(image) < 0) {
    messageBoxText(TEXT_NO_PALETTE_MEMORY, MSG_OK);
    return DECODE_FAILED;
  }
  // Rows go straight into the bottom-up bitmap, a few at a time.
  constexpr int BATCH = 16;
  JSAMPROW rows[BATCH];
  while (cinfo.output_scanline < cinfo.output_height) {
    int first = static_cast<int>(cinfo.output_scanline);
    int want = image.height - first < BATCH ? image.height - first : BATCH;
    for (int i = 0; i < want; ++i)
      rows[i] = image.bits + static_cast<size_t>(image.height - 1 - first - i) * image.rowBytes;
    int got = static_cast<int>(jpeg_read_scanlines(&cinfo, rows, static_cast<JDIMENSION>(want)));
    if (got <= 0) break;
    image.rowsDone = first + got;
    viewerOutputRows(image, first, got);
  }
  jpeg_finish_decompress(&cinfo);
  return DECODE_DONE;
}
}  // namespace

int decodeJpeg(BlockReader& reader, ViewerImage& image) {
  imageFree(image);
  jpeg_decompress_struct cinfo;
  ViewerError err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = errorExit;
  err.pub.output_message = outputMessage;
  err.pub.trace_level = 0;
  err.result = DECODE_DONE;
  if (setjmp(err.escape)) {
    jpeg_destroy_decompress(&cinfo);
    blockReaderClose(reader);
    imageFree(image);
    return err.result;
  }
  jpeg_create_decompress(&cinfo);
  // The library's own limit stands behind the budget checked in runDecode. A
  // limit of 1,000,000 bytes would need temporary files for the rest, which
  // this library does not offer: it refuses any picture whose whole-picture
  // buffers exceed the limit (an 800 x 600 photo in two-pass quantization).
  cinfo.mem->max_memory_to_use = static_cast<long>(DECODE_BUDGET_BYTES);
  auto* src = static_cast<ViewerSource*>((*cinfo.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                              JPOOL_PERMANENT, sizeof(ViewerSource)));
  src->pub.init_source = initSource;
  src->pub.fill_input_buffer = fillInput;
  src->pub.skip_input_data = skipInput;
  src->pub.resync_to_restart = jpeg_resync_to_restart;
  src->pub.term_source = termSource;
  src->pub.bytes_in_buffer = 0;
  src->pub.next_input_byte = nullptr;
  src->reader = &reader;
  src->started = false;
  src->count = 0;
  cinfo.src = &src->pub;
  int result = runDecode(cinfo, image);
  jpeg_destroy_decompress(&cinfo);
  blockReaderClose(reader);
  if (result != DECODE_DONE) imageFree(image);
  return result;
}
