#include "shell/frame_pattern.h"

#include <gtest/gtest.h>

namespace shell {
namespace {

std::string expand(const std::string& pattern, unsigned frame) {
  const std::optional<FramePattern> parsed = FramePattern::parse(pattern);
  return parsed ? parsed->fileName(frame) : "<rejected>";
}

TEST(FramePattern, ExpandsItsOneIntegerConversion) {
  EXPECT_EQ(expand("frame%04d.png", 7), "frame0007.png");
  EXPECT_EQ(expand("out/%d.bmp", 123), "out/123.bmp");
  EXPECT_EQ(expand("%u", 4000000000u), "4000000000");
  EXPECT_EQ(expand("%i-%%", 5), "5-%");
  EXPECT_EQ(expand("100%% %-3d|", 42), "100% 42 |");
  EXPECT_EQ(expand("f%+.3d", 9), "f+009");
  EXPECT_EQ(expand("f% 5d", 9), "f    9");
  EXPECT_EQ(expand("%99d", 1).size(), 99u);
}

TEST(FramePattern, RejectsAnythingButExactlyOneIntegerConversion) {
  for (const char* pattern : {
           "frame.png",                          // none
           "100%%.png",                          // only a literal percent sign
           "%d-%d.png",                          // two
           "%s.png",                             // not an integer
           "%n",                                 // writes memory
           "%x.png",    "%f.png",                // other conversions
           "%ld.png",   "%lld",   "%hd", "%zu",  // length modifiers
           "%*d.png",   "%.*d",                  // widths from arguments
           "%#d",                                // undefined flag for d
           "%100d",     "%.100d",                // too wide
           "frame%",    "%d%",                   // a lone percent sign
           "%04d%s",                             // a second conversion after the first
           "",
       }) {
    EXPECT_FALSE(FramePattern::parse(pattern).has_value()) << pattern;
  }
}

}  // namespace
}  // namespace shell
