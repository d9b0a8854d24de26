#include "terminal/notice.h"
#include "terminal/notice_posix.h"

NoticeLog& noticeLog() {
  static NoticeLog log;
  return log;
}

void noticeShow(const char* text, const char* title) {
  noticeLog().texts.push_back(text);
  noticeLog().titles.push_back(title);
}

bool noticeAskYes(const char* text) {
  noticeLog().texts.push_back(text);
  noticeLog().titles.push_back("Message");
  return noticeLog().answerYes;
}

void noticeCaptureChanged(bool on) { noticeLog().captureChecked = on; }
void noticeTransparentChanged(bool on) { noticeLog().transparentChecked = on; }
