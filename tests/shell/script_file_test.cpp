#include "shell/script_file.h"

#include <sstream>

#include <gtest/gtest.h>

namespace shell {
namespace {

std::string read(const std::string& bytes) {
  std::istringstream in(bytes);
  return readScriptText(in);
}

TEST(ScriptFile, EveryLineEndsWithCarriageReturnAndLineFeed) {
  EXPECT_EQ(read("a\nb\n"), "a\r\nb\r\n");
  EXPECT_EQ(read("a\r\nb"), "a\r\nb\r\n");  // last line without a break
  EXPECT_EQ(read("a\n\n"), "a\r\n\r\n");
  EXPECT_EQ(read(""), "");
}

TEST(ScriptFile, LongLinesAreReadWhole) {
  const std::string line(5000, 'x');
  EXPECT_EQ(read(line + "\n;"), line + "\r\n;\r\n");
}

TEST(ScriptFile, MissingFileGivesNothing) {
  EXPECT_FALSE(readScriptFile("/nonexistent/dir/scene.ifs").has_value());
}

}  // namespace
}  // namespace shell
