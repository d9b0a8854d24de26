// The decode path against the same library's own tools: jpegdecode's
// 256-colour picture equals djpeg -colors 256 for every kind of JPEG that
// cjpeg makes, read whole or fed as a growing file; damaged files give one
// message and, where the data allows, a partial picture.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
// The library's header expects FILE and size_t declared first.
#include <jpeglib.h>

#include "shell/message_box_posix.h"
#include "tests/support/tool_runner.h"
#include "tests/viewer/viewer_files.h"
#include "viewer/feed_receive.h"
#include "viewer/host_posix.h"
#include "viewer/jpeg_decode.h"

namespace {
struct Decoded {
  int result;
  ViewerImage image;
  std::vector<std::string> messages;
};

// Decodes a file as Open does: the whole file is there.
Decoded decodeFile(const std::string& path) {
  messagesClear();
  viewerWaitScript(nullptr);
  feedReceiverReset(viewerFeed, 2);
  BlockReader reader;
  blockReaderReset(reader, path);
  Decoded d{};
  d.result = decodeJpeg(reader, d.image);
  for (const ShownMessage& m : messagesShown()) d.messages.push_back(m.text);
  return d;
}

// A 16 x 16 four-colour picture as the library writes it (cjpeg makes none).
std::vector<uint8_t> fourColourJpeg(J_COLOR_SPACE stored) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = c.image_height = 16;
  c.input_components = 4;
  c.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_colorspace(&c, stored);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(64, 0x80);
  while (c.next_scanline < 16) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<uint8_t> bytes(out, out + size);
  free(out);
  return bytes;
}

// A small picture whose frame header (SOF0 or SOF2) announces w x h.
std::vector<uint8_t> announcing(const std::string& jpg, int w, int h) {
  std::vector<uint8_t> bytes = readBytes(jpg);
  for (size_t i = 0; i + 8 < bytes.size(); ++i)
    if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
      bytes[i + 5] = static_cast<uint8_t>(h >> 8);
      bytes[i + 6] = static_cast<uint8_t>(h);
      bytes[i + 7] = static_cast<uint8_t>(w >> 8);
      bytes[i + 8] = static_cast<uint8_t>(w);
      break;
    }
  return bytes;
}
}  // namespace

