#include "shell/message_box_posix.h"

#include "shell/message_box.h"

static std::vector<ShownMessage> shown;
static int answer = ANSWER_OK;
static int beeps = 0;

const std::vector<ShownMessage>& messagesShown() { return shown; }
void messagesClear() {
  shown.clear();
  answer = ANSWER_OK;
  beeps = 0;
}
void messageSetAnswer(int a) { answer = a; }

int messageBox(int id, const char* extra, unsigned style) {
  return messageBoxTitled(id, extra, MESSAGE_TITLE, style);
}

int messageBoxTitled(int id, const char* extra, const char* title, unsigned style) {
  std::string text = messageText(id);
  if (extra) text += extra;
  shown.push_back({id, text, style, title ? title : MESSAGE_TITLE});
  return answer;
}

void messageBeep() { ++beeps; }
int beepsSounded() { return beeps; }

int messageBoxText(const char* text, unsigned style) {
  shown.push_back({0, text ? text : "", style});
  return answer;
}
