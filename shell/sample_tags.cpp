#include "sample_tags.h"

#include <array>

namespace shell {

namespace {

struct Keyword {
  std::string_view text;
  SampleKind kind;
};

// In the order of comparison.
constexpr std::array<Keyword, 5> kKeywords = {{
    {"sample", SampleKind::Sample},
    {"submenu", SampleKind::Submenu},
    {"include", SampleKind::Include},
    {"separator", SampleKind::Separator},
    {"rem", SampleKind::Rem},
}};

bool hasName(SampleKind kind) {
  return kind == SampleKind::Sample || kind == SampleKind::Submenu || kind == SampleKind::Include;
}

bool canClose(SampleKind kind) {
  return kind == SampleKind::Sample || kind == SampleKind::Submenu;
}

std::optional<SampleTag> parseBracketTag(std::string_view rest) {
  SampleTag tag;
  if (rest.starts_with('/')) {
    tag.closing = true;
    rest.remove_prefix(1);
  }
  const Keyword* keyword = nullptr;
  for (const Keyword& candidate : kKeywords) {
    if (rest.starts_with(candidate.text)) {
      keyword = &candidate;
      break;
    }
  }
  if (!keyword) return std::nullopt;
  tag.kind = keyword->kind;
  rest.remove_prefix(keyword->text.size());

  if (tag.closing && !canClose(tag.kind)) return std::nullopt;
  if (tag.closing || !hasName(tag.kind)) {
    if (!rest.starts_with(']')) return std::nullopt;
    return tag;
  }
  if (!rest.starts_with("=\"")) return std::nullopt;
  const size_t end = rest.find("\"]", 2);
  if (end == std::string_view::npos) return std::nullopt;
  tag.name = rest.substr(2, end - 2);
  return tag;
}

std::optional<SampleTag> parseShortTag(std::string_view rest) {
  const size_t end = rest.find(']');
  if (end == std::string_view::npos) return std::nullopt;
  SampleTag tag;
  tag.name = rest.substr(0, end);
  tag.kind = tag.name.starts_with('-') ? SampleKind::Include : SampleKind::Sample;
  return tag;
}

}  // namespace

std::optional<SampleTag> parseSampleTag(std::string_view line) {
  const size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos) return std::nullopt;
  line.remove_prefix(start);
  if (line.starts_with('[')) return parseBracketTag(line.substr(1));
  constexpr std::string_view kShortForm = "sample[";
  if (line.starts_with(kShortForm)) return parseShortTag(line.substr(kShortForm.size()));
  return std::nullopt;
}

}  // namespace shell
