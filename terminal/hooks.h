// Upward calls of the byte path. The layers above (Telnet, capture and
// printing, transfers, scripts, chat) fill these slots; an empty slot means
// "that feature is not there" and is never called. The byte path uses the
// wrappers below, never the raw slots.
#pragma once
#include <cstdint>

struct TerminalHooks {
  // Telnet: command mode (inCommand), its byte handler, and the start of a
  // command when the printable path meets 0xFF on a Telnet connection.
  bool (*telnetInCommand)();
  void (*telnetCommandByte)(uint8_t b);
  void (*telnetCommandStart)();

  // Transparent printing: active flag, the spool's byte handler, the user
  // setting, and the start and end requested by the media-copy sequence.
  bool (*transparentPrinting)();
  void (*transparentPrintByte)(uint8_t b);
  bool (*transparentPrintSetting)();
  void (*transparentPrintStart)();
  void (*transparentPrintStop)();

  // Capture file: on flag and the byte handler.
  bool (*captureOn)();
  void (*captureByte)(uint8_t b);

  // ZMODEM auto-start: whether ZMODEM (or ASCII) is the selected protocol,
  // whether the capture runs, its byte handler, arming it (CAN after "**"),
  // and the check run after each block while the capture is active.
  bool (*zmodemSelected)();
  bool (*asciiSelected)();
  bool (*zmodemCaptureActive)();
  void (*zmodemCaptureByte)(uint8_t b);
  void (*zmodemArmCapture)();
  void (*zmodemAutoStartCheck)();

  // Script: running flag and the line match, given the cells of the row up to
  // and including the one just written.
  bool (*scriptRunning)();
  void (*scriptLineMatch)(const uint8_t* cells, int length);

  // The terminal size changed (the Telnet or Rlogin layer reports it when the
  // host asked for reports).
  void (*windowSizeChanged)(int columns, int rows);

  // Dial-up chat mode takes received blocks instead of the terminal.
  bool (*chatMode)();
  void (*chatBytes)(const uint8_t* bytes, int length);
};

extern TerminalHooks terminalHooks;

// Empties every slot (program start and tests).
void hooksReset();

// Safe wrappers: a missing slot reads as false / does nothing. Inline, since
// the byte path asks several of them for every received byte.
inline bool hookTelnetInCommand() { return terminalHooks.telnetInCommand && terminalHooks.telnetInCommand(); }
inline void hookTelnetCommandByte(uint8_t b) {
  if (terminalHooks.telnetCommandByte) terminalHooks.telnetCommandByte(b);
}
inline void hookTelnetCommandStart() {
  if (terminalHooks.telnetCommandStart) terminalHooks.telnetCommandStart();
}
inline bool hookTransparentPrinting() {
  return terminalHooks.transparentPrinting && terminalHooks.transparentPrinting();
}
inline void hookTransparentPrintByte(uint8_t b) {
  if (terminalHooks.transparentPrintByte) terminalHooks.transparentPrintByte(b);
}
inline bool hookTransparentPrintSetting() {
  return terminalHooks.transparentPrintSetting && terminalHooks.transparentPrintSetting();
}
inline void hookTransparentPrintStart() {
  if (terminalHooks.transparentPrintStart) terminalHooks.transparentPrintStart();
}
inline void hookTransparentPrintStop() {
  if (terminalHooks.transparentPrintStop) terminalHooks.transparentPrintStop();
}
inline bool hookCaptureOn() { return terminalHooks.captureOn && terminalHooks.captureOn(); }
inline void hookCaptureByte(uint8_t b) {
  if (terminalHooks.captureByte) terminalHooks.captureByte(b);
}
inline bool hookZmodemSelected() { return terminalHooks.zmodemSelected && terminalHooks.zmodemSelected(); }
inline bool hookAsciiSelected() { return terminalHooks.asciiSelected && terminalHooks.asciiSelected(); }
inline bool hookZmodemCaptureActive() {
  return terminalHooks.zmodemCaptureActive && terminalHooks.zmodemCaptureActive();
}
inline void hookZmodemCaptureByte(uint8_t b) {
  if (terminalHooks.zmodemCaptureByte) terminalHooks.zmodemCaptureByte(b);
}
inline void hookZmodemArmCapture() {
  if (terminalHooks.zmodemArmCapture) terminalHooks.zmodemArmCapture();
}
inline void hookZmodemAutoStartCheck() {
  if (terminalHooks.zmodemAutoStartCheck) terminalHooks.zmodemAutoStartCheck();
}
inline bool hookScriptRunning() { return terminalHooks.scriptRunning && terminalHooks.scriptRunning(); }
inline void hookScriptLineMatch(const uint8_t* cells, int length) {
  if (terminalHooks.scriptLineMatch) terminalHooks.scriptLineMatch(cells, length);
}
inline void hookWindowSizeChanged(int columns, int rows) {
  if (terminalHooks.windowSizeChanged) terminalHooks.windowSizeChanged(columns, rows);
}
inline bool hookChatMode() { return terminalHooks.chatMode && terminalHooks.chatMode(); }
inline void hookChatBytes(const uint8_t* bytes, int length) {
  if (terminalHooks.chatBytes) terminalHooks.chatBytes(bytes, length);
}

// The layers that take a received byte before the terminal sees it, in the
// order both byte paths ask them: a Telnet command in progress, then the
// ZMODEM auto-start capture. True when one of them took the byte.
inline bool hookDivertByte(uint8_t b) {
  if (hookTelnetInCommand()) {
    hookTelnetCommandByte(b);
    return true;
  }
  if (hookZmodemCaptureActive() && hookZmodemSelected()) {
    hookZmodemCaptureByte(b);
    return true;
  }
  return false;
}
