// Arbitrary files into uudecode (a first file and up to two continuation
// parts) and the line-end conversions: no overrun, and nothing is written
// outside the folder of the inputs.
//
// Input: a flag byte (bit 0 answers Yes to the over-long question, bits 1-2
// the number of parts), then the parts separated by 0xFF 0x00 0xFF.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "shell/message_box.h"
#include "shell/message_box_posix.h"
#include "transfer/text_convert.h"
#include "tests/support/file_text.h"
#include "transfer/uucode.h"

namespace {
std::string root, inside;

// Empties dir; returns how many entries it held.
int clearDir(const std::string& dir) {
  int count = 0;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      ++count;
      std::string p = dir + "/" + e->d_name;
      if (unlink(p.c_str()) != 0) rmdir(p.c_str());
    }
    closedir(d);
  }
  return count;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/fuzz-text-XXXXXX";
  if (!mkdtemp(pattern)) std::abort();
  root = pattern;
  inside = root + "/in";
  mkdir(inside.c_str(), 0700);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<std::string> parts;
  const std::string separator("\xff\x00\xff", 3);
  size_t at = 0, next;
  while ((next = rest.find(separator, at)) != std::string::npos && parts.size() < 2) {
    parts.push_back(rest.substr(at, next - at));
    at = next + separator.size();
  }
  parts.push_back(rest.substr(at));
  int wanted = 1 + ((data[0] >> 1) & 3) % 3;
  BatchList list;
  for (int i = 0; i < wanted && i < static_cast<int>(parts.size()); ++i) {
    std::string path = inside + "/p" + std::to_string(i) + ".uue";
    writeFile(path, parts[static_cast<size_t>(i)]);
    batchAdd(list, path.c_str());
  }
  messagesClear();
  messageSetAnswer((data[0] & 1) ? ANSWER_YES : ANSWER_NO);
  uudecodeCommand(list);
  convertBatch(list, true);
  convertBatch(list, false);
  // Whatever the names in the files said, the only writes are beside the inputs.
  if (clearDir(root) != 1) std::abort();
  clearDir(inside);
  return 0;
}
