#include "shell/samples_index.h"

#include <sstream>

#include <gtest/gtest.h>

#include "shell/sample_text.h"

namespace shell {
namespace {

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

}  // namespace
}  // namespace shell
