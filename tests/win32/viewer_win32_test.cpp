// The viewer as its own process: a picture opened from its menu, and pictures
// fed by this test process over the real window messages while the file grows.
// Pictures are made by the cross-built cjpeg.exe and compared on the screen
// with djpeg.exe's 256-colour output of the same file and library.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "screenshot.h"
#include "shell/program_dir.h"
#include "shell/pump.h"
#include "viewer/feed_send.h"
#include "viewer/feed_win32.h"
#include "win32_driver.h"

namespace {
std::string exeDir() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string p = path;
  return p.substr(0, p.find_last_of('\\'));
}

std::string workDir() {
  std::string d = tempPath("viewer test");  // a blank, as user folders have
  CreateDirectoryA(d.c_str(), nullptr);
  return d + "\\";
}

bool runAndWait(const std::string& commandLine) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  bool done = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return done && code == 0;
}

std::string jpegTool(const char* name) { return "\"" + exeDir() + "\\..\\..\\libjpeg-i686\\bin\\" + name + "\""; }

// A picture with gradients and edges, written as PPM and compressed by cjpeg;
// noise makes it photo-sized. Returns the JPEG's path.
std::string makeJpeg(const std::string& name, int w, int h, const std::string& options, bool noisy = false) {
  std::string ppm = workDir() + name + ".ppm", jpg = workDir() + name + ".jpg";
  FILE* f = fopen(ppm.c_str(), "wb");
  fprintf(f, "P6 %d %d 255\n", w, h);
  unsigned seed = 1;
  std::vector<unsigned char> row(static_cast<size_t>(w) * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      seed = seed * 1103515245u + 12345u;
      int n = noisy ? static_cast<int>((seed >> 16) % 24) : 0;
      bool disc = (x - w / 2) * (x - w / 2) + (y - h / 2) * (y - h / 2) < h * h / 9;
      unsigned char px[3] = {static_cast<unsigned char>(std::min(255, x * 255 / w + n)),
                             static_cast<unsigned char>(std::min(255, y * 255 / h + n)),
                             static_cast<unsigned char>((disc ? 230 : (x ^ y) & 0x3F) + n / 2)};
      std::copy(px, px + 3, row.begin() + x * 3);
    }
    fwrite(row.data(), 1, row.size(), f);
  }
  fclose(f);
  EXPECT_TRUE(runAndWait(jpegTool("cjpeg.exe") + " " + options + " -outfile \"" + jpg + "\" \"" + ppm + "\""));
  return jpg;
}

// djpeg's 256-colour picture as RGB per pixel, rows from the top.
struct Picture {
  int w = 0, h = 0;
  std::vector<COLORREF> rgb;
  COLORREF at(int x, int y) const { return rgb[static_cast<size_t>(y) * w + x]; }
};

Picture reference(const std::string& jpg) {
  std::string ppm = jpg + ".ref.ppm";
  EXPECT_TRUE(runAndWait(jpegTool("djpeg.exe") + " -colors 256 -pnm -outfile \"" + ppm + "\" \"" + jpg + "\""));
  std::string d = readFile(ppm);
  Picture p;
  int header = 0;  // "P6", width, height and 255, each followed by one blank
  sscanf(d.c_str(), "P6 %d %d 255%n", &p.w, &p.h, &header);
  if (header == 0 || d.size() != header + 1 + 3 * static_cast<size_t>(p.w) * p.h) {
    ADD_FAILURE() << "djpeg wrote no picture to " << ppm;
    return Picture{};
  }
  for (size_t i = header + 1; i + 2 < d.size(); i += 3)
    p.rgb.push_back(RGB(static_cast<uint8_t>(d[i]), static_cast<uint8_t>(d[i + 1]), static_cast<uint8_t>(d[i + 2])));
  return p;
}

HWND findViewer(HWND other, DWORD ms) {
  DWORD start = GetTickCount();
  do {
    for (HWND w = FindWindowA("GlintJPEG", nullptr); w; w = FindWindowExA(nullptr, w, "GlintJPEG", nullptr))
      if (w != other) return w;
    Sleep(20);
  } while (GetTickCount() - start < ms);
  return nullptr;
}

std::string titleOf(HWND w) {
  char text[300] = "";
  GetWindowTextA(w, text, sizeof text);
  return text;
}

void pumpFor(DWORD ms) { pumpUntil([] { return false; }, ms); }

// Waits until the viewer's title says the picture is done.
void expectDone(HWND viewer, const std::string& name, DWORD ms) {
  EXPECT_TRUE(pumpUntil([&] { return titleOf(viewer) == name + " 100 % done"; }, ms)) << titleOf(viewer);
}

