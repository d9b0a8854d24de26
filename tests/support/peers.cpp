#include "tests/support/peers.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <pty.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#ifndef SUITE_SOURCE_DIR
#define SUITE_SOURCE_DIR "."
#endif
#ifndef SUITE_BUILD_DIR
#define SUITE_BUILD_DIR "build"
#endif

std::string sourcePath(const std::string& relative) { return std::string(SUITE_SOURCE_DIR) + "/" + relative; }
std::string buildPath(const std::string& relative) { return std::string(SUITE_BUILD_DIR) + "/" + relative; }

std::string freshBuildDir(const std::string& relative, const std::vector<std::string>& inside) {
  std::string dir = buildPath(relative), command = "rm -rf '" + dir + "' && mkdir -p '" + dir + "'";
  for (const std::string& sub : inside) command += " '" + dir + "/" + sub + "'";
  return std::system(command.c_str()) == 0 ? dir : "";
}

static sockaddr_in loopback(int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  return a;
}

int tcpListen(int* port, unsigned long host) {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a = loopback(0);
  a.sin_addr.s_addr = htonl(static_cast<uint32_t>(host));
  socklen_t len = sizeof a;
  if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) < 0 || listen(s, 1) < 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) < 0) {
    if (s >= 0) close(s);
    return -1;
  }
  *port = ntohs(a.sin_port);
  return s;
}

int freeTcpPort() {
  int port = -1, s = tcpListen(&port);
  if (s >= 0) close(s);
  return port;
}

// Full path of an installed program, or "" when it is missing.
static std::string findProgram(const std::string& name) {
  if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : "";
  const char* path = getenv("PATH");
  std::string dirs = std::string(path ? path : "") + ":/usr/sbin:/sbin:/usr/bin:/bin";
  std::stringstream ss(dirs);
  std::string dir;
  while (std::getline(ss, dir, ':')) {
    if (dir.empty()) continue;
    std::string full = dir + "/" + name;
    if (access(full.c_str(), X_OK) == 0) return full;
  }
  return "";
}

// The program's full path and its argument vector; false (after a note) when
// the program is not installed.
static bool execArgs(const std::vector<std::string>& argv, std::string* program, std::vector<char*>* args) {
  *program = argv.empty() ? "" : findProgram(argv[0]);
  if (program->empty()) {
    fprintf(stderr, "peer program not installed: %s (run tools/setup)\n", argv.empty() ? "" : argv[0].c_str());
    return false;
  }
  for (const std::string& s : argv) args->push_back(const_cast<char*>(s.c_str()));
  args->push_back(nullptr);
  return true;
}

pid_t peerStart(const std::vector<std::string>& argv, const std::string& logName) {
  std::string program;
  std::vector<char*> args;
  if (!execArgs(argv, &program, &args)) return -1;
  std::string logs = buildPath("logs");
  mkdir(logs.c_str(), 0755);
  std::string log = logs + "/" + logName + ".log";
  pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    setpgid(0, 0);
    int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    int null = open("/dev/null", O_RDONLY);
    if (null >= 0) dup2(null, 0);
    if (fd >= 0) {
      dup2(fd, 1);
      dup2(fd, 2);
    }
    execv(program.c_str(), args.data());
    _exit(127);
  }
  setpgid(pid, pid);
  return pid;
}

pid_t peerStartOnPty(const std::vector<std::string>& argv, int* master, unsigned inputFlags) {
  std::string program;
  std::vector<char*> args;
  if (!master || !execArgs(argv, &program, &args)) return -1;
  termios raw{};
  cfmakeraw(&raw);
  raw.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  raw.c_iflag |= inputFlags;
  int m = -1;
  pid_t pid = forkpty(&m, nullptr, &raw, nullptr);
  if (pid < 0) return -1;
  if (pid == 0) {
    execv(program.c_str(), args.data());
    _exit(127);
  }
  *master = m;
  return pid;
}

bool waitListening(int port, int timeoutMs) {
  char want[16];
  snprintf(want, sizeof want, ":%04X", port);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
      std::ifstream in(table);
      std::string line;
      std::getline(in, line);
      while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        if (state == "0A" && local.size() >= 5 && local.compare(local.size() - 5, 5, want) == 0) return true;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

bool peerExited(pid_t pid) {
  if (pid <= 0) return true;
  int status = 0;
  pid_t r = waitpid(pid, &status, WNOHANG);
  return r == pid || (r < 0 && errno == ECHILD);
}

void peerStop(pid_t pid) {
  if (pid <= 0) return;
  if (peerExited(pid)) {
    kill(-pid, SIGKILL);  // children it left behind in its group
    return;
  }
  kill(-pid, SIGTERM);
  kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (peerExited(pid)) {
      kill(-pid, SIGKILL);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(-pid, SIGKILL);
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
}

int tcpConnect(int port, int localPort) {
  int s = socket(AF_INET, SOCK_STREAM, 0);
  if (s < 0) return -1;
  int one = 1;
  sockaddr_in local = loopback(localPort), a = loopback(port);
  if (localPort > 0 && (setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one),
                        bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) < 0)) {
    close(s);
    return -1;
  }
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) < 0) {
    close(s);
    return -1;
  }
  return s;
}
