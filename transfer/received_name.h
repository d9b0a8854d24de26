// The one rule for the names of files received from the remote side (every
// transfer protocol and FTP downloads): a name the remote side chooses must
// not reach a device, a stream or a file other than the one it names.
#pragma once
#include <string>

// name is the part after the last separator. Trailing dots and blanks are
// dropped (Windows drops them anyway); a device name (CON, PRN, AUX, NUL,
// COM1-9, LPT1-9, CONIN$, CONOUT$, in any case and with any extension) gets a
// leading "_", so the data still lands in a file. Returns 0 with *out set, or
// -1 for an empty name, "." or "..", or one holding a byte below 0x20 (NUL
// too) or one of < > : " / \ | ? *.
int receivedNameRule(const std::string& name, std::string* out);
