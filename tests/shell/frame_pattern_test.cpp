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
  for (const char* pattern : {
           "frame.png", "100%%.png", "%d-%d.png", "%04d%s",  // none, two
           "%s.png",    "%n",        "%x.png",    "%f.png",  // not an integer; %n writes memory
           "%ld.png",   "%lld",      "%hd",       "%zu",     // length modifiers
           "%*d.png",   "%.*d",                              // widths from arguments
           "%#d",       "%100d",     "%.100d",               // undefined flag; too wide
           "frame%",    "%d%",       "",                     // a lone percent sign
       }) {
    EXPECT_FALSE(FramePattern::parse(pattern).has_value()) << pattern;
  }
}

}  // namespace
}  // namespace shell
