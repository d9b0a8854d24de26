// What the transfer interop tests share: a fresh work folder with "in" and
// "out", files of distinct bytes, and two commands run against each other
// through socat (a socketpair on each side).
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/file_text.h"
#include "tests/support/peers.h"

// Sizes around the block boundaries, and one that wraps the block number.
const std::vector<int> kTransferSizes = {0, 1, 127, 128, 129, 1023, 1024, 1025, 300000};

inline std::string transferWorkDir(const std::string& name) {
  std::string dir = buildPath("transfer-interop/" + name);
  std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "/in' '" + dir + "/out'").c_str());
  return dir;
}

// Different bytes in every file, 0xFF and the control bytes included.
inline std::string makeFile(const std::string& path, int size, int salt) {
  std::string data = pseudoRandom(static_cast<size_t>(size), 0x9E3779B9u * static_cast<uint32_t>(salt + 1));
  writeFile(path, data);
  return data;
}

// Runs the two commands against each other; returns our tool's exit status
// from the "status" file it leaves (-1 when it left none). socat's own status
// is not ours: a streaming sender may leave before our last ACK. socat closes
// the other side half a second after one side ends by default; on a busy
// machine that cut our tool off before it wrote its status, so it gets five.
inline int runPair(const std::string& dir, const std::string& left, const std::string& right) {
  std::remove((dir + "/status").c_str());
  std::string cmd = "cd '" + dir + "' && timeout 120 socat -t 5 SYSTEM:\"" + left + "\" SYSTEM:\"" + right +
                    "\" 2>>'" + dir + "/socat.log'";
  std::system(cmd.c_str());
  std::string status = readFile(dir + "/status");
  return status.empty() ? -1 : std::atoi(status.c_str());
}
