// The viewer's texts, shown exactly as written.
#pragma once

constexpr const char* VIEWER_TITLE = "JPEG Viewer";
constexpr const char* VIEWER_CLASS = "GlintJPEG";
constexpr const char* FEED_APPLICATION = "GlintJPEG";
constexpr const char* TEXT_PREMATURE_EOF = "Premature EOF in JPEG file";
constexpr const char* TEXT_NO_BITMAP_MEMORY = "Not enough memory for bitmap";
constexpr const char* TEXT_CMYK = "CMYK and YCCK pictures cannot be shown";
constexpr const char* TEXT_ENDS_EARLY = "Not a JPEG file: it ends after %d byte(s)%s";
constexpr const char* TEXT_NO_PALETTE_MEMORY = "Not enough memory for color palette";
constexpr const char* TEXT_OPEN_FAILED = "Failed to open file";
constexpr const char* TEXT_SEEK_FAILED = "Failed to position file";
constexpr const char* TEXT_READ_FAILED = "Failed to read data %d %d";
constexpr const char* TEXT_NOT_JPG = "File is not of JPG extension";
constexpr const char* TEXT_UNKNOWN_TYPE = "Unknown display type";
constexpr const char* TEXT_PROGRESS = "%s %d %% done";
constexpr const char* TEXT_VIEWER_FAILED = "Failed to activate JPEG viewer.";
constexpr const char* TEXT_ABOUT_MEMORY = "%llu bytes total memory";
