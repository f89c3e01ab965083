#include "shell/samples_menu.h"

#include <gtest/gtest.h>

namespace shell {
namespace {

// "text=command" per item, "text[...]" for submenus.
std::string describe(const std::vector<SamplesMenuItem>& items) {
  std::string text;
  for (const SamplesMenuItem& item : items) {
    text += item.items.empty() ? item.text + "=" + std::to_string(item.command) + " "
                               : item.text + "[" + describe(item.items) + "] ";
  }
  return text;
}

// Many sibling submenus keep their items.
TEST(SamplesMenu, ManySiblingSubmenusKeepTheirItems) {
  std::vector<SampleEntry> entries;
  std::string expected;
  for (int i = 0; i < 100; ++i) {
    entries.push_back({SampleKind::Submenu, 0, "M"});
    entries.push_back({SampleKind::Sample, 1, "S"});
    expected += "M[S=" + std::to_string(34001 + 2 * i) + " ] ";
  }
  EXPECT_EQ(describe(buildSamplesMenu(entries)), expected);
}

}  // namespace
}  // namespace shell
