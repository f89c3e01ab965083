#include "sample_text.h"

#include <algorithm>

#include "sample_tags.h"
#include "script_file.h"

namespace shell {

namespace {

// Moves the stream past the tag of the sample with this path; false when the
// file ends first. Submenus match by name level by level, so samples of the
// same name in different submenus are told apart.
bool skipToSample(std::istream& in, const std::vector<std::string>& path) {
  const size_t depth = path.size() - 1;
  size_t level = 0;    // submenus open at this line
  size_t matched = 0;  // leading names of the path matched by the open submenus
  for (std::string line; readTextLine(in, line);) {
    const std::optional<SampleTag> tag = parseSampleTag(line);
    if (!tag) continue;
    if (tag->closing) {
      // An unmatched closing tag is ignored, as the index does.
      if (tag->kind == SampleKind::Submenu && level > 0) matched = std::min(matched, --level);
      continue;
    }
    if (tag->kind == SampleKind::Submenu) {
      const bool counts = level == matched && matched < depth;
      ++level;
      if (counts && tag->name == path[matched]) ++matched;
    } else if (tag->kind == SampleKind::Sample && level == matched && matched == depth &&
               tag->name == path[matched]) {
      return true;
    }
  }
  return false;
}

// Removes the indentation by tabs that the lines with text share so far:
// the count only ever shrinks, so a less indented line changes it for itself
// and the lines after it.
class IndentRemover {
 public:
  std::string operator()(const std::string& line) {
    const size_t tabs = std::min(line.find_first_not_of('\t'), line.size());
    if (tabs < line.size()) removed_ = std::min(removed_, tabs);
    return tabs < removed_ ? std::string() : line.substr(removed_);
  }

 private:
  size_t removed_ = 80;
};

}  // namespace

std::optional<std::string> readSampleText(std::istream& in, const std::vector<std::string>& path) {
  if (path.empty() || !skipToSample(in, path)) return std::nullopt;
  std::string text;
  IndentRemover removeIndent;
  for (std::string line; readTextLine(in, line);) {
    if (const std::optional<SampleTag> tag = parseSampleTag(line)) {
      if (tag->kind == SampleKind::Rem) continue;
      break;
    }
    text += removeIndent(line);
    text += "\r\n";
  }
  return text;
}

}  // namespace shell
