// The sending side of the feed: the programs that receive files start the
// viewer for a JPEG and announce every block they append to it.
//
// Receivers call, with the window that gets the viewer's answers (the
// transfer dialog) as client:
//   feedWanted(name, realtime)  whether to feed this file at all
//   FeedStart(client, path)     once the local file exists (written with read sharing)
//   FeedBlock(client)           after each 1024-byte block is written and the file closed
//   FeedEnd(client)             when the file's transfer ends for any reason
// or, for receivers whose writes are not 1024 bytes each, instead of the last two:
//   FeedWritten(client, size)   after any write (file closed), size = bytes in the file
//   FeedComplete(client, size)  when the file is complete (announces the short last block)
// and pass the client window's feed messages to feedAnswerMessage
// (feed_send_win32.h), which calls FeedAnswer.
#pragma once
#include <cstdint>
#include <string>

#include "viewer/feed_os.h"

enum class FeedSendState {
  Idle,       // no feed
  Initiated,  // the initiate is being broadcast
  Feeding,    // a viewer accepted; blocks are announced to it
};

struct FeedSender {
  FeedSendState state = FeedSendState::Idle;
  FeedWindow client = 0;
  FeedWindow viewer = 0;
  int blocksAnnounced = 0;
  int64_t bytesAnnounced = 0;  // for FeedWritten: whole blocks announced so far
  int acknowledgements = 0;
  uint32_t lastAnswerTick = 0;
  std::string viewerCommand;  // "<dir>\sorlin32.exe" 0, its last character set per start
};

// The one sender of a program.
extern FeedSender feedSender;

// A viewer that has not acknowledged for this long with blocks outstanding
// is given up (it may have crashed without a terminate).
constexpr uint32_t FEED_ANSWER_TIMEOUT_MS = 30000;

// Builds the viewer's command line for a program directory, quoted so that
// blanks in the directory name do not start another program.
std::string viewerCommandLine(const std::string& programDirectory);
// A file is fed when the realtime option is on and its upper-cased name
// contains ".JPG" anywhere.
bool feedWanted(const std::string& fileName, bool realtime);

// Returns 0 when a viewer accepted the feed, -1 when the viewer could not be
// started (message shown), -2 when no viewer answered.
int FeedStart(FeedWindow client, const std::string& localPath);
void FeedBlock(FeedWindow client);
void FeedEnd(FeedWindow client);
// Announces each complete 1024-byte block of a file that now holds size bytes.
void FeedWritten(FeedWindow client, int64_t size);
// The file is complete at size bytes: its remaining blocks, the short last
// one (possibly empty), then the end of the feed.
void FeedComplete(FeedWindow client, int64_t size);
// The viewer's acknowledgement or terminate, sent to client by window from.
void FeedAnswer(FeedMessage message, FeedWindow from);
// "View JPEG Offline": the viewer with "0".
void feedViewOffline();
