// The book dialog ("INTERNETBOOK") with its copy dialog ("INTERNETCOPY"), and
// the Quick Connect dialog ("QuickConnect"), written once for every program's
// book: BookEnv says which records, which fields and which program hooks.
#pragma once
#include <windows.h>

#include "shell/book_list.h"
#include "shell/help_topics.h"

struct BookEnv {
  BookView view;
  const char* title;     // "Telnetbook"
  uint8_t* session;      // the session's record: Connect and Quick Connect load it
  uint8_t* templ;        // the template for new entries
  void (*reloadTemplate)();                  // reads the template file again
  int (*validate)(const uint8_t* record);    // message and -1 when refused
  int (*save)(const uint8_t* record);        // message and -1 when it fails
  bool (*online)();                          // New, Copy and Connect wait for a hang-up
  // The settings sheet over record (New: newEntry, name editable); returns
  // IDOK when the entry was saved.
  int (*editEntry)(HWND owner, uint8_t* record, bool newEntry);
  const HelpTopic* bookHelp;
  const HelpTopic* copyHelp;
  const HelpTopic* quickHelp;
  // "Open" beside "Connect": the entry is connected to without logging in.
  bool openButton = false;
};

// The book: 1 when the user chose an entry to connect to (now in
// env.session), 2 when it is to be opened without the login ("Open"), 0
// otherwise.
int bookDialog(HWND owner, const BookEnv& env);
// Quick Connect: 1 when a new entry was built, saved and loaded into
// env.session for connecting; 2 when it was built on an existing entry, which
// stays as saved (the session must not write it back); 0 on Cancel.
int quickConnectDialog(HWND owner, const BookEnv& env);
