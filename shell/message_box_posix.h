// Host message box: records what would have been shown and answers with a
// value the test chooses.
#pragma once
#include <string>
#include <vector>

struct ShownMessage {
  int id;            // string-table number, 0 for a plain text
  std::string text;  // the full text as shown
  unsigned style;
  std::string title = "Message";
};

const std::vector<ShownMessage>& messagesShown();
void messagesClear();
// Beeps sounded since the last messagesClear().
int beepsSounded();
// The answer every following message box returns (ANSWER_OK by default).
void messageSetAnswer(int answer);
