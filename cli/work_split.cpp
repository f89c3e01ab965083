#include "work_split.h"

#include <charconv>

namespace cli {

namespace {

// A number from 0 up that fills the text.
std::optional<int> wholeNumber(std::string_view text) {
  int value = -1;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value < 0) return std::nullopt;
  return value;
}

}  // namespace

std::optional<FrameRange> parseFrameRange(const std::string& text) {
  const size_t dash = text.find('-');
  if (dash == std::string::npos) return std::nullopt;
  const std::optional<int> first = wholeNumber(std::string_view(text).substr(0, dash));
  if (!first) return std::nullopt;
  const std::string_view rest = std::string_view(text).substr(dash + 1);
  if (rest.empty()) return FrameRange{*first, std::nullopt};
  const std::optional<int> last = wholeNumber(rest);
  if (!last || *last < *first) return std::nullopt;
  return FrameRange{*first, last};
}

std::optional<ImagePart> parseImagePart(const std::string& text) {
  const size_t slash = text.find('/');
  if (slash == std::string::npos) return std::nullopt;
  const std::optional<int> index = wholeNumber(std::string_view(text).substr(0, slash));
  const std::optional<int> count = wholeNumber(std::string_view(text).substr(slash + 1));
  if (!index || !count || *index >= *count) return std::nullopt;
  return ImagePart{*index, *count};
}

}  // namespace cli
