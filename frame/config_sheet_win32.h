// The "Configuration" property sheet over a working copy of any session
// record: the program names the record's fields (ConfigFieldMap) and its
// pages, its own first pages and the shared ones. OK validates every page,
// copies the working copy into the record and saves it to its file; Cancel
// leaves the record as it was.
#pragma once
#include <windows.h>

#include "shell/book_entry.h"
#include "shell/config_fields.h"
#include "shell/config_pages.h"
#include "shell/help_topics.h"

// Where a program fills no slot: no capture, and a change of it goes nowhere.
bool configNoCapture();
void configCaptureIgnored(bool on);

// What the sheet needs from its program, set once after the main window
// exists. Every slot is filled, never null.
struct ConfigEnv {
  HWND mainWindow = nullptr;
  const char* programDir = "";      // shown for an empty download directory
  const char* firewallScript = "";  // "Edit Script" and "Check Syntax"
  const char* firewallAddressValue = "FirewallAddressTelnet";
  const char* firewallPortValue = "FirewallPortTelnet";
  // Whether the session capture is on (the "Session capture" box shows it).
  bool (*captureOn)() = configNoCapture;
  // "Session capture" changed by OK: on while online opens the log at once.
  void (*captureChanged)(bool on) = configCaptureIgnored;
};
void configSheetAttach(const ConfigEnv& env);

// One page of a program's sheet: its kind (ConfigPage), its dialog template
// and procedure, and its help in the program's help file.
struct ConfigPageSpec {
  int kind;
  const char* resource;
  DLGPROC procedure;
  const HelpTopic* help;
};
struct ConfigSheetSpec {
  const ConfigFieldMap* fields;
  const ConfigPageSpec* pages;  // in tab order
  int pageCount;
};

// The shared pages' procedures, for the programs' page lists.
INT_PTR CALLBACK TermDlgFunc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ProtoDlgFunc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK ColorDlgFunc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK FontDlgFunc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK DirDlgFunc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK OptionDlgFunc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK FirewallDlgFunc(HWND, UINT, WPARAM, LPARAM);

// The Telnet entry's sheet: "General" and the seven shared pages.
extern const ConfigSheetSpec TELNET_SHEET;

// Opens the sheet over record (layout.fields->size bytes) on the page of kind
// firstKind (the first page when the sheet has none). newEntry makes the name
// editable. Returns IDOK when the record was changed and saved, else IDCANCEL.
int configSheet(HWND owner, const ConfigSheetSpec& layout, uint8_t* record, int firstKind, bool newEntry);
// The position of the page of kind in layout, or -1.
int configPageIndex(const ConfigSheetSpec& layout, int kind);
// The Telnet sheet over a Telnet entry.
int settingsSheet(HWND owner, BookEntry* entry, int firstPage, bool newEntry);

// For a program's own page procedure: the working copy and the field map of
// the open sheet, and the common handling of OK, Help and context help
// (apply returns 0, or the text of the refusal it has shown).
uint8_t* configWorkingRecord();
bool configNewEntry();
INT_PTR configPageMessage(HWND page, UINT message, LPARAM lp, int kind, int (*apply)(HWND page));
