// How the engine's loops wait: a socket that is not ready gives the turn to
// one queued message; a busy transfer still takes one now and then, so that
// Cancel and the window stay alive without a message per block.
#pragma once
#include "ftp/ftp_socket.h"

// Waits briefly for the socket, then takes one message. Negative when the
// program is quitting.
int ftpIdle(FtpSocket socket, bool forWrite);
// Takes one message when the last was a while ago.
int ftpPumpDue();
