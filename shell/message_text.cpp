#include "shell/message_box.h"

namespace {
struct StringEntry {
  int id;
  const char* text;
};
#define STRING(id, text) {id, text},
const StringEntry table[] = {
#include "shell/strings.def"
    {0, ""}};
#undef STRING
}  // namespace

const char* messageText(int id) {
  if (id == 0) return "";
  for (const StringEntry& e : table)
    if (e.id == id) return e.text;
  return "";
}
