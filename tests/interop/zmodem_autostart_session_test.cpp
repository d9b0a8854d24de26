// The auto-start end to end on the host: a loopback Telnet host (BINARY, 0xFF
// doubled) runs sz after a prompt; tools/session, with ZMODEM selected and no
// step asking for a transfer, finds the file of all 256 byte values in its
// download folder. A host printing "**" and CAN in text delivers nothing and
// its text stays on the screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/peers.h"
#include "tests/support/file_text.h"
#include "tests/support/tool_runner.h"

namespace {
}  // namespace

TEST(ZmodemAutoStartSession, HostStartsASendAndTheFileArrives) {
  struct Case {
    const char* name;
    const char* script;  // run by the host's shell
    bool delivers;
  };
  const Case kCases[] = {
      {"sz", "echo ready; sz -q all.bin; echo after", true},
      {"art", "printf 'art **\\030 stars and CAN **\\030\\030 after\\n'", false},
  };
  for (const Case& c : kCases) {
    std::string dir = buildPath(std::string("zmodem-autostart/") + c.name);
    std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "/down'").c_str());
    std::string data;
    for (int i = 0; i < 400 * 256; ++i) data.push_back(static_cast<char>(i & 0xFF));
    std::ofstream(dir + "/all.bin", std::ios::binary) << data;
    int port = freeTcpPort();
    pid_t host = peerStart({"/usr/bin/python3", sourcePath("tests/support/telnet_binary_host.py"),
                            std::to_string(port), dir, "sh", "-c", c.script},
                           "zmodem-autostart");
    ASSERT_TRUE(host > 0 && waitListening(port, 5000));
    std::string out, err;
    runTool("session", "--host 127.0.0.1 --port " + std::to_string(port) + " --zmodem-dir '" + dir +
                           "/down' --timeout 20 --wait after",
            &out, &err);
    peerStop(host);
    EXPECT_NE(out.find("after"), std::string::npos) << c.name << ": " << out << err;
    if (c.delivers) {
      EXPECT_NE(err.find("zmodem receive complete"), std::string::npos) << err;
      EXPECT_TRUE(readFile(dir + "/down/all.bin") == data) << "the file is not byte-identical";
    } else {
      EXPECT_EQ(err.find("zmodem receive"), std::string::npos) << err;
      EXPECT_NE(out.find("art"), std::string::npos) << out;
    }
  }
}
