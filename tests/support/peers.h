// Starting and stopping real peers for tests: on loopback TCP ports chosen at
// run time or on a pseudo-terminal, with bounded waits, stopped by process id.
#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

// A port on 127.0.0.1 that was free a moment ago.
int freeTcpPort();
// A socket listening on a free port of host (127.0.0.1 unless given), its port
// in *port; -1 when none could be had.
int tcpListen(int* port, unsigned long host = 0x7F000001);
// Starts argv[0] (looked up in PATH) in its own process group, with its output
// in the log file under the build folder. Returns its pid, or -1.
pid_t peerStart(const std::vector<std::string>& argv, const std::string& logName = "peer");
// Starts argv on the slave side of a new pseudo-terminal (raw, no echo, and
// the input flags given) as its controlling terminal; *master receives our
// side, whose settings read as the slave's. Returns its pid, or -1.
pid_t peerStartOnPty(const std::vector<std::string>& argv, int* master, unsigned inputFlags = 0);
// Waits until something listens on 127.0.0.1:port (read from the socket table,
// so a one-shot listener is not used up). False after timeoutMs.
bool waitListening(int port, int timeoutMs);
// Stops the process group of pid: SIGTERM, then SIGKILL after a grace period,
// and reaps it. Safe to call with -1 or twice.
void peerStop(pid_t pid);
// Whether pid has exited (reaping it if so).
bool peerExited(pid_t pid);
// A connected TCP socket to 127.0.0.1:port, or -1. localPort > 0 binds the
// source port first (Rlogin servers want one below 1024).
int tcpConnect(int port, int localPort = 0);
// Paths inside the source and build folders.
std::string sourcePath(const std::string& relative);
std::string buildPath(const std::string& relative);
// buildPath(relative) emptied (or made) with the given empty folders inside;
// returns its path.
std::string freshBuildDir(const std::string& relative, const std::vector<std::string>& inside = {});

// Stops its peer when it goes out of scope.
struct PeerGuard {
  pid_t pid = -1;
  explicit PeerGuard(pid_t p) : pid(p) {}
  PeerGuard(const PeerGuard&) = delete;
  PeerGuard& operator=(const PeerGuard&) = delete;
  ~PeerGuard() { peerStop(pid); }
};
