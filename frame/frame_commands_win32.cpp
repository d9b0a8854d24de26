// The main window's menu and toolbar commands: the program's identifier is
// looked up in its map and the frame's command runs.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "frame/frame_internal_win32.h"
#include "frame/frame_session.h"
#include "frame/frame_texts.h"
#include "shell/command_shell.h"
#include "shell/config_pages.h"
#include "shell/help_win32.h"
#include "shell/message_box.h"
#include "shell/program_dir.h"
#include "shell/statusbar_win32.h"
#include "shell/toolbar_win32.h"
#include "terminal/display_win32.h"
#include "terminal/emulator.h"
#include "terminal/print_win32.h"
#include "terminal/transparent_print.h"
#include "transfer/text_utilities_win32.h"
#include "viewer/feed_send.h"

namespace {
FrameWindow& W = frameWin;
const FrameProgram& P() { return *W.program; }

void startProgram(const std::string& command) {
  if (WinExec(command.c_str(), SW_SHOWNORMAL) < 32) messageBox(TXT_CANNOT_START, command.c_str(), MSG_OK | MSG_ICONEXCLAMATION);
}

void viewOptionsCommand() {
  ViewOptions before = W.view;
  if (!viewOptions(W.window, *P().settings, P().startup, &W.view)) return;
  if (before.toolbar != W.view.toolbar) toolbarShow(W.view.toolbar);
  if (before.statusbar != W.view.statusbar) statusBarShow(W.view.statusbar);
  if (before.toolbar != W.view.toolbar || before.statusbar != W.view.statusbar) {
    frameLayout();
    frameAttachDisplay();  // the text area moves by the toolbar's height
  }
}

const FrameCommandMap* lookUp(int id) {
  for (int i = 0; i < P().commandCount; ++i)
    if (P().commands[i].id == id) return &P().commands[i];
  return nullptr;
}

// Menu entries follow the session's state, but a toolbar button or an
// accelerator may still send a command that is off: it is ignored.
bool allowed(const FrameCommandMap& c) {
  if (c.when == WHEN_ONLINE && !frameOnline()) return false;
  if (c.when == WHEN_OFFLINE && frameSession.state != FrameState::Offline) return false;
  return true;
}

void run(FrameCommand command) {
  HWND w = W.window;
  switch (command) {
    case FC_NEW_WINDOW: startProgram(programDir() + "\\" + P().exeName); break;
    case FC_BOOK: P().book(w); break;
    case FC_QUICK_CONNECT: P().quickConnect(w); break;
    case FC_EXIT: frameExit(); break;
    case FC_VIEW_OPTIONS: viewOptionsCommand(); break;
    case FC_RESET_TERM:
      emulatorReset();
      emulatorConnectionStart();
      // The line's notifications start again after the reset.
      frameSession.connection->transferEnd();
      break;
    case FC_DISCONNECT: frameClose(); break;
    case FC_HELP_CONTENTS: helpShowContents(w); break;
    case FC_ABOUT: frameAbout(); break;
    case FC_MSDOS: startProgram(commandShellLine(getenv("COMSPEC"))); break;
    case FC_SELECT_ALL: displaySelectAll(w); break;
    case FC_COPY: copySelection(w); break;
    case FC_TRANSMIT: transmitClipboard(w); break;
    case FC_CLEAR_BUFFER: displayClearBuffer(w); break;
    case FC_FIND: openFind(w); break;
    case FC_KEYBOARD: openKeyMapEditor(w, frameSession.profile.emulation); break;
    case FC_PRINT_SETUP:
    case FC_PRINT_BUFFER:
    case FC_COPY_PRINTER:
    case FC_PRINT_LOGFILE: framePrint(command); break;
    case FC_PRINT_TRANSPARENT: W.transPrint = transPrintToggle(); break;
    case FC_CAPTURE: frameCaptureCommand(); break;
    case FC_TERMINAL_PREFS: frameSettings(CONFIG_TERMINAL); break;
    case FC_FONTS: frameSettings(CONFIG_FONTS); break;
    case FC_PROTOCOL: frameSettings(CONFIG_PROTOCOLS); break;
    case FC_COLOR: frameSettings(CONFIG_COLOR); break;
    case FC_DEFAULT_DIR: frameSettings(CONFIG_DEFAULT_DIR); break;
    case FC_RECEIVE:
    case FC_SEND: frameTransfer(command == FC_SEND); break;
    case FC_UNIX_TO_DOS: utilityUnixToDos(w); break;
    case FC_DOS_TO_UNIX: utilityDosToUnix(w); break;
    case FC_UUENCODE: utilityUuencode(w); break;
    case FC_UUDECODE: utilityUudecode(w); break;
    case FC_VIEW_JPEG_REALTIME: frameToggleJpegRealtime(); break;
    case FC_VIEW_JPEG_OFFLINE: feedViewOffline(); break;
    case FC_SCRIPT_EDIT: startProgram("notepad.exe"); break;
    case FC_SCRIPT_EXECUTE:
    case FC_SCRIPT_CHECK:
    case FC_PROGRAM:
    case FC_NOT_YET:
      // Commands whose parts come with later versions of the program.
      messageBox(TXT_NOT_AVAILABLE, nullptr, MSG_OK | MSG_ICONINFORMATION);
      break;
    default:  // the line's own commands run in frameCommand
      break;
  }
}
}  // namespace

int frameCommandId(FrameCommand command) {
  for (int i = 0; i < P().commandCount; ++i)
    if (P().commands[i].command == command) return P().commands[i].id;
  return 0;
}

void frameCommand(int id) {
  const FrameCommandMap* c = lookUp(id);
  if (!c) {
    if (P().ownCommand) P().ownCommand(id);
    return;
  }
  if (!allowed(*c)) return;
  if (c->command >= FC_SPECIAL_TELNET_COMMAND && c->command <= FC_SPECIAL_LAST) {
    // The line's own commands; one offered at all times works offline too.
    int special = c->command - FC_SPECIAL_TELNET_COMMAND;
    if ((frameOnline() || c->when == WHEN_ALWAYS) && frameSession.connection->specialEnabled(special))
      frameSession.connection->special(special, reinterpret_cast<uintptr_t>(W.window));
    return;
  }
  if (c->command == FC_PROGRAM && P().ownCommand && P().ownCommand(id)) return;
  run(c->command);
}
