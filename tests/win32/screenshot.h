// Saves the whole display (the Xvfb screen under Wine) as a BMP file under
// build/screenshots/; the test runner turns them into PNG files.
#pragma once
#include <string>

// Returns the path written, or "" on failure.
std::string saveScreenshot(const std::string& name);
