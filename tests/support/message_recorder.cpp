#include "tests/support/message_recorder.h"

#include "shell/message_box.h"

static std::vector<ShownMessage> shown;
static int answer = ANSWER_OK;

const std::vector<ShownMessage>& messagesShown() { return shown; }
void messagesClear() {
  shown.clear();
  answer = ANSWER_OK;
}
void messageSetAnswer(int a) { answer = a; }

int messageBox(int id, const char* extra, unsigned style) {
  std::string text = messageText(id);
  if (extra) text += extra;
  shown.push_back({id, text, style});
  return answer;
}

int messageBoxText(const char* text, unsigned style) {
  shown.push_back({0, text ? text : "", style});
  return answer;
}

int messageBoxTitled(const char* text, const char* title, unsigned style) {
  shown.push_back({0, text ? text : "", style, title ? title : MESSAGE_TITLE});
  return answer;
}
