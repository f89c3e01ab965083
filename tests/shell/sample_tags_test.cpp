#include "shell/sample_tags.h"

#include <gtest/gtest.h>

namespace shell {
namespace {

// A tag as "kind name", "/kind" when closing, or "script" for script text.
std::string describe(const std::string& line) {
  static const char* const kinds[] = {"sample", "submenu", "include", "separator", "rem"};
  const std::optional<SampleTag> tag = parseSampleTag(line);
  if (!tag) return "script";
  return (tag->closing ? "/" : "") + std::string(kinds[int(tag->kind)]) + " " + tag->name;
}

TEST(SampleTags, LinesAndTheirTags) {
  const struct {
    const char* line;
    const char* tag;
  } cases[] = {
      {" \t[submenu=\"Classic\"] trailing text", "submenu Classic"},
      {"[rem] a comment", "rem "},
      // The name ends at the first quote before a bracket.
      {"[sample=\"say \"hi\" there\"]", "sample say \"hi\" there"},
      // Closing tags only for samples and submenus.
      {"  [/submenu]", "/submenu "},
      {"[/include]", "script"},
      // Keywords must be followed by their punctuation, in lower case.
      {"[samples=\"x\"]", "script"},
      // Malformed bracket lines
      {"[sample=x]", "script"},
      // The short form; a name that starts with "-" includes.
      {"sample[Tetrahedron]", "sample Tetrahedron"},
      {"\tsample[-common] rest", "include -common"},
  };
  for (const auto& c : cases) EXPECT_EQ(describe(c.line), c.tag) << c.line;
}

}  // namespace
}  // namespace shell
