#include "shell/samples_index.h"

#include <iostream>
#include <sstream>

#include <gtest/gtest.h>

#include "shell/sample_text.h"

namespace shell {
namespace {

// Tag lines may be indented like the script text; an unmatched closing
// submenu sits before the last sample.
const std::string kSamples =
    "[rem] Zentarel 3d samples\n"
    "[sample=\"Sponge\"]\n"
    "\tsponge at the top\n"
    "[submenu=\"Classic\"]\n"
    "\t[sample=\"Sponge\"]\n"
    "\t\tsponge in Classic\n"
    "\t[separator]\n"
    "\t[submenu=\"Deep\"]\n"
    "\t\tsample[Leaf]\n"
    "\t\tleaf\n"
    "\t[/submenu]\n"
    "\tsample[-shared]\n"
    "[/submenu]\n"
    "[/submenu]\n"
    "[sample=\"Last\"]\n"
    "last\n";

// The index of a file and the warnings its reading wrote.
SamplesIndex indexOf(const std::string& text, std::string* warnings = nullptr) {
  std::istringstream in(text);
  std::ostringstream captured;
  std::streambuf* old = std::cerr.rdbuf(captured.rdbuf());
  SamplesIndex index = SamplesIndex::read(in);
  std::cerr.rdbuf(old);
  if (warnings) *warnings = captured.str();
  return index;
}

TEST(SamplesIndex, EntriesWithTheirDepthsAndPaths) {
  std::string warnings;
  const SamplesIndex index = indexOf(kSamples, &warnings);
  EXPECT_EQ(warnings, "warning: ignoring unmatched [/submenu] entry in samples file\n");
  std::string entries;
  for (const SampleEntry& e : index.entries()) {
    entries += std::to_string(int(e.kind)) + std::to_string(e.depth) + e.name + ",";
  }
  EXPECT_EQ(entries, "00Sponge,10Classic,01Sponge,31,11Deep,02Leaf,21-shared,00Last,");
  EXPECT_EQ(index.sampleCount(), 4);
  EXPECT_EQ(index.samplePath(5), (std::vector<std::string>{"Classic", "Deep", "Leaf"}));
  for (int noSample : {4, 6, 8}) EXPECT_FALSE(index.samplePath(noSample)) << noSample;
}

TEST(SampleText, TextsOfSamplesFoundByTheirPath) {
  const std::string longLine(5000, 'x');
  const struct {
    std::string file;
    int entry;
    const char* text;
  } cases[] = {
      // Samples of the same name in different submenus keep their own texts;
      // an unmatched closing submenu does not hide the samples after it.
      {kSamples, 0, "sponge at the top\r\n"},
      {kSamples, 2, "sponge in Classic\r\n"},  // ends at the separator
      {kSamples, 5, "leaf\r\n"},
      {kSamples, 7, "last\r\n"},
      // Less indented lines lower the indentation from there on; lines of
      // tabs only lose what they can.
      {"[sample=\"I\"]\n\t\t\tfirst\n\t\t\t\tdeeper\n\t\t\n\t\t\t\t\n\tless\n\t\t\tafter\n\n\t\n",
       0, "first\r\n\tdeeper\r\n\r\n\t\r\nless\r\n\t\tafter\r\n\r\n\r\n"},
      {"sample[a]\nx = 1;\n  y = 2;\n", 0, "x = 1;\r\n  y = 2;\r\n"},
      // "[rem]" lines inside a sample are skipped; "[/rem]" is no tag.
      {"[sample=\"R\"]\na\n  [rem] a note\nb\n[/rem]\n[/sample]\noutside\n", 0,
       "a\r\nb\r\n[/rem]\r\n"},
      {"[sample=\"L\"]\n" + longLine + "\n[sample=\"After\"]\nafter\n", 1, "after\r\n"},
      {"[submenu=\"M\"]\r\n[sample=\"S\"]\r\nline\r\n[/submenu]\r\n", 1, "line\r\n"},
      {"[sample=\"A\"]\n[sample=\"B\"]\nb\n", 0, ""},
  };
  for (const auto& c : cases) {
    const auto path = indexOf(c.file).samplePath(c.entry);
    ASSERT_TRUE(path) << c.file;
    std::istringstream in(c.file);
    EXPECT_EQ(readSampleText(in, *path), c.text) << c.file;
  }
  // A sample no longer in the file, or no longer inside its submenu.
  std::istringstream edited("[sample=\"S\"]\ntext\n"), moved("[sample=\"S\"]\ntext\n");
  EXPECT_FALSE(readSampleText(edited, {"Gone"}));
  EXPECT_FALSE(readSampleText(moved, {"M", "S"}));
}

}  // namespace
}  // namespace shell
