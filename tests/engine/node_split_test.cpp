#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "../lang/script_harness.h"
#include "engine/sphere_node.h"
#include "engine/trace_context.h"

namespace engine {
namespace {

using lang::testing::Interpreter;
using lang::testing::sceneOf;

// The prepared set that picks among its members.
const IfsSet* pickingSet(const Fractal& scene) {
  const IfsSet* set = scene.preparedSets();
  while (set && set->selectionCount == 0) set = set->next;
  return set;
}

// The members (by index in the set's list) that split a node of `set` in
// the given random state; the node keeps its state, and the same state picks
// the same members.
std::vector<int> picked(Fractal& scene, const IfsSet* set, RandomState state) {
  TraceContext ctx(scene);
  EXPECT_TRUE(ctx.pushNode());
  SphereNode& node = *ctx.top;
  node.resetMap();
  node.set = set;
  node.center = set->boundCenter;
  node.radius2 = set->boundRadius2;
  node.randomState = state;
  EXPECT_TRUE(scene.splitNode(ctx, node));
  EXPECT_EQ(node.randomState, state);
  std::vector<int> members;
  for (const SphereNode* n = ctx.top; n != &node; n = n->next) {
    int i = 0;
    for (const SetMember* m = set->members; m; m = m->next, ++i)
      if ((m->apply(set->boundCenter) - n->center).lengthSquared() < 1e-20) members.push_back(i);
  }
  return members;
}

// A tetrahedron's four halves with selection weights, `pick` of them picked.
std::unique_ptr<Interpreter> tetrahedron(int pick, const std::vector<int>& w = {1, 1, 1, 1}) {
  const auto half = [&](const char* corner, int weight) {
    return "translate(" + std::string(corner) + ") 0.5 A {" + std::to_string(weight) + "}";
  };
  auto s = sceneOf("set A = (" + half("1, 1, 1", w[0]) + " + " + half("1, -1, -1", w[1]) + " + " +
                   half("-1, 1, -1", w[2]) + " + " + half("-1, -1, 1", w[3]) + ") % " +
                   std::to_string(pick) + "; build A;");
  EXPECT_TRUE(s->scene->prepare()) << s->scene->renderError;
  return s;
}

TEST(SplitNode, PicksTheSelectedNumberOfMembersByTheirSelectionWeights) {
  const struct {
    int pick;
    std::vector<int> weights;
    int rounds;
    std::vector<int> expected;  // times each member is picked
  } cases[] = {
      {2, {1, 1, 1, 1}, 400, {200, 200, 200, 200}},
      {1, {0, 2, 1, 1}, 4000, {1000, 1000, 2000, 0}},  // members are in reverse script order
  };
  for (const auto& c : cases) {
    const auto s = tetrahedron(c.pick, c.weights);
    const IfsSet* set = pickingSet(*s->scene);
    ASSERT_NE(set, nullptr);
    std::vector<int> times(4, 0);
    RandomState state = RandomState::fromLimbs(12345, 678, 9);
    for (int i = 0; i < c.rounds; ++i) {
      state.next();
      const std::vector<int> members = picked(*s->scene, set, state);
      ASSERT_EQ(members.size(), size_t(c.pick));
      EXPECT_EQ(std::set<int>(members.begin(), members.end()).size(), members.size());
      EXPECT_EQ(picked(*s->scene, set, state), members);
      for (int m : members) ++times.at(size_t(m));
    }
    for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(times[i], c.expected[i], 150) << c.pick;
  }
  // No pick while picking is off.
  const auto s = tetrahedron(2);
  s->scene->randomPickEnabled = false;
  EXPECT_EQ(picked(*s->scene, pickingSet(*s->scene), RandomState::fromLimbs(9, 9, 9)).size(), 4u);
}

TEST(SplitNode, UnusableConformalImagesGetAHugeSphere) {
  const auto s = sceneOf("set A = 0.5 A + translate(0.5, 0, 0) 0.5 A; build A;", 40, 30,
                         FractalType::Conformal);
  ASSERT_TRUE(s->scene->prepare()) << s->scene->renderError;
  TraceContext ctx(*s->scene);
  // A node seen through an inversion about 0.25: the child sphere about
  // 0.25 (the scale member, last) is turned inside out, the one about 0.75
  // is not.
  ASSERT_TRUE(ctx.pushNode());
  auto& node = static_cast<ConformalNode&>(*ctx.top);
  node.set = s->scene->preparedSets()->next;
  node.center = node.set->boundCenter;
  node.radius2 = node.set->boundRadius2;
  ASSERT_TRUE(node.map.buildFrom(MapSpec::make(MapKind::Inverse, {0.25, 0, 0, 1})));
  ASSERT_TRUE(s->scene->splitNode(ctx, node));
  EXPECT_EQ(ctx.top->radius2, 1e10);
  EXPECT_LT(ctx.top->next->radius2, 100);
  EXPECT_GT(ctx.top->next->radius2, 0);
}

}  // namespace
}  // namespace engine
