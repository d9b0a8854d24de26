// The feed over real window messages, atoms and WinExec.
#include <windows.h>
#include <dde.h>

#include "viewer/feed_os.h"
#include "viewer/feed_send.h"
#include "viewer/feed_win32.h"

namespace {
// A broadcast skips a hung window after this long instead of waiting for it.
constexpr UINT BROADCAST_TIMEOUT_MS = 5000;
LPARAM executeToAcknowledge = 0;

HWND window(FeedWindow w) { return reinterpret_cast<HWND>(w); }
}  // namespace

int feedRunProgram(const std::string& commandLine) {
  return static_cast<int>(WinExec(commandLine.c_str(), SW_SHOWNORMAL));
}

unsigned feedAddAtom(const std::string& name) {
  if (name.empty() || name.size() > 255) return 0;
  return GlobalAddAtomA(name.c_str());
}

void feedDeleteAtom(unsigned atom) { GlobalDeleteAtom(static_cast<ATOM>(atom)); }

void feedBroadcastInitiate(FeedWindow client, unsigned appAtom, unsigned topicAtom) {
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_DDE_INITIATE, static_cast<WPARAM>(client),
                      MAKELPARAM(appAtom, topicAtom), SMTO_ABORTIFHUNG, BROADCAST_TIMEOUT_MS, &answer);
}

bool feedPost(FeedWindow to, FeedMessage message, FeedWindow from) {
  if (!to) return false;
  WPARAM w = static_cast<WPARAM>(from);
  switch (message) {
    case FEED_EXECUTE: {
      // An execute without a command handle never arrives in another process.
      HGLOBAL command = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, 1);
      if (!command) return false;
      if (char* p = static_cast<char*>(GlobalLock(command))) {
        *p = '\0';
        GlobalUnlock(command);
      }
      if (PostMessageA(window(to), WM_DDE_EXECUTE, w, reinterpret_cast<LPARAM>(command))) return true;
      GlobalFree(command);
      return false;
    }
    case FEED_ACK: {
      LPARAM packed = PackDDElParam(WM_DDE_ACK, 0x8000, static_cast<UINT_PTR>(executeToAcknowledge));
      executeToAcknowledge = 0;
      if (PostMessageA(window(to), WM_DDE_ACK, w, packed)) return true;
      FreeDDElParam(WM_DDE_ACK, packed);
      return false;
    }
    case FEED_TERMINATE:
      return PostMessageA(window(to), WM_DDE_TERMINATE, w, 0) != 0;
    case FEED_INITIATE:
      break;
  }
  return false;
}

bool feedWindowAlive(FeedWindow w) { return w && IsWindow(window(w)); }

void feedExecuteReceived(LPARAM lParam) { executeToAcknowledge = lParam; }

bool feedAnswerMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  FeedWindow from = static_cast<FeedWindow>(wParam);
  if (message == WM_DDE_TERMINATE) {
    FeedAnswer(FEED_TERMINATE, from);
    return true;
  }
  if (message != WM_DDE_ACK) return false;
  // The answer to the initiate is sent and carries the atoms as they were;
  // acknowledgements of blocks are posted, packed, with our command handle.
  if (!InSendMessage()) {
    UINT_PTR status = 0, command = 0;
    if (UnpackDDElParam(WM_DDE_ACK, lParam, &status, &command)) {
      FreeDDElParam(WM_DDE_ACK, lParam);
      if (command) GlobalFree(reinterpret_cast<HGLOBAL>(command));
    }
  }
  FeedAnswer(FEED_ACK, from);
  return true;
}
