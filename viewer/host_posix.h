// Host builds only: what tools and tests see of, and script into, the
// platform side of the viewer and the feed.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "viewer/feed_os.h"
#include "viewer/feed_receive.h"

// The wait for data takes its messages from this script (nullptr: none
// waiting, so offline decodes go on and fed decodes read to the end).
void viewerWaitScript(std::function<FeedEvent(FeedWindow* from)> next);

// Progress titles the decode set, one per change, and palette failures to fake.
const std::vector<std::string>& viewerTitles();
void viewerOutputClear();

// What the feed asked of the platform, in order.
struct FeedCall {
  std::string what;  // "run", "atom+", "atom-", "initiate", "post"
  std::string text;  // command line or atom name
  FeedWindow to = 0;
  FeedWindow from = 0;
  FeedMessage message = FEED_INITIATE;
};
const std::vector<FeedCall>& feedCalls();
void feedCallsClear();
// The result WinExec gives (33 by default) and which windows exist.
void feedSetRunResult(int result);
void feedSetWindowAlive(FeedWindow window, bool alive);
// Called inside the broadcast with the atoms' texts; answers go to FeedAnswer.
void feedSetBroadcastAnswer(std::function<void(FeedWindow client, const std::string& application,
                                               const std::string& topic)> answer);
int feedAtomsAlive();
