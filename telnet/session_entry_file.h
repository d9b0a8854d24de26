// Whether the session's record goes back to its entry file when the session
// ends. A quick connection built on an entry the user saved leaves that file
// as it is: only the user's own saves may change it.
#pragma once

// Set before each connection: true keeps the entry file as it is.
void sessionEntryKeepFile(bool keep);
// At the end of a session: saves the session's record to its entry file
// unless it is kept. Returns 0, or -1 when the save failed.
int sessionEntrySaveBack();
