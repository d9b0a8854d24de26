// Whole files as strings, and reproducible bytes to fill them with.
#pragma once
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

inline std::string readFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}

// size bytes of a fixed pseudo-random sequence (0xFF and controls included).
inline std::string pseudoRandom(size_t size, uint32_t seed) {
  std::string data;
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    data.push_back(static_cast<char>(seed >> 16));
  }
  return data;
}
