#include "shell/samples_file.h"

#include <filesystem>
#include <iostream>
#include <sstream>

#include <gtest/gtest.h>

#include "shell/sample_text.h"
#include "shell/samples_index.h"
#include "test_files.h"

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

// Runs f with std::cerr captured; returns what it wrote there.
template <typename F>
std::string capturedErrors(F f) {
  std::ostringstream captured;
  std::streambuf* old = std::cerr.rdbuf(captured.rdbuf());
  f();
  std::cerr.rdbuf(old);
  return captured.str();
}

SamplesIndex readIndex(const std::string& text) {
  std::istringstream in(text);
  return SamplesIndex::read(in);
}

// The index, its warnings dropped.
SamplesIndex indexOf(const std::string& text) {
  SamplesIndex index;
  capturedErrors([&] { index = readIndex(text); });
  return index;
}

std::optional<std::string> textOf(const std::string& file, int entry) {
  const std::optional<std::vector<std::string>> path = indexOf(file).samplePath(entry);
  if (!path) return std::nullopt;
  std::istringstream in(file);
  return readSampleText(in, *path);
}

TEST(SamplesIndex, ListsEntriesWithTheirDepthsAndWarnsOfAnUnmatchedClosingSubmenu) {
  SamplesIndex index;
  const std::string errors = capturedErrors([&] { index = readIndex(kSamples); });
  EXPECT_EQ(errors, "warning: ignoring unmatched [/submenu] entry in samples file\n");

  struct Expected {
    SampleKind kind;
    int depth;
    const char* name;
  };
  const Expected expected[] = {
      {SampleKind::Sample, 0, "Sponge"},   {SampleKind::Submenu, 0, "Classic"},
      {SampleKind::Sample, 1, "Sponge"},   {SampleKind::Separator, 1, ""},
      {SampleKind::Submenu, 1, "Deep"},    {SampleKind::Sample, 2, "Leaf"},
      {SampleKind::Include, 1, "-shared"}, {SampleKind::Sample, 0, "Last"},
  };
  ASSERT_EQ(index.entries().size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(index.entries()[i].kind, expected[i].kind) << i;
    EXPECT_EQ(index.entries()[i].depth, expected[i].depth) << i;
    EXPECT_EQ(index.entries()[i].name, expected[i].name) << i;
  }
  EXPECT_EQ(index.sampleCount(), 4);
}

TEST(SamplesIndex, AnswersQueriesBySampleAndByEntry) {
  const SamplesIndex loaded = indexOf(kSamples);
  EXPECT_EQ(loaded.entryOfSample(0), 0);
  EXPECT_EQ(loaded.entryOfSample(1), 2);
  EXPECT_EQ(loaded.entryOfSample(3), 7);
  EXPECT_EQ(loaded.entryOfSample(4), -1);
  EXPECT_EQ(loaded.entryOfSample(-1), -1);

  EXPECT_EQ(loaded.sampleOrdinalOfEntry(0), 0);
  EXPECT_EQ(loaded.sampleOrdinalOfEntry(1), 1);  // a submenu: the samples before it
  EXPECT_EQ(loaded.sampleOrdinalOfEntry(6), 3);
  EXPECT_EQ(loaded.sampleOrdinalOfEntry(7), 3);
  EXPECT_EQ(loaded.sampleOrdinalOfEntry(50), 3);  // beyond the list: the last sample

  EXPECT_EQ(loaded.nameOfEntry(4), "Deep");
  EXPECT_EQ(loaded.nameOfEntry(8), "");
  EXPECT_EQ(loaded.entry(-1), nullptr);
  ASSERT_NE(loaded.entry(3), nullptr);
  EXPECT_EQ(loaded.entry(3)->kind, SampleKind::Separator);
}

TEST(SamplesIndex, PathOfASampleNamesItsSubmenus) {
  const SamplesIndex index = indexOf(kSamples);
  EXPECT_EQ(index.samplePath(5), (std::vector<std::string>{"Classic", "Deep", "Leaf"}));
  EXPECT_EQ(index.samplePath(0), (std::vector<std::string>{"Sponge"}));
  EXPECT_FALSE(index.samplePath(6));  // an include
  EXPECT_FALSE(index.samplePath(4));  // a submenu
  EXPECT_FALSE(index.samplePath(8));
}

TEST(SamplesIndex, EmptyFileHasNoEntries) {
  const SamplesIndex index = indexOf("");
  EXPECT_TRUE(index.entries().empty());
  EXPECT_EQ(index.sampleCount(), 0);
  EXPECT_EQ(index.entryOfSample(0), -1);
}

TEST(SampleText, SamplesOfTheSameNameInDifferentSubmenusKeepTheirOwnTexts) {
  EXPECT_EQ(textOf(kSamples, 0), "sponge at the top\r\n");
  EXPECT_EQ(textOf(kSamples, 2), "sponge in Classic\r\n");  // ends at the separator
  EXPECT_EQ(textOf(kSamples, 5), "leaf\r\n");
}

