// The suite's message box: a string-table text by number, optionally followed
// by extra text, titled "Message". Style and result values are those of the
// platform's standard message box, so the Win32 side passes them through.
#pragma once

enum MessageStyle : unsigned {
  MSG_OK = 0x0,
  MSG_OKCANCEL = 0x1,
  MSG_YESNOCANCEL = 0x3,
  MSG_YESNO = 0x4,
  MSG_ICONSTOP = 0x10,
  MSG_ICONQUESTION = 0x20,
  MSG_ICONEXCLAMATION = 0x30,
  MSG_ICONINFORMATION = 0x40,
  MSG_TASKMODAL = 0x2000,
};

enum MessageAnswer : int {
  ANSWER_OK = 1,
  ANSWER_CANCEL = 2,
  ANSWER_YES = 6,
  ANSWER_NO = 7,
};

constexpr const char* MESSAGE_TITLE = "Message";

// Shows string-table text id (none for 0) followed by extra (may be nullptr).
// Returns the answer pressed.
int messageBox(int id, const char* extra, unsigned style);
// As messageBox with a title of the caller's choice ("Error", "Warning").
int messageBoxTitled(int id, const char* extra, const char* title, unsigned style);
// Shows a plain text.
int messageBoxText(const char* text, unsigned style);
// The default beep that goes with a refused input.
void messageBeep();
// The string-table text for id, or "" when there is none.
const char* messageText(int id);
