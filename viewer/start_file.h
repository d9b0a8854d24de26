// The file a viewer command line names (Explorer's "Open with" passes the
// path, quoted): "1" is real-time mode and "0" or nothing the empty window.
#pragma once
#include <string>

// The path without its quotes and surrounding blanks, or "" when the command
// line names no file.
std::string viewerStartFile(const char* commandLine);
