// The FTP line on the host: no window, so no watch timer and no keys; tests
// call ftpLinePoll themselves.
#include "ftp/ftp_connection.h"

void ftpLineWatchStart() {}
bool ftpLineMessage(unsigned, uintptr_t, intptr_t) { return false; }
uintptr_t ftpLineModeless() { return 0; }
