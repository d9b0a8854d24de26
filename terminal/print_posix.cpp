#include "terminal/print_posix.h"

#include <fstream>
#include <iterator>

#include "terminal/transparent_print.h"

std::vector<std::string>& printedSpools() {
  static std::vector<std::string> jobs;
  return jobs;
}

void printSpoolFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  printedSpools().emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
