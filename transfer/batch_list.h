// The batch list: the full paths the batch senders walk in order, one slot of
// 260 bytes each, built by the BATCHLIST dialog (or a tool's command line).
#pragma once
#include <vector>

#include "transfer/transfer_settings.h"

struct BatchSlot {
  char path[TRANSFER_PATH_MAX];
};

struct BatchList {
  std::vector<BatchSlot> slots;
};

// Empties the list.
void batchClear(BatchList& list);
// Appends path; -1 (nothing added) when it does not fit a slot or memory runs out.
int batchAdd(BatchList& list, const char* path);
int batchCount(const BatchList& list);
// The path of slot i, or "" outside the list.
const char* batchPath(const BatchList& list, int i);
