// Every number a message box is called with (or whose text is fetched for
// one), read from the product sources and followed through variables and
// helper parameters to the constants and literals that reach it, names a text
// of the string table, and never one of the menu hints that share the table
// (a failed file open once showed "Display keyboard and define function keys").
#include <dirent.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/peers.h"

namespace {
std::string slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> sources(const char* ext) {
  std::vector<std::string> files;
  for (const char* dir : {"shell", "terminal", "transfer", "telnet", "dialup", "ftp", "viewer", "frame", "programs"}) {
    DIR* d = opendir(sourcePath(dir).c_str());
    if (!d) continue;
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      size_t n = std::strlen(ext);
      if (name.size() > n && name.compare(name.size() - n, n, ext) == 0 && name.rfind("message_box", 0) != 0)
        files.push_back(std::string(dir) + "/" + name);
    }
    closedir(d);
  }
  return files;
}

// The arguments of the call whose "(" is at open, split at the top level.
std::vector<std::string> arguments(const std::string& text, size_t open) {
  std::vector<std::string> args(1);
  for (size_t i = open + 1, depth = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == ')' && depth == 0) break;
    if (c == ',' && depth == 0) args.emplace_back();
    else args.back() += c;
    if (c == '(') ++depth;
    if (c == ')') --depth;
  }
  for (std::string& a : args) a = std::regex_replace(a, std::regex(R"(^\s+|\s+$)"), "");
  return args;
}

// The values an expression may take: the branches of "?:" or itself.
std::vector<std::string> branches(const std::string& expression) {
  std::string e = std::regex_replace(expression, std::regex("::"), "__");
  std::vector<std::string> pieces(1);
  std::vector<char> after;  // the operator that ends each piece
  for (char c : e) {
    if (c == '?' || c == ':') {
      after.push_back(c);
      pieces.emplace_back();
    } else {
      pieces.back() += c;
    }
  }
  after.push_back(0);
  std::vector<std::string> values;
  for (size_t i = 0; i < pieces.size(); ++i)
    if (after[i] != '?') values.push_back(std::regex_replace(pieces[i], std::regex(R"(^\s+|\s+$)"), ""));
  return values;
}

struct Sources {
  std::map<std::string, std::string> text;  // file -> contents
  std::map<std::string, std::set<long>> constants;

  Sources() {
    for (const char* ext : {".h", ".cpp"})
      for (const std::string& f : sources(ext)) text[f] = slurp(sourcePath(f));
    std::regex definition(R"(\b([A-Z][A-Z0-9_]*)\s*=\s*(\d+)\s*[,;}])");
    for (const auto& [file, body] : text)
      for (std::sregex_iterator m(body.begin(), body.end(), definition), end; m != end; ++m)
        constants[(*m)[1]].insert(std::stol((*m)[2]));
  }

  // Resolves expression e of file to numbers; what cannot be resolved goes to failures.
  void resolve(const std::string& file, const std::string& e, int depth, std::set<long>* out,
               std::vector<std::string>* failures) {
    for (const std::string& v : branches(e)) {
      if (std::regex_match(v, std::regex(R"(\d+)"))) {
        out->insert(std::stol(v));
      } else if (constants.count(v)) {
        out->insert(constants[v].begin(), constants[v].end());
      } else if (depth >= 4 || !std::regex_match(v, std::regex(R"([a-z]\w*)")) ||
                 !variable(file, v, depth + 1, out, failures)) {
        failures->push_back(file + ": " + v + " not followed");
      }
    }
  }

  // A variable: its assignments in file; a parameter: what the calls of its
  // function pass (in file, or everywhere for a function a header declares).
  // false when v is neither.
  bool variable(const std::string& file, const std::string& v, int depth, std::set<long>* out,
                std::vector<std::string>* failures) {
    const std::string& body = text[file];
    bool known = false;
    std::regex assigned("\\b" + v + R"(\s*=\s*([^;=][^;]*);)");
    for (std::sregex_iterator m(body.begin(), body.end(), assigned), end; m != end; ++m, known = true)
      resolve(file, (*m)[1], depth, out, failures);
    std::regex parameter(R"re(\b(\w+)\(([^()]*\bint\s+))re" + v + R"re(\b[^()]*\)\s*\{)re");
    std::smatch p;
    if (!std::regex_search(body, p, parameter)) return known;
    size_t index = arguments("(" + p[2].str() + ")", 0).size() - 1;
    std::regex call("\\b" + p[1].str() + R"(\()");
    bool shared = false;
    for (const auto& [other, text2] : text)
      shared = shared || (other.back() == 'h' && std::regex_search(text2, call));
    for (const auto& [other, text2] : text) {
      if (other != file && !shared) continue;
      for (std::sregex_iterator m(text2.begin(), text2.end(), call), end; m != end; ++m) {
        std::vector<std::string> args = arguments(text2, m->position() + m->length() - 1);
        if (args.size() > index && !std::regex_search(args[index], std::regex(R"(\bint\s)")))
          resolve(other, args[index], depth, out, failures);
      }
    }
    return true;
  }
};
}  // namespace

TEST(MessageNumbers, EveryMessageBoxShowsATextThatIsNoMenuHint) {
  std::map<long, std::string> table, hints;
  bool inHints = false;
  std::istringstream lines(slurp(sourcePath("shell/strings.def")));
  std::regex entry(R"re(^STRING\((\d+),\s*"(.*)"\))re");
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("// Menu hints", 0) == 0) inHints = true;
    else if (line == "//") inHints = false;
    std::smatch m;
    if (!std::regex_search(line, m, entry)) continue;
    table[std::stol(m[1])] = m[2];
    if (inHints) hints[std::stol(m[1])] = m[2];
  }
  ASSERT_GT(hints.size(), 20u) << "the menu hints of strings.def were not found";

  Sources src;
  std::vector<std::string> failures;
  int calls = 0;
  std::regex call(R"(\b(messageBox|messageBoxTitled|messageText)\()");
  for (const auto& [file, body] : src.text) {
    // The status bar is where the hints belong.
    if (file.compare(file.size() - 4, 4, ".cpp") != 0 || file.rfind("shell/statusbar", 0) == 0) continue;
    for (std::sregex_iterator m(body.begin(), body.end(), call), end; m != end; ++m) {
      std::string first = arguments(body, m->position() + m->length() - 1)[0];
      if (first.rfind("int ", 0) == 0) continue;  // a declaration
      ++calls;
      std::set<long> numbers;
      src.resolve(file, first, 0, &numbers, &failures);
      for (long n : numbers) {
        // 0 shows only the text the caller adds.
        if (n != 0 && !table.count(n)) failures.push_back(file + ": " + first + " is " + std::to_string(n) + ", no text");
        if (hints.count(n))
          failures.push_back(file + ": " + first + " is " + std::to_string(n) + ", the menu hint \"" + hints[n] + "\"");
      }
    }
  }
  EXPECT_GT(calls, 30) << "the product sources were not found";
  EXPECT_EQ(failures, std::vector<std::string>{});
}
