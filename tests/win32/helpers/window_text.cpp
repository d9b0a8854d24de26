// window_text TITLE ID: prints the text of control ID in the top-level window
// titled TITLE (of any process of the same Wine server), for the end-to-end
// tests that check what a dialog shows. Exit 1 when there is no such window.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: window_text TITLE ID\n");
    return 2;
  }
  HWND window = FindWindowA(nullptr, argv[1]);
  if (!window) return 1;
  char text[512] = {};
  GetDlgItemTextA(window, std::atoi(argv[2]), text, sizeof text);
  std::printf("%s\n", text);
  return 0;
}
