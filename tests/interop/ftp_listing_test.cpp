// Real listings: LIST of one fixture tree from each of the four servers,
// fetched with curl and read by tools/ftplist as a Unix listing.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "tests/support/ftp_peers.h"
#include "tests/support/peers.h"
#include "tests/support/tool_runner.h"

namespace {
struct Shown {
  std::string kind, size, date;
};

// NAME -> entry, from ftplist's lines (a name may hold a tab: the kind is the
// first field and size and date the last two).
std::map<std::string, Shown> parseView(const std::string& text, std::vector<std::string>* order) {
  std::map<std::string, Shown> entries;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    size_t a = line.find('\t'), c = line.rfind('\t'), b = line.rfind('\t', c - 1);
    if (a == std::string::npos || b <= a) continue;
    std::string name = line.substr(a + 1, b - a - 1);
    entries[name] = Shown{line.substr(0, a), line.substr(b + 1, c - b - 1), line.substr(c + 1)};
    order->push_back(line.substr(0, a));
  }
  return entries;
}

class RealListing : public ::testing::TestWithParam<FtpServerKind> {};

TEST_P(RealListing, EveryEntryOfTheTree) {
  FtpPeer peer;
  std::string why;
  ASSERT_TRUE(ftpPeerStart(GetParam(), &peer, &why)) << why;
  std::string path = peer.treePath == "/" ? "/" : "/%2F" + peer.treePath.substr(1) + "/";
  std::string raw, err;
  std::string cmd = "curl -s -S --max-time 20 --user peertest:peerpass ftp://127.0.0.1:" +
                    std::to_string(peer.port) + path;
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) raw.append(buf, n);
  EXPECT_EQ(pclose(p), 0) << cmd;
  ftpPeerStop(&peer);

  std::string out;
  ASSERT_EQ(runTool("ftplist", "--system 1", &out, &err, raw), 0) << err;
  std::vector<std::string> order;
  std::map<std::string, Shown> view = parseView(out, &order);
  struct {
    std::string name, kind, size, date;
  } expected[] = {
      {"sub", "dir", "", ftpRecentDate()},
      {"link -> readme.txt", "dir", "10", ""},
      {"with space.txt", "file", "7", ftpRecentDate()},
      {"tab\tname", "file", "4", ""},
      {ftpLongName(), "file", "5", ""},
      {"huge.bin", "file", "5368709120", ftpRecentDate()},
      {"old.txt", "file", "4", "Feb 03 2001"},
      {"size1025.bin", "file", "1025", ""},
  };
  // pure-ftpd leaves names with control characters out of its listings.
  const bool tabShown = GetParam() != FTP_PUREFTPD;
  for (auto& e : expected) {
    if (e.name == "tab\tname" && !tabShown) continue;
    auto it = view.find(e.name);
    ASSERT_NE(it, view.end()) << peer.name << " lacks " << e.name << " in\n" << raw;
    EXPECT_EQ(it->second.kind, e.kind) << e.name;
    if (!e.size.empty()) {
      EXPECT_EQ(it->second.size, e.size) << e.name;
    }
    if (!e.date.empty()) {
      EXPECT_EQ(it->second.date, e.date) << e.name;
    }
  }
  EXPECT_EQ(view.size(), tabShown ? 15u : 14u) << raw;
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end(), [](const std::string& x, const std::string& y) {
    return x == "dir" && y != "dir";
  })) << "directories come first";
}

INSTANTIATE_TEST_SUITE_P(Servers, RealListing,
                         ::testing::Values(FTP_VSFTPD, FTP_PROFTPD, FTP_PUREFTPD, FTP_PYFTPDLIB),
                         [](const auto& info) {
                           std::string n = ftpServerName(info.param);
                           return n == "pure-ftpd" ? std::string("pureftpd") : n;
                         });
}  // namespace
