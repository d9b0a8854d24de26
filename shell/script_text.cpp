// Reading and parsing script lines.
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/script.h"

int scriptReadLine(const char* path, long* offset, char* line, size_t size) {
  if (!line || size == 0) return -1;
  line[0] = '\0';
  FILE* f = fopen(path, "rb");
  if (!f) return -2;
  if (fseek(f, *offset, SEEK_SET) != 0) {
    fclose(f);
    return -1;
  }
  size_t stored = 0;
  size_t limit = size - 1 < static_cast<size_t>(SCRIPT_LINE_MAX) ? size - 1 : SCRIPT_LINE_MAX;
  long consumed = 0;
  int c = fgetc(f);
  if (c == EOF) {
    fclose(f);
    return -1;
  }
  for (; c != EOF; c = fgetc(f)) {
    // A file without line ends (a device, a damaged file) is not read for ever.
    if (consumed >= SCRIPT_LINE_READ_MAX) {
      fclose(f);
      return -3;
    }
    ++consumed;
    if (c == '\r') {
      // The LF of a CR LF pair belongs to this line.
      int next = fgetc(f);
      if (next == '\n') ++consumed;
      break;
    }
    if (c == '\n') break;
    // Past the limit the line is read on to its end, but no longer stored.
    if (stored < limit) line[stored++] = static_cast<char>(c);
  }
  fclose(f);
  line[stored] = '\0';
  *offset += consumed;
  return static_cast<int>(stored);
}

ScriptKeyword scriptKeyword(const char* line) {
  if (!line[0] || line[0] == '!') return KEY_NONE;
  size_t n = strcspn(line, " \t");
  static const struct {
    const char* word;
    ScriptKeyword key;
  } words[] = {{"EXIT", KEY_EXIT}, {"TIMEOUT", KEY_TIMEOUT}, {"WAITSTRING", KEY_WAITSTRING}, {"SEND", KEY_SEND}};
  for (const auto& w : words)
    if (n == strlen(w.word) && strncasecmp(line, w.word, n) == 0) return w.key;
  return KEY_UNKNOWN;
}

bool scriptQuotedText(const char* line, std::string* text) {
  // keyword, one space, a quote, the text, and a quote as the last character
  size_t n = strcspn(line, " \t");
  size_t len = strlen(line);
  if (line[n] != ' ' || n + 2 >= len || line[n + 1] != '"' || line[len - 1] != '"') return false;
  text->clear();
  for (size_t i = n + 2; i < len - 1; ++i) {
    char c = line[i];
    if (c == '^' && i + 1 < len - 1) {
      char e = line[i + 1];
      if (isalpha(static_cast<unsigned char>(e))) {
        text->push_back(static_cast<char>(toupper(static_cast<unsigned char>(e)) - 64));
        ++i;
        continue;
      }
      if (e == '[') {
        text->push_back('\x1b');
        ++i;
        continue;
      }
      if (e == '^') {
        text->push_back('^');
        ++i;
        continue;
      }
      // Any other caret stands for itself.
    }
    text->push_back(c);
  }
  return true;
}

std::string scriptSubstitute(const std::string& text, const std::string& password, const std::string& site,
                             int port, size_t* secretBegin, size_t* secretEnd) {
  struct Var {
    const char* name;
    std::string value;
    size_t at;
  } vars[] = {{"$PASS", password, std::string::npos},
              {"$SITE", site, std::string::npos},
              {"$PORT", std::to_string(port), std::string::npos}};
  for (Var& v : vars) v.at = text.find(v.name);
  std::string out;
  out.reserve(text.size() + password.size() + site.size() + 8);
  *secretBegin = *secretEnd = 0;
  for (size_t i = 0; i < text.size();) {
    const Var* hit = nullptr;
    for (const Var& v : vars)
      if (v.at == i) hit = &v;
    if (!hit) {
      out.push_back(text[i++]);
      continue;
    }
    if (hit == &vars[0]) *secretBegin = out.size();
    out += hit->value;
    if (hit == &vars[0]) *secretEnd = out.size();
    i += 5;
  }
  return out;
}

int scriptTimeoutValue(const char* line, int* seconds) {
  const char* p = line + strcspn(line, " \t");
  while (*p == ' ' || *p == '\t') ++p;
  if (!*p) return 0;
  errno = 0;
  char* end = nullptr;
  long v = strtol(p, &end, 10);
  if (end == p) return 0;
  // A value whose milliseconds cannot be counted is treated as no value.
  if (errno == ERANGE || v < 0 || v > INT_MAX / 1000) return -1;
  *seconds = static_cast<int>(v);
  return 1;
}