TEST(SampleText, AnUnmatchedClosingSubmenuDoesNotHideTheSamplesAfterIt) {
  EXPECT_EQ(textOf(kSamples, 7), "last\r\n");
}

TEST(SampleText, LessIndentedLinesLowerTheIndentationFromThereOn) {
  const std::string file =
      "[sample=\"Indent\"]\n"
      "\t\t\tfirst\n"
      "\t\t\t\tdeeper\n"
      "\t\t\n"      // only tabs, fewer than removed: becomes empty
      "\t\t\t\t\n"  // only tabs: loses three, changes nothing
      "\tless\n"
      "\t\t\tafter\n"
      "\n"
      "\t\n";
  EXPECT_EQ(textOf(file, 0), "first\r\n\tdeeper\r\n\r\n\t\r\nless\r\n\t\tafter\r\n\r\n\r\n");
}

TEST(SampleText, UnindentedFileKeepsItsText) {
  EXPECT_EQ(textOf("sample[a]\nx = 1;\n  y = 2;\n", 0), "x = 1;\r\n  y = 2;\r\n");
}

TEST(SampleText, RemTagsInsideASampleAreSkipped) {
  const std::string file =
      "[sample=\"R\"]\n"
      "a\n"
      "  [rem] a note that is not script\n"
      "b\n"
      "[/rem]\n"
      "[/sample]\n"
      "outside\n";
  EXPECT_EQ(textOf(file, 0), "a\r\nb\r\n[/rem]\r\n");  // "[/rem]" is no tag
}

TEST(SampleText, LongLinesAreReadWhole) {
  const std::string longLine(5000, 'x');
  const std::string file = "[sample=\"Long\"]\n" + longLine + "\n[sample=\"After\"]\nafter\n";
  const SamplesIndex index = indexOf(file);
  ASSERT_EQ(index.sampleCount(), 2);
  EXPECT_EQ(textOf(file, 0), longLine + "\r\n");
  EXPECT_EQ(textOf(file, 1), "after\r\n");
}

TEST(SampleText, WindowsLineBreaksAreLineBreaks) {
  const std::string file = "[submenu=\"M\"]\r\n[sample=\"S\"]\r\nline\r\n[/submenu]\r\n";
  EXPECT_EQ(indexOf(file).samplePath(1), (std::vector<std::string>{"M", "S"}));
  EXPECT_EQ(textOf(file, 1), "line\r\n");
}

TEST(SampleText, AnEmptySampleHasAnEmptyText) {
  EXPECT_EQ(textOf("[sample=\"A\"]\n[sample=\"B\"]\nb\n", 0), "");
}

TEST(SampleText, ASampleNoLongerInTheFileGivesNothing) {
  std::istringstream edited("[sample=\"Other\"]\ntext\n");
  EXPECT_FALSE(readSampleText(edited, {"Gone"}));
  std::istringstream moved("[sample=\"S\"]\ntext\n");
  EXPECT_FALSE(readSampleText(moved, {"M", "S"}));  // no longer inside submenu M
}

TEST(SamplesFile, LoadsOnFirstUseAndReloadsWhenTheFileChanges) {
  testing::TempDir dir;
  const std::string path = dir.write("Zentarel 3d.samples", "sample[One]\none\n");
  SamplesFile samples(path);
  EXPECT_EQ(samples.generation(), 0u);
  EXPECT_EQ(samples.index().sampleCount(), 1);
  EXPECT_EQ(samples.generation(), 1u);
  EXPECT_FALSE(samples.reloadIfChanged());
  EXPECT_EQ(samples.sampleText(0), "one\r\n");

  dir.write("Zentarel 3d.samples", "sample[One]\none\nsample[Two]\ntwo\n");
  EXPECT_TRUE(samples.reloadIfChanged());
  EXPECT_EQ(samples.generation(), 2u);
  EXPECT_EQ(samples.index().sampleCount(), 2);
  EXPECT_EQ(samples.sampleText(1), "two\r\n");
  EXPECT_FALSE(samples.sampleText(2));
}

TEST(SamplesFile, MissingFileGivesNoSamplesUntilItAppears) {
  testing::TempDir dir;
  SamplesFile samples(dir.path() / "Zentarel 3d.samples");
  EXPECT_TRUE(samples.index().entries().empty());
  EXPECT_FALSE(samples.sampleText(0));
  EXPECT_FALSE(samples.reloadIfChanged());

  dir.write("Zentarel 3d.samples", "sample[New]\nnew\n");
  EXPECT_TRUE(samples.reloadIfChanged());
  EXPECT_EQ(samples.sampleText(0), "new\r\n");
}

}  // namespace
}  // namespace shell
