#include "shell/frame_pattern.h"

#include <gtest/gtest.h>

namespace shell {
namespace {

TEST(FramePattern, ExpandsExactlyOneIntegerConversion) {
  const std::pair<const char*, const char*> expanded[] = {
      {"frame%04d.png", "frame0042.png"}, {"%u", "42"},        {"%i-%%", "42-%"},
      {"100%% %-3d|", "100% 42 |"},       {"f%+.3d", "f+042"}, {"f% 5d", "f   42"},
  };
  for (auto [pattern, name] : expanded) {
    const std::optional<FramePattern> parsed = FramePattern::parse(pattern);
    EXPECT_EQ(parsed ? parsed->fileName(42) : "<rejected>", name) << pattern;
  }
  EXPECT_EQ(FramePattern::parse("%u")->fileName(4000000000u), "4000000000");
  EXPECT_EQ(FramePattern::parse("%99d")->fileName(1).size(), 99u);
  // Not one integer conversion; %n writes memory; widths too wide or from arguments.
  for (const char* pattern : {"frame.png", "%d-%d.png", "%s.png", "%n", "%ld.png", "%*d.png", "%#d",
                              "%100d", "frame%", ""}) {
    EXPECT_FALSE(FramePattern::parse(pattern).has_value()) << pattern;
  }
}

}  // namespace
}  // namespace shell
