// The samples file: the tag of each line, the text of a sample found by its
// path, and the menu of its entries.
#include <sstream>

#include <gtest/gtest.h>

#include "shell/sample_tags.h"
#include "shell/sample_text.h"
#include "shell/samples_index.h"
#include "shell/samples_menu.h"

namespace shell {
namespace {

// A tag as "kind name", "/kind" when closing, or "script" for script text.
std::string tagOf(const std::string& line) {
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
      // The name ends at the first quote before a bracket.
      {"[sample=\"say \"hi\" there\"]", "sample say \"hi\" there"},
      // Closing tags only for samples and submenus (the runner's and the
      // application's samples files show the rest of the tags).
      {"[/include]", "script"},
      // Keywords must be followed by their punctuation, in lower case.
      {"[samples=\"x\"]", "script"},
      // Malformed bracket lines
      {"[sample=x]", "script"},
  };
  for (const auto& c : cases) EXPECT_EQ(tagOf(c.line), c.tag) << c.line;
}

// An unmatched closing submenu sits before the last sample.
const std::string kSamples =
    "[submenu=\"Classic\"]\n\t[sample=\"Sponge\"]\n\t\tsponge\n[/submenu]\n[/submenu]\n"
    "[sample=\"Last\"]\nlast\n";

TEST(SampleText, TextsOfSamplesFoundByTheirPath) {
  const std::string longLine(5000, 'x');
  const struct {
    std::string file;
    int entry;
    const char* text;
  } cases[] = {
      // An unmatched closing submenu does not hide the samples after it.
      {kSamples, 2, "last\r\n"},
      // Less indented lines lower the indentation from there on; lines of
      // tabs only lose what they can.
      {"[sample=\"I\"]\n\t\t\tfirst\n\t\t\t\tdeeper\n\t\t\n\t\t\t\t\n\tless\n\t\t\tafter\n\n\t\n",
       0, "first\r\n\tdeeper\r\n\r\n\t\r\nless\r\n\t\tafter\r\n\r\n\r\n"},
      // "[rem] " lines inside a sample are skipped; "[/rem]" is no tag.
      {"[sample=\"R\"]\na\n  [rem] a note\nb\n[/rem]\n[/sample]\noutside\n", 0,
       "a\r\nb\r\n[/rem]\r\n"},
      {"[sample=\"L\"]\n" + longLine + "\n[sample=\"After\"]\nafter\n", 1, "after\r\n"},
      {"[submenu=\"M\"]\r\n[sample=\"S\"]\r\nline\r\n[/submenu]\r\n", 1, "line\r\n"},
  };
  for (const auto& c : cases) {
    std::istringstream index(c.file), in(c.file);
    const auto path = SamplesIndex::read(index).samplePath(c.entry);
    ASSERT_TRUE(path) << c.file;
    EXPECT_EQ(readSampleText(in, *path), c.text) << c.file;
  }
  // A sample no longer in the file, or no longer inside its submenu.
  std::istringstream edited("[sample=\"S\"]\ntext\n"), moved("[sample=\"S\"]\ntext\n");
  EXPECT_FALSE(readSampleText(edited, {"Gone"}));
  EXPECT_FALSE(readSampleText(moved, {"M", "S"}));
}

// "text=command" per item, "text[...]" for submenus.
std::string menuText(const std::vector<SamplesMenuItem>& items) {
  std::string text;
  for (const SamplesMenuItem& item : items) {
    text += item.items.empty() ? item.text + "=" + std::to_string(item.command) + " "
                               : item.text + "[" + menuText(item.items) + "] ";
  }
  return text;
}

// Many sibling submenus keep their items.
TEST(SamplesMenu, ManySiblingSubmenusKeepTheirItems) {
  std::vector<SampleEntry> entries;
  std::string expected;
  for (int i = 0; i < 100; ++i) {
    entries.push_back({SampleKind::Submenu, 0, "M"});
    entries.push_back({SampleKind::Sample, 1, "S"});
    expected += "M[S=" + std::to_string(34001 + 2 * i) + " ] ";
  }
  EXPECT_EQ(menuText(buildSamplesMenu(entries)), expected);
}

}  // namespace
}  // namespace shell
