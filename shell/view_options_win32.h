// The "View options" dialog of a main window: what opens at start-up, the
// disconnect box, the toolbar, the status bar and the close warning. The
// values live in the settings store under the program's own names.
#pragma once
#include <windows.h>

#include "shell/settings_defaults.h"

struct ViewOptions {
  int startup;  // the stored start-up choice
  bool disconnectBox, toolbar, statusbar, warnClose;
};

// The three start-up values of a program, in the dialog's order (book,
// connect, none), and the program's labels of the first two: nullptr keeps
// the dialog's own ("Telnetbook", "Connect"), "" hides the choice.
struct StartupChoices {
  int book, connect, none;
  const char* bookLabel;
  const char* connectLabel;
};

// Reads the values with their start-up defaults.
ViewOptions viewOptionsRead(const ProgramSettings& program, const StartupChoices& choices);
// Shows the dialog over owner. On OK writes every changed value (the start-up
// choice always), updates *options and returns true.
bool viewOptions(HWND owner, const ProgramSettings& program, const StartupChoices& choices,
                 ViewOptions* options);
