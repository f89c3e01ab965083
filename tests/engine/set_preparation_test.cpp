#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "../lang/script_harness.h"

namespace engine {
namespace {

using lang::testing::Interpreter;

std::vector<const SetMember*> members(const IfsSet* set) {
  std::vector<const SetMember*> result;
  for (const SetMember* m = set->members; m; m = m->next) result.push_back(m);
  return result;
}

// Each colour key takes one state of the scene's generator, shared by its
// members; a member collapsed through keyed members multiplies their states
// and keeps the later key.
TEST(Prepare, ColourKeysShareOneStatePerKeyAndCollapsedKeysMultiply) {
  Interpreter s(
      "set A = 0.5 A | 2 + translate(0.5, 0, 0) 0.5 A; set I = 0.5 A | 3;\n"
      "set O = translate(0, 0, 0.5) 0.5 O | 1 + translate(0, 1, 0) A | 2 + 0.5 I | 1; build O;");
  ASSERT_EQ(s.run(), "");
  std::vector<RandomState> draws(3, s.scene->sceneRandomState);
  for (size_t k = 1; k < 3; ++k) (draws[k] = draws[k - 1]).next();
  ASSERT_TRUE(s.scene->prepare()) << s.scene->renderError;
  const std::vector<const SetMember*> o = members(s.scene->preparedSets()->next);
  ASSERT_EQ(o.size(), 3u);  // reverse script order
  const auto drawn = [&](const RandomState& state) {
    return std::find(draws.begin(), draws.end(), state) - draws.begin();
  };
  const auto one = drawn(o[2]->colorState), two = drawn(o[1]->colorState);
  ASSERT_TRUE(one < 3 && two < 3 && one != two);
  EXPECT_EQ(o[2]->colorKey, 1);
  EXPECT_EQ(o[0]->colorKey, 3);
  EXPECT_EQ(o[0]->colorState, o[2]->colorState * draws[size_t(3 - one - two)]);
  EXPECT_EQ(members(s.scene->preparedSets()->next->next)[1]->colorState, o[1]->colorState);
}

}  // namespace
}  // namespace engine
