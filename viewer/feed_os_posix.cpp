// The feed's platform calls on the host: recorded, with scripted answers.
#include <map>

#include "viewer/feed_os.h"
#include "viewer/host_posix.h"

namespace {
std::vector<FeedCall> calls;
int runResult = 33;
std::map<FeedWindow, bool> alive;
std::map<unsigned, std::string> atoms;
unsigned nextAtom = 0xC000;
std::function<void(FeedWindow, const std::string&, const std::string&)> broadcastAnswer;
}  // namespace

const std::vector<FeedCall>& feedCalls() { return calls; }
void feedCallsClear() {
  calls.clear();
  alive.clear();
  atoms.clear();
  runResult = 33;
  broadcastAnswer = nullptr;
}
void feedSetRunResult(int result) { runResult = result; }
void feedSetWindowAlive(FeedWindow window, bool isAlive) { alive[window] = isAlive; }
void feedSetBroadcastAnswer(std::function<void(FeedWindow, const std::string&, const std::string&)> answer) {
  broadcastAnswer = std::move(answer);
}
int feedAtomsAlive() { return static_cast<int>(atoms.size()); }

int feedRunProgram(const std::string& commandLine) {
  calls.push_back({"run", commandLine});
  return runResult;
}

unsigned feedAddAtom(const std::string& name) {
  calls.push_back({"atom+", name});
  if (name.empty() || name.size() > 255) return 0;
  atoms[++nextAtom] = name;
  return nextAtom;
}

void feedDeleteAtom(unsigned atom) {
  auto it = atoms.find(atom);
  calls.push_back({"atom-", it == atoms.end() ? std::string() : it->second});
  if (it != atoms.end()) atoms.erase(it);
}

void feedBroadcastInitiate(FeedWindow client, unsigned appAtom, unsigned topicAtom) {
  calls.push_back({"initiate", "", 0, client, FEED_INITIATE});
  if (broadcastAnswer && atoms.count(appAtom) && atoms.count(topicAtom))
    broadcastAnswer(client, atoms[appAtom], atoms[topicAtom]);
}

bool feedPost(FeedWindow to, FeedMessage message, FeedWindow from) {
  calls.push_back({"post", "", to, from, message});
  return feedWindowAlive(to);
}

bool feedWindowAlive(FeedWindow window) {
  auto it = alive.find(window);
  return window != 0 && (it == alive.end() || it->second);
}
