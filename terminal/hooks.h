// Upward calls of the byte path. The layers above (Telnet, capture and
// printing, transfers, scripts, chat) fill these slots. A slot is never null:
// hooksReset() fills every one with a function that does nothing and answers
// false, so the byte path calls them directly and a layer that is not there
// simply never answers. Layers replace slots, they never empty them.
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

  // ZMODEM auto-start (asked only while terminalOptions.zmodemAutoStart is on):
  // whether the capture runs, its byte handler, arming it (CAN after "**"),
  // and the check run after each block while the capture is active.
  bool (*zmodemCaptureActive)();
  void (*zmodemCaptureByte)(uint8_t b);
  void (*zmodemArmCapture)();
  void (*zmodemAutoStartCheck)();
  // What opens the receive after a ZRQINIT was seen (the transfer dialog in a
  // program, a tool or test elsewhere); true when a receive was opened.
  bool (*zmodemOpenReceive)();

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

// Puts the do-nothing function back into every slot (program start, every
// terminalReset, tests).
void hooksReset();
