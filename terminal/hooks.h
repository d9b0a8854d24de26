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

// Safe wrappers: a missing slot reads as false / does nothing.
bool hookTelnetInCommand();
void hookTelnetCommandByte(uint8_t b);
void hookTelnetCommandStart();
bool hookTransparentPrinting();
void hookTransparentPrintByte(uint8_t b);
bool hookTransparentPrintSetting();
void hookTransparentPrintStart();
void hookTransparentPrintStop();
bool hookCaptureOn();
void hookCaptureByte(uint8_t b);
bool hookZmodemSelected();
bool hookAsciiSelected();
bool hookZmodemCaptureActive();
void hookZmodemCaptureByte(uint8_t b);
void hookZmodemArmCapture();
void hookZmodemAutoStartCheck();
bool hookScriptRunning();
void hookScriptLineMatch(const uint8_t* cells, int length);
void hookWindowSizeChanged(int columns, int rows);
bool hookChatMode();
void hookChatBytes(const uint8_t* bytes, int length);
