// The screen report that the host tools print: cursor, screen rows, attribute
// bytes, the bytes written to the link and the scrollback depth.
#pragma once
#include <cstdio>
#include <string>

// Bytes outside 0x20..0x7E and the backslash as \xhh (lowercase hex).
std::string escapedBytes(const std::string& bytes);
// Writes the report of the current screen, with replies as the link's bytes.
void printScreenReport(FILE* out, const std::string& replies);