TEST(ViewerDecode, MatchesDjpegForEveryKindOfJpegWholeAndFed) {
  struct Case {
    const char* name;
    int w, h;
    const char* options;
    const char* feed;  // jpegdecode's --feed argument, or "" for the whole file
  } cases[] = {
      {"baseline", 333, 201, "-quality 85", ""},
      {"progressive", 320, 240, "-progressive", "1024"},
      {"grey", 250, 190, "-grayscale", "700"},
      {"restart", 300, 170, "-restart 1", "1024"},
      {"subsampled", 161, 97, "-sample 2x2 -quality 40", "3000"},
      // Its coefficients and whole picture exceed 1,000,000 bytes: a library
      // limit that small refuses it ("Backing store not supported").
      {"large progressive", 1100, 900, "-progressive", "8192"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string jpg = makeJpeg(c.name, c.w, c.h, c.options);
    ASSERT_FALSE(jpg.empty());
    PaletteBmp ref = djpegReference(jpg);
    ASSERT_EQ(ref.w, c.w);
    std::string out = jpg + ".ours.bmp", stdout_, stderr_;
    std::string args = "'" + jpg + "' '" + out + "'" + (*c.feed ? std::string(" --feed ") + c.feed : "");
    EXPECT_EQ(runTool("jpegdecode", args, &stdout_, &stderr_), 0) << stderr_;
    PaletteBmp ours = readPaletteBmp(out);
    EXPECT_EQ(ours.w, c.w);
    EXPECT_EQ(ours.h, c.h);
    EXPECT_TRUE(ours.rgb == ref.rgb) << "pixels differ from djpeg's";
  }
}

TEST(ViewerDecode, TruncatedFilesWarnOnceAndKeepWhatArrived) {
  std::string jpg = makeJpeg("whole", 160, 120, "-quality 90");
  std::vector<uint8_t> data = readBytes(jpg);
  size_t scan = 0;  // where the first scan's data starts
  for (size_t i = 0; i + 1 < data.size(); ++i)
    if (data[i] == 0xFF && data[i + 1] == 0xDA) scan = i;
  ASSERT_GT(scan, 0u);
  std::string cut = viewerTestDir() + "cut.jpg";
  int pictures = 0;
  std::vector<size_t> offsets = {1024, 2048, 3072};  // a short block of nothing at the end
  for (size_t at = 0; at < data.size() - 2; at += 97) offsets.push_back(at);
  for (size_t at : offsets) {
    SCOPED_TRACE(at);
    writeBytes(cut, std::vector<uint8_t>(data.begin(), data.begin() + static_cast<long>(at)));
    Decoded d = decodeFile(cut);
    ASSERT_FALSE(d.messages.empty());
    if (at > scan + 20) {
      ASSERT_EQ(d.messages.size(), 1u) << "the warning comes once";
      EXPECT_EQ(d.result, DECODE_DONE);
      EXPECT_EQ(d.messages[0], "Premature EOF in JPEG file");
      EXPECT_EQ(d.image.rowsDone, 120) << "the picture is completed with what arrived";
      ++pictures;
    } else if (d.result != DECODE_DONE) {
      EXPECT_EQ(d.image.bits, nullptr) << "a failed decode leaves no picture";
      EXPECT_LE(d.messages.size(), 2u) << "the first warning and the error at most";
    }
    imageFree(d.image);
  }
  EXPECT_GT(pictures, 5);
}

TEST(ViewerDecode, BadFilesGiveTheirMessageAndNoPicture) {
  std::string small = makeJpeg("small", 40, 30, "");
  std::vector<uint8_t> huge = readBytes(small);
  for (size_t i = 0; i + 8 < huge.size(); ++i)
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      // Frame header: height and width 65500, whose bitmap overflows 32 bits.
      huge[i + 5] = huge[i + 7] = 0xFF;
      huge[i + 6] = huge[i + 8] = 0xDC;
      break;
    }
  const std::string progressive = makeJpeg("small-progressive", 40, 30, "-progressive");
  const std::string baseline = makeJpeg("small-baseline", 40, 30, "");
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* message;  // the start of the one message shown
  } cases[] = {
      {"empty", {}, "Empty input file"},
      {"text", {'P', '6', ' ', '1', ' ', '1', '\n'}, "Not a JPEG file"},
      {"huge", huge, "Not enough memory for bitmap"},
      // Within the bitmap's limit, but not with the buffers the decode needs.
      {"progressive 8000 x 8000", announcing(progressive, 8000, 8000), "Not enough memory for bitmap"},
      {"baseline 9000 x 9000", announcing(baseline, 9000, 9000), "Not enough memory for bitmap"},
      {"one byte", {0xFF}, "Not a JPEG file: it ends after 1 byte(s): 0xff"},
      {"CMYK", fourColourJpeg(JCS_CMYK), "CMYK and YCCK pictures cannot be shown"},
      {"YCCK", fourColourJpeg(JCS_YCCK), "CMYK and YCCK pictures cannot be shown"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = viewerTestDir() + c.name + ".jpg";
    writeBytes(path, c.bytes);
    Decoded d = decodeFile(path);
    EXPECT_EQ(d.result, DECODE_FAILED);
    EXPECT_EQ(d.image.bits, nullptr);
    ASSERT_EQ(d.messages.size(), 1u);
    EXPECT_EQ(d.messages[0].rfind(c.message, 0), 0u) << d.messages[0];
  }
  Decoded missing = decodeFile(viewerTestDir() + "absent.jpg");
  EXPECT_EQ(missing.messages.front(), "Failed to open file");
  std::string out, err;
  EXPECT_EQ(runTool("jpegdecode", "'" + viewerTestDir() + "huge.jpg' '" + viewerTestDir() + "huge.bmp'", &out, &err), 1);
  EXPECT_EQ(err, "Not enough memory for bitmap\n");
}
