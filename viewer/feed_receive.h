// The viewer's side of the feed: which initiate it accepts, what each message
// means while a decode waits for data, and when it ends the conversation.
#pragma once
#include <string>

#include "viewer/feed_os.h"

enum class FeedPhase {
  Unused,       // no feed accepted yet (offline, or real-time and still waiting)
  Fed,          // the sender's conversation is open
  SenderEnded,  // the sender said the file is complete; the rest is read without waiting
  Over,         // this process has served its one feed
};

// What the platform's wait loop found in its queue.
enum class FeedEvent { None, Open, Exit, Initiate, Terminate, Execute, Other };

// Results of the wait for data (also the block reader's failures).
enum WaitResult : int {
  WAIT_AGAIN = 1,       // keep taking messages
  WAIT_BLOCK = 0,       // one more block may be read
  WAIT_CLOSE = -2,      // the window is closing
  WAIT_OPEN = -3,       // the user asked for another file
  WAIT_COMPLETE = -4,   // the sender ended: read the rest without waiting
  WAIT_WITHDRAWN = -5,  // the sender ended before the first block: chose another viewer
};

struct FeedReceiver {
  FeedPhase phase = FeedPhase::Unused;
  FeedWindow self = 0;    // the viewer's own window
  FeedWindow sender = 0;  // the window that started the feed
  std::string path;       // the file named by the initiate
  bool fedDecode = false;       // the running decode reads a feed (else a file from Open)
  bool closeRequested = false;  // the window was closed during a decode
  int blocksAcknowledged = 0;
};

// The one receiver of the viewer process.
extern FeedReceiver viewerFeed;

void feedReceiverReset(FeedReceiver& r, FeedWindow self);
// An initiate: true when accepted (the caller then answers and starts decoding).
bool feedAcceptInitiate(FeedReceiver& r, const std::string& application, const std::string& topic,
                        FeedWindow sender);
// One message taken while a decode waits; WAIT_AGAIN asks for the next one.
// Offline decodes look at one message at most.
int feedWaitStep(FeedReceiver& r, FeedEvent event, FeedWindow from);
// The fed decode has ended: the viewer ends the conversation if still open.
void feedDecodeFinished(FeedReceiver& r);
// The sender's terminate outside a decode, and the window closing. A
// terminate before any block withdraws the feed: the viewer may serve another.
void feedTerminated(FeedReceiver& r, FeedWindow from);
void feedWindowClosing(FeedReceiver& r);
bool feedOpen(const FeedReceiver& r);
