#include "viewer/feed_send.h"

#include "shell/message_box.h"
#include "shell/program_dir.h"
#include "shell/pump.h"
#include "viewer/viewer_image.h"
#include "viewer/viewer_text.h"

FeedSender feedSender;

namespace {
void setState(FeedSender& s, FeedSendState next) {
  s.state = next;
  if (next == FeedSendState::Idle) s.viewer = 0;
}

int runViewer(FeedSender& s, char mode) {
  if (s.viewerCommand.empty()) s.viewerCommand = viewerCommandLine(programDir());
  s.viewerCommand.back() = mode;
  return feedRunProgram(s.viewerCommand);
}

// Gives up a viewer that vanished or stopped answering for too long.
bool viewerGone(FeedSender& s) {
  if (!feedWindowAlive(s.viewer)) return true;
  bool outstanding = s.acknowledgements < s.blocksAnnounced;
  return outstanding && clockTicks() - s.lastAnswerTick > FEED_ANSWER_TIMEOUT_MS;
}
}  // namespace

std::string viewerCommandLine(const std::string& programDirectory) {
  std::string dir = programDirectory;
  while (!dir.empty() && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
  return "\"" + dir + "\\sorlin32.exe\" 0";
}

bool feedWanted(const std::string& fileName, bool realtime) { return realtime && hasJpgMark(fileName); }

int FeedStart(FeedWindow client, const std::string& localPath) {
  FeedSender& s = feedSender;
  if (s.state != FeedSendState::Idle) FeedEnd(s.client);
  if (runViewer(s, '1') < 32) {
    messageBoxText(TEXT_VIEWER_FAILED, MSG_OK | MSG_TASKMODAL);
    return -1;
  }
  s.client = client;
  s.viewer = 0;
  s.blocksAnnounced = 0;
  s.bytesAnnounced = 0;
  s.acknowledgements = 0;
  s.lastAnswerTick = clockTicks();
  unsigned app = feedAddAtom(FEED_APPLICATION);
  unsigned topic = feedAddAtom(localPath);
  setState(s, FeedSendState::Initiated);
  if (app && topic) feedBroadcastInitiate(client, app, topic);
  // The viewer reads the names while answering, inside the broadcast; only
  // now may the atoms go, also when nobody answered.
  if (app) feedDeleteAtom(app);
  if (topic) feedDeleteAtom(topic);
  if (s.state == FeedSendState::Initiated) setState(s, FeedSendState::Idle);
  return s.state == FeedSendState::Feeding ? 0 : -2;
}

void FeedAnswer(FeedMessage message, FeedWindow from) {
  FeedSender& s = feedSender;
  if (message == FEED_ACK) {
    if (s.state == FeedSendState::Initiated) {
      s.viewer = from;
      s.lastAnswerTick = clockTicks();
      setState(s, FeedSendState::Feeding);
    } else if (s.state == FeedSendState::Feeding && from == s.viewer) {
      ++s.acknowledgements;
      s.lastAnswerTick = clockTicks();
    } else if (s.state == FeedSendState::Feeding && from != 0) {
      // Another viewer answered the same broadcast: tell it that it was not
      // chosen, or it waits for blocks forever.
      feedPost(from, FEED_TERMINATE, s.client);
    }
  } else if (message == FEED_TERMINATE && s.state == FeedSendState::Feeding && from == s.viewer) {
    setState(s, FeedSendState::Idle);
  }
}

void FeedBlock(FeedWindow client) {
  FeedSender& s = feedSender;
  if (s.state != FeedSendState::Feeding || client != s.client) return;
  if (viewerGone(s)) {
    feedPost(s.viewer, FEED_TERMINATE, s.client);
    setState(s, FeedSendState::Idle);
    return;
  }
  if (feedPost(s.viewer, FEED_EXECUTE, client)) ++s.blocksAnnounced;
}

void FeedEnd(FeedWindow client) {
  FeedSender& s = feedSender;
  if (s.state != FeedSendState::Feeding || client != s.client) return;
  feedPost(s.viewer, FEED_TERMINATE, client);
  setState(s, FeedSendState::Idle);
}

void FeedWritten(FeedWindow client, int64_t size) {
  FeedSender& s = feedSender;
  while (s.state == FeedSendState::Feeding && client == s.client && size - s.bytesAnnounced >= 1024) {
    s.bytesAnnounced += 1024;
    FeedBlock(client);
  }
}

void FeedComplete(FeedWindow client, int64_t size) {
  FeedWritten(client, size);
  FeedSender& s = feedSender;
  if (s.state != FeedSendState::Feeding || client != s.client) return;
  s.bytesAnnounced = size;
  FeedBlock(client);
  FeedEnd(client);
}

void feedViewOffline() { runViewer(feedSender, '0'); }
