#include "shell/program_dir.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

static std::string directory;

void setProgramDir(const std::string& dir) { directory = dir; }

const std::string& programDir() {
  if (directory.empty()) {
    std::error_code ec;
    directory = fs::current_path(ec).string();
    if (ec || directory.empty()) directory = ".";
  }
  return directory;
}

std::string programPath(const std::string& fileName) {
  return (fs::path(programDir()) / fileName).string();
}
