// Host recorder behind notice.h.
#pragma once
#include <string>
#include <vector>

struct NoticeLog {
  std::vector<std::string> texts;   // every text shown or asked, in order
  std::vector<std::string> titles;
  bool answerYes = true;            // the answer every question gets
  bool captureChecked = false;
  bool transparentChecked = false;
};

NoticeLog& noticeLog();
