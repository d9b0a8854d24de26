#include "terminal/hooks.h"

TerminalHooks terminalHooks = {};

void hooksReset() { terminalHooks = TerminalHooks{}; }

bool hookTelnetInCommand() { return terminalHooks.telnetInCommand && terminalHooks.telnetInCommand(); }
void hookTelnetCommandByte(uint8_t b) {
  if (terminalHooks.telnetCommandByte) terminalHooks.telnetCommandByte(b);
}
void hookTelnetCommandStart() {
  if (terminalHooks.telnetCommandStart) terminalHooks.telnetCommandStart();
}
bool hookTransparentPrinting() {
  return terminalHooks.transparentPrinting && terminalHooks.transparentPrinting();
}
void hookTransparentPrintByte(uint8_t b) {
  if (terminalHooks.transparentPrintByte) terminalHooks.transparentPrintByte(b);
}
bool hookTransparentPrintSetting() {
  return terminalHooks.transparentPrintSetting && terminalHooks.transparentPrintSetting();
}
void hookTransparentPrintStart() {
  if (terminalHooks.transparentPrintStart) terminalHooks.transparentPrintStart();
}
void hookTransparentPrintStop() {
  if (terminalHooks.transparentPrintStop) terminalHooks.transparentPrintStop();
}
bool hookCaptureOn() { return terminalHooks.captureOn && terminalHooks.captureOn(); }
void hookCaptureByte(uint8_t b) {
  if (terminalHooks.captureByte) terminalHooks.captureByte(b);
}
bool hookZmodemSelected() { return terminalHooks.zmodemSelected && terminalHooks.zmodemSelected(); }
bool hookAsciiSelected() { return terminalHooks.asciiSelected && terminalHooks.asciiSelected(); }
bool hookZmodemCaptureActive() {
  return terminalHooks.zmodemCaptureActive && terminalHooks.zmodemCaptureActive();
}
void hookZmodemCaptureByte(uint8_t b) {
  if (terminalHooks.zmodemCaptureByte) terminalHooks.zmodemCaptureByte(b);
}
void hookZmodemArmCapture() {
  if (terminalHooks.zmodemArmCapture) terminalHooks.zmodemArmCapture();
}
void hookZmodemAutoStartCheck() {
  if (terminalHooks.zmodemAutoStartCheck) terminalHooks.zmodemAutoStartCheck();
}
bool hookScriptRunning() { return terminalHooks.scriptRunning && terminalHooks.scriptRunning(); }
void hookScriptLineMatch(const uint8_t* cells, int length) {
  if (terminalHooks.scriptLineMatch) terminalHooks.scriptLineMatch(cells, length);
}
void hookWindowSizeChanged(int columns, int rows) {
  if (terminalHooks.windowSizeChanged) terminalHooks.windowSizeChanged(columns, rows);
}
bool hookChatMode() { return terminalHooks.chatMode && terminalHooks.chatMode(); }
void hookChatBytes(const uint8_t* bytes, int length) {
  if (terminalHooks.chatBytes) terminalHooks.chatBytes(bytes, length);
}
