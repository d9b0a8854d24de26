#include "terminal/link.h"

static const LinkOps* attached = nullptr;

void linkAttach(const LinkOps* ops) { attached = ops; }
bool linkConnected() { return attached != nullptr; }
bool linkIsSocket() { return attached && attached->isSocket; }

int linkRead(uint8_t* buffer, int count) {
  if (!attached || !attached->read || count <= 0) return 0;
  return attached->read(buffer, count);
}

int linkWrite(const uint8_t* bytes, int length) {
  if (!attached || !attached->write) return -1;
  if (length <= 0) return 0;
  return attached->write(bytes, length);
}

int linkPoll(int* inQueue, int* outQueue) {
  if (inQueue) *inQueue = 0;
  if (outQueue) *outQueue = 0;
  if (!attached || !attached->poll) return 0;
  return attached->poll(inQueue, outQueue);
}

int linkPurge(int which) {
  if (attached && attached->purge) attached->purge(which);
  return 0;
}

void linkSetEvents(unsigned mask) {
  if (attached && attached->setEvents) attached->setEvents(mask);
}

unsigned linkModemStatus() {
  if (!attached || !attached->modemStatus) return 0;
  return attached->modemStatus();
}

void linkClose() {
  const LinkOps* ops = attached;
  attached = nullptr;
  if (ops && ops->close) ops->close();
}

void linkSetSoftwareFlow(bool input, bool output) {
  if (attached && attached->setSoftwareFlow) attached->setSoftwareFlow(input, output);
}

void linkSetTransferFormat(bool on) {
  if (attached && attached->setTransferFormat) attached->setTransferFormat(on);
}
