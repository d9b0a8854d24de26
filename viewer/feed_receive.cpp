#include "viewer/feed_receive.h"

#include "viewer/viewer_text.h"

FeedReceiver viewerFeed;

namespace {
// Atom texts stop at 255 characters, and so does the viewer's path.
constexpr size_t MAX_PATH_TEXT = 255;

void setPhase(FeedReceiver& r, FeedPhase next) { r.phase = next; }

bool fromSender(const FeedReceiver& r, FeedWindow from) { return from == r.sender; }
}  // namespace

void feedReceiverReset(FeedReceiver& r, FeedWindow self) {
  r = FeedReceiver{};
  r.self = self;
}

bool feedOpen(const FeedReceiver& r) { return r.phase == FeedPhase::Fed; }

bool feedAcceptInitiate(FeedReceiver& r, const std::string& application, const std::string& topic,
                        FeedWindow sender) {
  if (r.phase != FeedPhase::Unused || application != FEED_APPLICATION || topic.empty() || sender == 0)
    return false;
  r.path = topic.substr(0, MAX_PATH_TEXT);
  r.sender = sender;
  r.blocksAcknowledged = 0;
  setPhase(r, FeedPhase::Fed);
  return true;
}

int feedWaitStep(FeedReceiver& r, FeedEvent event, FeedWindow from) {
  if (r.closeRequested) return WAIT_CLOSE;
  switch (event) {
    case FeedEvent::Open:
      return WAIT_OPEN;
    case FeedEvent::Exit:
      return WAIT_CLOSE;
    case FeedEvent::Terminate:
      if (!r.fedDecode || !feedOpen(r) || !fromSender(r, from)) break;
      if (r.blocksAcknowledged == 0) {
        setPhase(r, FeedPhase::Unused);
        return WAIT_WITHDRAWN;
      }
      setPhase(r, FeedPhase::SenderEnded);
      return WAIT_COMPLETE;
    case FeedEvent::Execute:
      // An announcement from anyone but our sender, or after the conversation
      // closed, names no block of this file.
      if (!r.fedDecode || !feedOpen(r) || !fromSender(r, from)) break;
      feedPost(r.sender, FEED_ACK, r.self);
      ++r.blocksAcknowledged;
      return WAIT_BLOCK;
    case FeedEvent::Initiate:  // a second feed is never served
    case FeedEvent::Other:
    case FeedEvent::None:
      break;
  }
  if (r.closeRequested) return WAIT_CLOSE;
  return r.fedDecode ? WAIT_AGAIN : WAIT_BLOCK;
}

void feedDecodeFinished(FeedReceiver& r) {
  if (r.phase == FeedPhase::Fed) feedPost(r.sender, FEED_TERMINATE, r.self);
  if (r.phase != FeedPhase::Unused) setPhase(r, FeedPhase::Over);
  r.fedDecode = false;
}

void feedTerminated(FeedReceiver& r, FeedWindow from) {
  if (feedOpen(r) && fromSender(r, from)) setPhase(r, r.blocksAcknowledged == 0 ? FeedPhase::Unused : FeedPhase::Over);
}

void feedWindowClosing(FeedReceiver& r) {
  if (feedOpen(r)) feedPost(r.sender, FEED_TERMINATE, r.self);
  if (r.phase != FeedPhase::Unused) setPhase(r, FeedPhase::Over);
}