// Starts an offline viewer; returns its window (nullptr when none appeared).
HWND startOffline() {
  if (WinExec(("\"" + exeDir() + "\\sorlin32.exe\" 0").c_str(), SW_SHOWNORMAL) < 32) return nullptr;
  return findViewer(nullptr, 10000);
}

// File > Open and the file name typed into the common dialog.
void openFromMenu(HWND viewer, const std::string& path) {
  PostMessageA(viewer, WM_COMMAND, 10, 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(pumpUntil([&] { return (dialog = FindWindowA("#32770", "Open File")) != nullptr; }, 30000));
  for (int id : {0x47c, 0x480})
    if (HWND edit = GetDlgItem(dialog, id)) SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

// Places the viewer where the screenshot and the pixel checks expect it.
void place(HWND viewer, int w = 720, int h = 560) {
  SetWindowPos(viewer, HWND_TOP, 0, 0, w, h, SWP_SHOWWINDOW);
  pumpFor(600);
}

// Screen pixel at a client point of the viewer.
COLORREF screenAt(HWND viewer, int x, int y) {
  POINT p{x, y};
  ClientToScreen(viewer, &p);
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return c;
}

// Every grid point of the window shows the reference picture shifted by
// (dx, dy), and more than atLeast points were looked at.
void expectShows(HWND viewer, const Picture& ref, int dx, int dy, int atLeast) {
  RECT r;
  GetClientRect(viewer, &r);
  int good = 0, checked = 0;
  for (int y = 3; y < r.bottom && y + dy < ref.h; y += 37)
    for (int x = 5; x < r.right && x + dx < ref.w; x += 41) {
      ++checked;
      if (screenAt(viewer, x, y) == ref.at(x + dx, y + dy)) ++good;
    }
  EXPECT_EQ(good, checked);
  EXPECT_GT(checked, atLeast);
}

void closeViewer(HWND viewer) {
  PostMessageA(viewer, WM_CLOSE, 0, 0);
  EXPECT_TRUE(pumpUntil([viewer] { return !IsWindow(viewer); }, 10000));
}

LRESULT CALLBACK clientProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (feedAnswerMessage(m, wp, lp)) return 0;
  return DefWindowProcA(w, m, wp, lp);
}

// The sender's client window: the viewer's answers go to FeedAnswer.
FeedWindow client() {
  static HWND window = nullptr;
  if (!window) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = clientProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FeedTestClient";
    RegisterClassA(&wc);
    window = CreateWindowA("FeedTestClient", "feed client", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                           wc.hInstance, nullptr);
  }
  return reinterpret_cast<FeedWindow>(window);
}

// Receives a file the way a transfer writes it: one piece at a time, the file
// opened with read sharing and closed again before the piece is announced.
void appendToFile(const std::string& path, const char* data, size_t n) {
  HANDLE f = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  DWORD done = 0;
  WriteFile(f, data, static_cast<DWORD>(n), &done, nullptr);
  CloseHandle(f);
}

// Starts a fed viewer for a fresh copy named target; returns its window.
HWND startFeed(const std::string& target) {
  DeleteFileA(target.c_str());
  appendToFile(target, nullptr, 0);  // the file exists before the viewer hears of it
  setProgramDir(exeDir());
  feedSender = FeedSender{};
  EXPECT_EQ(FeedStart(client(), target), 0);
  return reinterpret_cast<HWND>(feedSender.viewer);
}

// Appends data up to upTo in 1024-byte blocks, each announced.
void feedAll(const std::string& data, const std::string& target, size_t upTo) {
  for (size_t at = 0; at < upTo; at += 1024) {
    appendToFile(target, data.data() + at, std::min<size_t>(upTo - at, 1024));
    FeedBlock(client());
    pumpFor(20);
  }
}

// A second initiate for target sent to viewer; returns the viewer's answer.
LRESULT initiate(HWND viewer, const std::string& target) {
  unsigned app = GlobalAddAtomA("GlintJPEG"), topic = GlobalAddAtomA(target.c_str());
  LRESULT answer = SendMessageA(viewer, 0x3E0, reinterpret_cast<WPARAM>(client()), MAKELPARAM(app, topic));
  GlobalDeleteAtom(static_cast<ATOM>(app));
  GlobalDeleteAtom(static_cast<ATOM>(topic));
  return answer;
}
}  // namespace

