// Per-connection options that the byte path reads. The session layer fills
// this from its record at connection start and when the settings change; the
// emulation is read again for every received byte, so a change applies at once.
#pragma once

struct TerminalOptions {
  int emulation = 4;             // TerminalType value 1..10 (see terminal_type.h)
  bool autowrap = true;          // copied into the emulator at connection start
  bool keypadApplication = false;  // likewise
  bool inboundCrLf = false;      // "CR->CR/LF (Inbound)"
  bool outboundCrLf = false;     // "CR->CR/LF (Outbound)"
  bool localEcho = false;        // "Local Echo"
  bool stripHighBit = false;     // "Strip high bit"
  bool displayControls = false;  // "Display controls"
  bool telnet = false;           // 0xFF introduces a Telnet command (Telnet, not Rlogin or serial)
  bool zmodemAutoStart = false;  // ZMODEM is the selected protocol: "**" and CAN arm the
                                 // auto-start capture, which then takes received bytes
  bool asciiProtocol = false;    // ASCII is the selected protocol: CR keeps its LF while a
                                 // ZMODEM capture runs
  int noWrapLastCell = 254;      // last cell reached with autowrap off: 254 on the network
                                 // terminal, 131 on the dial-up one
};

extern TerminalOptions terminalOptions;
