#include "transfer/batch_list.h"

#include <cstring>
#include <new>

void batchClear(BatchList& list) { list.slots.clear(); }

int batchAdd(BatchList& list, const char* path) {
  if (!path || !path[0]) return -1;
  size_t length = std::strlen(path);
  if (length >= sizeof(BatchSlot::path)) return -1;
  BatchSlot slot{};
  std::memcpy(slot.path, path, length);
  try {
    list.slots.push_back(slot);
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return static_cast<int>(list.slots.size());
}

int batchCount(const BatchList& list) { return static_cast<int>(list.slots.size()); }

const char* batchPath(const BatchList& list, int i) {
  if (i < 0 || i >= batchCount(list)) return "";
  return list.slots[static_cast<size_t>(i)].path;
}
