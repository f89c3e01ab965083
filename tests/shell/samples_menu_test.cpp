#include "shell/samples_menu.h"

#include <gtest/gtest.h>

namespace shell {
namespace {

using Type = SamplesMenuItem::Type;

SampleEntry entry(SampleKind kind, int depth, const std::string& name = {}) {
  return {kind, depth, name};
}

TEST(SamplesMenu, NestsSubmenusAndNumbersCommandsByEntry) {
  const std::vector<SamplesMenuItem> menu = buildSamplesMenu({
      entry(SampleKind::Sample, 0, "Sponge"), entry(SampleKind::Submenu, 0, "Classic"),
      entry(SampleKind::Sample, 1, "Sponge"), entry(SampleKind::Separator, 1),
      entry(SampleKind::Submenu, 1, "Deep"), entry(SampleKind::Sample, 2, "Leaf"),
      entry(SampleKind::Include, 1, "-shared"),  // back out of "Deep"
      entry(SampleKind::Sample, 0, "Last"),      // back out of "Classic"
  });
  ASSERT_EQ(menu.size(), 3u);
  EXPECT_EQ(menu[0].type, Type::Command);
  EXPECT_EQ(menu[0].command, 34000);
  EXPECT_EQ(menu[0].text, "Sponge");
  EXPECT_EQ(menu[2].command, 34007);
  EXPECT_EQ(menu[2].text, "Last");

  const SamplesMenuItem& classic = menu[1];
  EXPECT_EQ(classic.type, Type::Submenu);
  EXPECT_EQ(classic.text, "Classic");
  ASSERT_EQ(classic.items.size(), 4u);
  EXPECT_EQ(classic.items[0].command, 34002);
  EXPECT_EQ(classic.items[1].type, Type::Separator);
  EXPECT_EQ(classic.items[2].type, Type::Submenu);
  ASSERT_EQ(classic.items[2].items.size(), 1u);
  EXPECT_EQ(classic.items[2].items[0].command, 34005);
  EXPECT_EQ(classic.items[3].type, Type::Command);
  EXPECT_EQ(classic.items[3].text, "-shared");
  EXPECT_EQ(classic.items[3].command, 34006);
}

TEST(SamplesMenu, SkipsEntriesDeeperThanTheOpenSubmenus) {
  const std::vector<SamplesMenuItem> menu = buildSamplesMenu({
      entry(SampleKind::Sample, 1, "orphan"),
      entry(SampleKind::Sample, -1, "negative"),
      entry(SampleKind::Submenu, 0, "M"),
      entry(SampleKind::Sample, 2, "too deep"),
      entry(SampleKind::Sample, 1, "inside"),
  });
  ASSERT_EQ(menu.size(), 1u);
  ASSERT_EQ(menu[0].items.size(), 1u);
  EXPECT_EQ(menu[0].items[0].text, "inside");
  EXPECT_EQ(menu[0].items[0].command, 34004);
}

TEST(SamplesMenu, ManySiblingSubmenusKeepTheirItems) {
  std::vector<SampleEntry> entries;
  for (int i = 0; i < 100; ++i) {
    entries.push_back(entry(SampleKind::Submenu, 0, "M" + std::to_string(i)));
    entries.push_back(entry(SampleKind::Sample, 1, "S" + std::to_string(i)));
  }
  const std::vector<SamplesMenuItem> menu = buildSamplesMenu(entries);
  ASSERT_EQ(menu.size(), 100u);
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(menu[i].items.size(), 1u);
    EXPECT_EQ(menu[i].items[0].text, "S" + std::to_string(i));
  }
}

TEST(SamplesMenu, EmptyIndexGivesAnEmptyMenu) {
  EXPECT_TRUE(buildSamplesMenu({}).empty());
}

TEST(SampleStepping, PreviousAndNextStayInsideTheSamples) {
  EXPECT_EQ(stepSample(1, 4, SampleStep::Next), 2);
  EXPECT_EQ(stepSample(3, 4, SampleStep::Next), 3);  // the last one is loaded again
  EXPECT_EQ(stepSample(2, 4, SampleStep::Previous), 1);
  EXPECT_EQ(stepSample(0, 4, SampleStep::Previous), 0);
}

TEST(SampleStepping, ANumberBeyondTheSamplesIsClampedFirst) {
  EXPECT_EQ(stepSample(9, 4, SampleStep::Next), 3);
  EXPECT_EQ(stepSample(9, 4, SampleStep::Previous), 2);
  EXPECT_EQ(stepSample(0, 1, SampleStep::Next), 0);
  EXPECT_FALSE(stepSample(0, 0, SampleStep::Next));
  EXPECT_FALSE(stepSample(3, 0, SampleStep::Previous));
}

}  // namespace
}  // namespace shell