// One offline viewer: a JPEG from the menu in djpeg's colours, scrolled and
// zoomed; a file that is not a JPEG gives the library's message; the About
// box names the machine's memory.
TEST(Win32Viewer, OfflineViewerShowsScrollsZoomsAndRefuses) {
  std::string jpg = makeJpeg("offline", 640, 480, "-quality 85");
  Picture ref = reference(jpg);
  ASSERT_EQ(ref.w, 640);
  MessageBoxCloser boxes({"Message"}, true);
  HWND viewer = startOffline();
  ASSERT_NE(viewer, nullptr);
  place(viewer);
  ASSERT_NO_FATAL_FAILURE(openFromMenu(viewer, jpg));
  expectDone(viewer, "offline.jpg", 40000);
  pumpFor(300);
  expectShows(viewer, ref, 0, 0, 100);
  saveScreenshot("viewer_offline");

  // In a window smaller than the picture, one line right and one down moves
  // the picture by 4 pixels each way.
  place(viewer, 420, 320);
  expectShows(viewer, ref, 0, 0, 40);
  SendMessageA(viewer, WM_HSCROLL, SB_LINEDOWN, 0);
  SendMessageA(viewer, WM_VSCROLL, SB_LINEDOWN, 0);
  pumpFor(300);
  expectShows(viewer, ref, 4, 4, 40);
  saveScreenshot("viewer_scrolled");
  place(viewer);

  // 50 %: 320 x 240 at the origin, black beyond, no scroll bars.
  PostMessageA(viewer, WM_COMMAND, 102, 0);
  pumpFor(500);
  EXPECT_EQ(GetWindowLongA(viewer, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
  EXPECT_EQ(screenAt(viewer, 330, 100), RGB(0, 0, 0));
  EXPECT_EQ(screenAt(viewer, 100, 250), RGB(0, 0, 0));
  COLORREF inside = screenAt(viewer, 160, 120);
  EXPECT_TRUE(inside == ref.at(320, 240) || inside == ref.at(321, 241) || inside == ref.at(320, 241) ||
              inside == ref.at(321, 240));
  saveScreenshot("viewer_zoom50");

  ASSERT_NO_FATAL_FAILURE(openFromMenu(viewer, writeTempFile("viewer test\\notjpeg.jpg", "P6 2 2 255\nabcdefghijkl")));
  ASSERT_TRUE(pumpUntil([&] { return !boxes.texts().empty(); }, 10000));
  EXPECT_EQ(boxes.texts()[0].rfind("Not a JPEG file", 0), 0u) << boxes.texts()[0];
  pumpUntil([] { return !FindWindowA("#32770", "Message"); }, 5000);  // as a user waits for it

  PostMessageA(viewer, WM_COMMAND, 30, 0);
  HWND about = nullptr;
  ASSERT_TRUE(pumpUntil([&] { return (about = FindWindowA("#32770", "About JPEG viewer")) != nullptr; }, 10000));
  char text[128] = "";
  // The box may be found before its initialisation has filled the text.
  pumpUntil([&] {
    SendMessageA(GetDlgItem(about, 200), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text[0] != 0;
  }, 10000);
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  GlobalMemoryStatusEx(&memory);
  EXPECT_EQ(std::string(text), std::to_string(memory.ullTotalPhys) + " bytes total memory");
  saveScreenshot("viewer_about");
  PostMessageA(about, WM_COMMAND, IDOK, 0);
  closeViewer(viewer);
}

// A 2500-byte file (a JPEG padded with a comment) arrives in three blocks and
// is shown; an offline viewer that also answered the broadcast is let go, and
// only the served one refuses a further initiate.
TEST(Win32Viewer, FedFileInThreeBlocksIsShownAndTheOtherViewerLetGo) {
  HWND idle = startOffline();
  ASSERT_NE(idle, nullptr);
  std::string jpg = readFile(makeJpeg("fed", 96, 72, "-quality 60"));
  ASSERT_LT(jpg.size(), 2400u) << "the picture must fit 2500 bytes";
  size_t pad = 2500 - jpg.size();
  std::string data = jpg.substr(0, 2) + "\xFF\xFE" + char((pad - 2) >> 8) + char(pad - 2) + std::string(pad - 4, 'x') +
                     jpg.substr(2);
  // A name outside ASCII: the file is opened by the path as sent, and only
  // the title shows the upper-cased OEM form.
  std::string target = workDir() + "fed caf\xE9.jpg";
  char title[64] = "FED CAF\xC9.JPG";
  CharToOemA(title, title);
  HWND viewer = startFeed(target);
  ASSERT_NE(viewer, nullptr);
  HWND other = viewer == idle ? findViewer(idle, 5000) : idle;
  ASSERT_NE(other, nullptr) << "both viewers answered the broadcast";
  place(viewer);
  feedAll(data, target, data.size());
  // The viewer ends the feed itself once the end-of-image marker was read.
  EXPECT_TRUE(pumpUntil([] { return feedSender.state == FeedSendState::Idle; }, 10000));
  EXPECT_EQ(feedSender.blocksAnnounced, 3);
  EXPECT_EQ(feedSender.acknowledgements, 3);
  expectDone(viewer, title, 5000);
  pumpFor(1500);
  EXPECT_EQ(titleOf(other), "JPEG Viewer");
  FILE* f = fopen(target.c_str(), "wb");  // the reference reads the same bytes
  fwrite(data.data(), 1, data.size(), f);
  fclose(f);
  expectShows(viewer, reference(target), 0, 0, 3);
  saveScreenshot("viewer_fed");

  // The served viewer refuses a second initiate: no acknowledgement comes.
  feedSender.state = FeedSendState::Initiated;
  feedSender.client = client();
  EXPECT_EQ(initiate(viewer, target), 0);
  pumpFor(300);
  EXPECT_EQ(feedSender.state, FeedSendState::Initiated);
  // The other one was not left waiting for blocks: it answers at once.
  initiate(other, target);
  EXPECT_EQ(feedSender.state, FeedSendState::Feeding);
  EXPECT_EQ(feedSender.viewer, reinterpret_cast<FeedWindow>(other));
  FeedEnd(client());
  pumpFor(500);
  EXPECT_EQ(titleOf(other), "JPEG Viewer");
  closeViewer(other);
  closeViewer(viewer);
}

TEST(Win32Viewer, TruncatedFeedWarnsOnceAndClosingMidFeedEndsTheSender) {
  std::string data = readFile(makeJpeg("big", 400, 300, "-progressive -quality 90"));
  ASSERT_GT(data.size(), 6000u);
  {
    MessageBoxCloser boxes({"Message"}, true);
    HWND viewer = startFeed(workDir() + "cut.jpg");
    ASSERT_NE(viewer, nullptr);
    feedAll(data, workDir() + "cut.jpg", data.size() / 2);
    FeedEnd(client());
    expectDone(viewer, "CUT.JPG", 10000);
    pumpFor(1000);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Premature EOF in JPEG file"});
    saveScreenshot("viewer_truncated");
    closeViewer(viewer);
  }
  std::string target = workDir() + "closed.jpg";
  HWND viewer = startFeed(target);
  ASSERT_NE(viewer, nullptr);
  feedAll(data, target, 2048);
  PostMessageA(viewer, WM_CLOSE, 0, 0);
  EXPECT_TRUE(pumpUntil([] { return feedSender.state == FeedSendState::Idle; }, 10000));
  EXPECT_TRUE(pumpUntil([viewer] { return !IsWindow(viewer); }, 10000));
  int announced = feedSender.blocksAnnounced;
  feedAll(data, target, 1024);  // the transfer goes on; nothing is announced
  EXPECT_EQ(feedSender.blocksAnnounced, announced);
}

// A 2 MB progressive picture written in 8 KB pieces, as ZMODEM data
// subpackets arrive, and announced as whole blocks while it grows.
TEST(Win32Viewer, LargeProgressiveFileWrittenInPiecesEndsAsDjpegShowsIt) {
  std::string data = readFile(makeJpeg("large", 2200, 1650, "-progressive -quality 98", true));
  ASSERT_GT(data.size(), 1500000u);
  std::string target = workDir() + "large fed.jpg";
  HWND viewer = startFeed(target);
  ASSERT_NE(viewer, nullptr);
  place(viewer);
  for (size_t at = 0; at < data.size(); at += 8192) {
    size_t n = std::min<size_t>(data.size() - at, 8192);
    ASSERT_NO_FATAL_FAILURE(appendToFile(target, data.data() + at, n));
    FeedWritten(client(), static_cast<int64_t>(at + n));
    pumpOne();
  }
  FeedComplete(client(), static_cast<int64_t>(data.size()));
  EXPECT_EQ(feedSender.blocksAnnounced, static_cast<int>(data.size() / 1024 + 1));
  expectDone(viewer, "LARGE FED.JPG", 120000);
  pumpFor(500);
  expectShows(viewer, reference(target), 0, 0, 100);
  saveScreenshot("viewer_large_fed");
  closeViewer(viewer);
}

// A file named on the command line, quoted as Explorer's "Open with" passes
// it (the folder holds a blank), is opened and shown at once.
TEST(Win32Viewer, FileNamedOnTheCommandLineIsShown) {
  std::string jpg = makeJpeg("opened with", 640, 480, "-quality 85");
  Picture ref = reference(jpg);
  MessageBoxCloser boxes({"Message"}, true);
  ASSERT_GE(WinExec(("\"" + exeDir() + "\\sorlin32.exe\" \"" + jpg + "\"").c_str(), SW_SHOWNORMAL), 32u);
  HWND viewer = findViewer(nullptr, 10000);
  ASSERT_NE(viewer, nullptr);
  place(viewer);
  expectDone(viewer, "opened with.jpg", 40000);
  pumpFor(300);
  expectShows(viewer, ref, 0, 0, 100);
  saveScreenshot("viewer_command_line");
  closeViewer(viewer);
  EXPECT_TRUE(boxes.texts().empty());
}
