// Processes and the feed: what the feed's two sides ask of the platform. The
// programs get window messages, global atoms and WinExec; host builds get a
// recorder that tests read and script.
#pragma once
#include <cstdint>
#include <string>

// A window handle carried as a number, so that portable code can hold one.
using FeedWindow = uintptr_t;

// The feed's messages; the numbers are those of the DDE messages they borrow.
enum FeedMessage : unsigned {
  FEED_INITIATE = 0x3E0,
  FEED_TERMINATE = 0x3E1,
  FEED_ACK = 0x3E4,
  FEED_EXECUTE = 0x3E8,
};

// Starts a program; the result is WinExec's (32 or more means started).
int feedRunProgram(const std::string& commandLine);
// Global atoms: 0 when none could be made.
unsigned feedAddAtom(const std::string& name);
void feedDeleteAtom(unsigned atom);
// Sends the initiate to every top-level window and returns once all have
// answered or been skipped as hung. Answers arrive through FeedAnswer meanwhile.
void feedBroadcastInitiate(FeedWindow client, unsigned appAtom, unsigned topicAtom);
// Posts one of the feed's messages from one window to another.
bool feedPost(FeedWindow to, FeedMessage message, FeedWindow from);
// Whether a window still exists.
bool feedWindowAlive(FeedWindow window);
