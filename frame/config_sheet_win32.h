// The "Configuration" property sheet: eight pages over a working copy of a
// BookEntry. OK validates every page, copies the working copy into the entry
// and saves it to its file; Cancel leaves the entry as it was.
#pragma once
#include <windows.h>

#include "shell/book_entry.h"
#include "shell/config_pages.h"

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

// Opens the sheet on firstPage (ConfigPage). newEntry makes the Name field
// editable. Returns IDOK when the entry was changed and saved, else IDCANCEL.
int settingsSheet(HWND owner, BookEntry* entry, int firstPage, bool newEntry);
