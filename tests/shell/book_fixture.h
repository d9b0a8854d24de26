// A fresh program directory per test, with the message recorder and the
// settings store emptied; everything is removed afterwards.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "shell/message_box_posix.h"
#include "shell/program_dir.h"
#include "shell/settings_posix.h"

class BookDirTest : public ::testing::Test {
 protected:
  std::filesystem::path dir;

  void SetUp() override {
    char pattern[] = "/tmp/bookdir-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    setProgramDir(dir.string());
    messagesClear();
    settingsReset();
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  std::string path(const std::string& file) const { return (dir / file).string(); }

  std::vector<uint8_t> fileBytes(const std::string& file) const {
    std::ifstream in(path(file), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void writeFile(const std::string& file, const std::vector<uint8_t>& bytes) const {
    std::ofstream out(path(file), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // Names of the files in the program directory, sorted.
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

// Bytes 0..n-1 of a fixed pseudo-random pattern (never all zero), for filling
// records so that every byte is checked.
inline std::vector<uint8_t> patternBytes(size_t n, uint32_t seed) {
  std::vector<uint8_t> bytes(n);
  uint32_t x = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    x = x * 1103515245u + 12345u;
    b = static_cast<uint8_t>((x >> 16) | 1);
  }
  return bytes;
}
