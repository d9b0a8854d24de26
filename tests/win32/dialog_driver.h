// Drives modal windows of the thread under test from a second thread, as a
// user would: find a window by title, read its text, press its buttons.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// Waits up to ms for a top-level window of the process with this title.
HWND waitForWindow(const char* title, DWORD ms);
// The text of a message box (its static text control).
std::string messageBoxText(HWND box);

// Closes every "Message" box that appears with OK while it lives, recording
// their texts.
struct MessageBoxCloser {
  MessageBoxCloser();
  ~MessageBoxCloser();
  std::vector<std::string> texts();
  std::atomic<bool> stop{false};
  std::vector<std::string> seen;
  CRITICAL_SECTION lock;
  std::thread worker;
};
