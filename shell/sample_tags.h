#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace shell {

// Kinds of the tags of a samples file; the values are the file's own.
enum class SampleKind { Sample = 0, Submenu = 1, Include = 2, Separator = 3, Rem = 4 };

struct SampleTag {
  SampleKind kind = SampleKind::Sample;
  bool closing = false;  // "[/sample]" or "[/submenu]"
  std::string name;      // empty for separators, rem and closing tags
};

// Classifies one line of a samples file (leading blanks and tabs skipped):
//   [sample="name"]  [submenu="name"]  [include="name"]  [separator]  [rem]
//   [/sample]  [/submenu]  sample[name]  sample[-name]  (the last one an include)
// Keywords match by prefix. A quoted name ends at the first quote directly
// followed by "]". Nothing when the line is script text.
std::optional<SampleTag> parseSampleTag(std::string_view line);

}  // namespace shell
