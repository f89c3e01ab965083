#include "log_line_number.h"

#include <algorithm>
#include <climits>
#include <initializer_list>

namespace app {

namespace {

std::optional<int> numberAfter(std::string_view line,
                               std::initializer_list<std::string_view> prefixes) {
  line = line.substr(0, kLogLineLookedAt);
  std::string_view rest;
  for (std::string_view prefix : prefixes) {
    if (line.starts_with(prefix)) rest = line.substr(prefix.size());
  }
  if (rest.empty() || rest[0] < '0' || rest[0] > '9') return std::nullopt;
  long long n = 0;
  for (char c : rest) {
    if (c < '0' || c > '9') break;
    n = std::min<long long>(n * 10 + (c - '0'), INT_MAX);
  }
  return int(n);
}

}  // namespace

std::optional<int> logLineNumber(std::string_view line) {
  return numberAfter(line, {kErrorLinePrefix, "warning: line "});
}

std::optional<int> logErrorLineNumber(std::string_view line) {
  return numberAfter(line, {kErrorLinePrefix});
}

}  // namespace app
