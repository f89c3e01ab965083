#include "shell/script_file.h"

#include <sstream>

#include <gtest/gtest.h>

namespace shell {
namespace {

TEST(ScriptFile, EveryLineEndsWithCarriageReturnAndLineFeed) {
  const std::string longLine(5000, 'x');
  const std::pair<std::string, std::string> cases[] = {
      {"a\nb\n", "a\r\nb\r\n"},
      {"a\r\nb", "a\r\nb\r\n"},
      {"a\n\n", "a\r\n\r\n"},
      {"", ""},
      {longLine + "\n;", longLine + "\r\n;\r\n"},
  };
  for (const auto& [bytes, text] : cases) {
    std::istringstream in(bytes);
    EXPECT_EQ(readScriptText(in), text);
  }
  EXPECT_FALSE(readScriptFile("/nonexistent/dir/scene.ifs").has_value());
}

}  // namespace
}  // namespace shell
