#include "shell/samples_menu.h"

#include <gtest/gtest.h>

namespace shell {
namespace {

// "text=command" per item, "-" for separators, "text[...]" for submenus.
std::string describe(const std::vector<SamplesMenuItem>& items) {
  std::string text;
  for (const SamplesMenuItem& item : items) {
    if (item.type == SamplesMenuItem::Type::Separator) text += "- ";
    if (item.type == SamplesMenuItem::Type::Submenu)
      text += item.text + "[" + describe(item.items) + "] ";
    if (item.type == SamplesMenuItem::Type::Command)
      text += item.text + "=" + std::to_string(item.command) + " ";
  }
  return text;
}

// Entries deeper than the open submenus are left out; the commands number
// the entries, whatever was left out.
TEST(SamplesMenu, NestsSubmenusAndSkipsEntriesDeeperThanTheOpenOnes) {
  EXPECT_EQ(describe(buildSamplesMenu({
                {SampleKind::Sample, 1, "orphan"},
                {SampleKind::Sample, -1, "negative"},
                {SampleKind::Submenu, 0, "M"},
                {SampleKind::Sample, 2, "too deep"},
                {SampleKind::Separator, 1, ""},
                {SampleKind::Submenu, 1, "Deep"},
                {SampleKind::Sample, 2, "Leaf"},
                {SampleKind::Include, 1, "-shared"},
                {SampleKind::Sample, 0, "Last"},
            })),
            "M[- Deep[Leaf=34006 ] -shared=34007 ] Last=34008 ");
  // Many sibling submenus keep their items.
  std::vector<SampleEntry> entries;
  std::string expected;
  for (int i = 0; i < 100; ++i) {
    entries.push_back({SampleKind::Submenu, 0, "M"});
    entries.push_back({SampleKind::Sample, 1, "S"});
    expected += "M[S=" + std::to_string(34001 + 2 * i) + " ] ";
  }
  EXPECT_EQ(describe(buildSamplesMenu(entries)), expected);
}

// The number is kept inside the samples first; the first and the last
// sample are loaded again.
TEST(SampleStepping, PreviousAndNextStayInsideTheSamples) {
  const struct {
    int current, count;
    SampleStep step;
    std::optional<int> loaded;
  } cases[] = {
      {1, 4, SampleStep::Next, 2},     {3, 4, SampleStep::Next, 3},
      {2, 4, SampleStep::Previous, 1}, {0, 4, SampleStep::Previous, 0},
      {9, 4, SampleStep::Next, 3},     {9, 4, SampleStep::Previous, 2},
      {0, 1, SampleStep::Next, 0},     {0, 0, SampleStep::Next, std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(stepSample(c.current, c.count, c.step), c.loaded) << c.current;
}

}  // namespace
}  // namespace shell
