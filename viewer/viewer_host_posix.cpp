// The viewer's window side on the host: the wait takes scripted messages and
// the output keeps the progress titles.
#include "viewer/block_reader.h"
#include "viewer/host_posix.h"
#include "viewer/viewer_output.h"
#include "viewer/viewer_text.h"

namespace {
std::function<FeedEvent(FeedWindow*)> script;
std::vector<std::string> titles;
}  // namespace

void viewerWaitScript(std::function<FeedEvent(FeedWindow*)> next) { script = std::move(next); }

int viewerWaitData() {
  for (;;) {
    FeedWindow from = 0;
    if (!script) return viewerFeed.fedDecode ? WAIT_COMPLETE : WAIT_BLOCK;
    FeedEvent event = script(&from);
    int result = feedWaitStep(viewerFeed, event, from);
    if (result != WAIT_AGAIN) return result;
  }
}

const std::vector<std::string>& viewerTitles() { return titles; }
void viewerOutputClear() { titles.clear(); }

void viewerOutputStart(ViewerImage&) {}
int viewerOutputPalette(ViewerImage& image) { return image.colours > 0 ? 0 : -1; }

void viewerOutputRows(ViewerImage& image, int, int) {
  std::string title = progressTitle("", image.rowsDone, image.height);
  if (titles.empty() || titles.back() != title) titles.push_back(title);
}
