#include "frame_pattern.h"

#include <cctype>
#include <cstdio>

namespace shell {

namespace {

// Reads up to two digits; false when there are more.
bool skipShortNumber(std::string_view text, size_t& at) {
  const size_t start = at;
  while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
  return at - start <= 2;
}

// Text without conversions, "%%" turned into "%"; nothing when it holds one.
std::optional<std::string> literalText(std::string_view text) {
  std::string literal;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '%') {
      if (at + 1 >= text.size() || text[at + 1] != '%') return std::nullopt;
      ++at;
    }
    literal += text[at];
  }
  return literal;
}

}  // namespace

std::optional<FramePattern> FramePattern::parse(std::string_view pattern) {
  // The conversion starts at the first "%" that is not part of a "%%".
  size_t start = 0;
  for (; start < pattern.size(); ++start) {
    if (pattern[start] != '%') continue;
    if (start + 1 < pattern.size() && pattern[start + 1] == '%') {
      ++start;
      continue;
    }
    break;
  }
  if (start >= pattern.size()) return std::nullopt;

  size_t at = start + 1;
  while (at < pattern.size() &&
         std::string_view("-+ 0").find(pattern[at]) != std::string_view::npos) {
    ++at;
  }
  if (!skipShortNumber(pattern, at)) return std::nullopt;
  if (at < pattern.size() && pattern[at] == '.') {
    ++at;
    if (!skipShortNumber(pattern, at)) return std::nullopt;
  }
  if (at >= pattern.size() || std::string_view("diu").find(pattern[at]) == std::string_view::npos) {
    return std::nullopt;
  }

  FramePattern result;
  std::optional<std::string> prefix = literalText(pattern.substr(0, start));
  std::optional<std::string> suffix = literalText(pattern.substr(at + 1));
  if (!prefix || !suffix) return std::nullopt;
  result.prefix_ = std::move(*prefix);
  result.suffix_ = std::move(*suffix);
  result.conversion_ = std::string(pattern.substr(start, at - start)) + "ll" + pattern[at];
  result.isSigned_ = pattern[at] != 'u';
  return result;
}

std::string FramePattern::fileName(unsigned frame) const {
  char number[256];  // widths and precisions have at most two digits
  if (isSigned_) {
    std::snprintf(number, sizeof number, conversion_.c_str(), static_cast<long long>(frame));
  } else {
    std::snprintf(number, sizeof number, conversion_.c_str(),
                  static_cast<unsigned long long>(frame));
  }
  return prefix_ + number + suffix_;
}

}  // namespace shell
