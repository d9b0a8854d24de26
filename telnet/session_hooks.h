// Upward calls from the socket driver and the Telnet engine to the session
// that owns them. A slot is never null: sessionHooksReset() fills every one
// with a function that does nothing (the receive pass reads nothing), so the
// callers call them directly. The session replaces slots, it never empties them.
#pragma once

struct SessionHooks {
  // The link is attached and connected: send the offers or the handshake.
  void (*established)();
  // The connection ended after being made.
  void (*lost)();
  // A connect attempt ended without a connection.
  void (*attemptEnded)();
  // The receive pass; LINK_LOST when the link reported the loss.
  int (*receivePass)();
  // Telnet negotiation changed the local echo.
  void (*localEchoChanged)(bool on);
};

extern SessionHooks sessionHooks;

// Puts the do-nothing function back into every slot (program start, tests).
void sessionHooksReset();
