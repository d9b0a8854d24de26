// A kind of line as the frame sees it: one const table of plain functions per
// kind (Telnet and Rlogin; the serial port), filled once and never null in
// any slot. The frame never parses a protocol, and a connection never touches
// the frame's windows: it reports upward through the functions of
// frame_session.h (established, lost, attempt ended, data waiting).
#pragma once
#include <cstdint>

struct SessionProfile;

// The frame's own commands a connection may offer beside the common ones.
enum ConnectionSpecial {
  SPECIAL_TELNET_COMMAND,  // "Send telnet command"
  SPECIAL_BREAK,           // a break on the line
  SPECIAL_COMM_STATUS,     // the port's queues and hold flags
  SPECIAL_COMM_PARAMETERS, // the entry's character format applied to the open port
  SPECIAL_ANSWER,          // answer mode: calls are answered
  SPECIAL_CHAT,            // chat mode: the window split into two panes
  SPECIAL_COUNT
};

struct FrameConnection {
  const char* kind;
  // The window message that announces received data (held back while a
  // print job runs).
  unsigned readMessage;
  // Starts a session for profile: 0 when it is up or under way (it reports
  // established or attempt ended later), negative when it failed at once
  // after its own message.
  int (*open)(const SessionProfile& profile);
  // The user ends the session (disconnect, hang-up); reports lost when a
  // session was up.
  void (*close)();
  // An attempt is under way (look-up, connect).
  bool (*busy)();
  // The line's own window messages: true when message was one of them.
  bool (*message)(unsigned message, uintptr_t wParam, intptr_t lParam);
  // The modeless dialog of the line (connection progress), or 0 when none.
  uintptr_t (*modeless)();
  // A transfer takes the line over (it reads the line itself) and gives it back.
  void (*transferBegin)();
  void (*transferEnd)();
  // The session is up and the terminal has its settings: the line joins the
  // terminal's byte path (before any login script reads through it).
  void (*attach)();
  // After the frame's established steps and the login script: the line's
  // opening (the Telnet offers, the Rlogin handshake, the serial watcher).
  void (*sessionStart)();
  // Before the frame's lost steps: what the line negotiated goes back into the
  // session record (nullptr where the frame runs without one).
  void (*sessionEnd)(uint8_t* record);
  // The terminal's size changed (rows and columns both set).
  void (*terminalSize)(int columns, int rows);
  // The status-bar text while connected.
  void (*statusText)(char* text, int size);
  // Whether special is offered now, and running it.
  bool (*specialEnabled)(int special);
  void (*special)(int special, uintptr_t owner);
};

// The connection a frame has before its program names one: every slot does nothing.
extern const FrameConnection IDLE_CONNECTION;
