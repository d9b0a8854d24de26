// Help for the suite's programs: topics of the program's compiled HTML help
// file shown through "hhctrl.ocx" (loaded at run time, so a machine without
// it still runs the program), or WinHelp contexts of its ".HLP" file when
// that library or its HtmlHelpA entry is missing.
#pragma once
#include <windows.h>

#include "shell/help_topics.h"

// Loads the HTML Help library and sets the help file: programDir + "\" +
// chmName when HTML Help is there, else programDir + "\" + hlpName.
// Returns whether HTML Help is available.
bool helpInit(const char* programDir, const char* chmName, const char* hlpName);
// Closes every help window and unloads the library (at program end).
void helpShutdown();
// The help file in use ("" before helpInit).
const char* helpFile();

// The Help button of a page or dialog: the page's topic ("FILE::/topic.html"),
// or its WinHelp context. A help file that does not exist gets a message
// naming it. Returns 0, or -1 when nothing could be shown.
int helpShowTopic(HWND owner, const HelpTopic& topic);
// "&Contents": the help file at its default topic (WinHelp: contents).
int helpShowContents(HWND owner);
// WM_HELP ("?" button or F1 on a control): the pop-up text of the control the
// HELPINFO names, from the page's pop-up file; the topic number is the
// control's identifier. Returns 0, or -1 (no pop-up file, nothing shown).
int helpContextPopup(const HELPINFO* info, const HelpTopic& topic);
