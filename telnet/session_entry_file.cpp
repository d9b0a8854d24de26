#include "telnet/session_entry_file.h"

#include "shell/book_entry.h"

namespace {
bool keepFile = false;
}

void sessionEntryKeepFile(bool keep) { keepFile = keep; }

int sessionEntrySaveBack() { return keepFile ? 0 : bookSaveEntry(sessionEntry); }
