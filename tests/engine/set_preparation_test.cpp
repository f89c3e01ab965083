// Sets after preparation: the bounds of their attractors and the colour
// states of their members.
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "../lang/script_harness.h"

namespace engine {
namespace {

// Random iteration over the prepared sets below the root: a point of a
// member's target maps to a point of the member's own set, which must lie in
// that set's bound. Returns the largest distance from each set's centre.
std::vector<double> iterateAttractor(const Fractal& scene) {
  struct Edge {
    const IfsSet* owner;
    const SetMember* member;
  };
  std::vector<Edge> edges;
  std::vector<const IfsSet*> sets;
  for (const IfsSet* s = scene.preparedSets()->next; s; s = s->next) {
    sets.push_back(s);
    for (const SetMember* m = s->members; m; m = m->next) edges.push_back({s, m});
  }
  std::vector<double> farthest(sets.size(), 0.0);
  std::mt19937 random(7);
  // A set only the root leads to sends the walk back to the deepest set.
  const IfsSet* at = sets.back();
  Vec3 p = at->boundCenter, deepest = p;
  for (int i = 0; i < 20000; ++i) {
    if (at == sets.back()) deepest = p;
    std::vector<Edge> into;
    for (const Edge& e : edges)
      if (e.member->target == at) into.push_back(e);
    if (into.empty()) {
      at = sets.back();
      p = deepest;
      continue;
    }
    const Edge& e = into[random() % into.size()];
    p = e.member->apply(p);
    at = e.owner;
    if (i < 50) continue;
    EXPECT_LE((p - at->boundCenter).lengthSquared(), at->boundRadius2 * (1 + 1e-12));
    const size_t index = size_t(std::find(sets.begin(), sets.end(), at) - sets.begin());
    farthest[index] = std::max(farthest[index], (p - at->boundCenter).length());
  }
  return farthest;
}

// Every prepared set's bound holds its attractor and is tight: its radius
// exceeds the farthest point found by at most the slack. Attractors of one
// point or a few must end soundly too.
TEST(Bounds, HoldTheAttractorTightly) {
  const struct {
    FractalType type;
    std::string script;
    double slack;
  } cases[] = {
      // Contractions towards the corners of a convex body: the bound is the corners' sphere.
      {FractalType::Affine,
       "set T = translate(0.5, 0.5, 0.5) 0.5 T + translate(0.5, -0.5, -0.5) 0.5 T\n"
       "  + translate(-0.5, 0.5, -0.5) 0.5 T + translate(-0.5, -0.5, 0.5) 0.5 T; build T;",
       1.02},
      // Refinement from a huge sphere would keep the centre of inversion
      // inside and so never shrink through the inversion: such scenes give a bound.
      {FractalType::Conformal,
       "set A = bound(0, 0, 0, 1) (0.5 A + translate(0, 0.5, 0) 0.5 A\n"
       "  + translate(-2, 0, 0) inverse(2, 0, 0, 0.9) A); build A;",
       1.05},
      // The bounded set keeps its centre; its radius can only shrink.
      {FractalType::Affine,
       "set A = 0.5 A + translate(1, 0, 0) 0.5 A; build bound(0.5, 0, 0, 3) bound(0, 0, 0, -9) A;",
       1.02},
      // Sets of one level are bounded together.
      {FractalType::Affine,
       "set A = translate(0.5, 0, 0) 0.5 B + 0.5 A;\n"
       "set B = translate(0, 0.5, 0) 0.5 A + translate(0, 0, 0.5) 0.5 B; build A;",
       1.02},
      // The fixed point of x -> 0.5 x + 1 through two sets; 0 and the points 2 - 2^-k.
      {FractalType::Conformal, "set A = translate(1, 0, 0) B; set B = 0.5 A; build A;", 1.02},
      {FractalType::Affine, "set A = 0 A + translate(1, 0, 0) 0.5 A; build A;", 1.02},
  };
  for (const auto& c : cases) {
    const auto s = lang::testing::sceneOf(c.script, 40, 30, c.type);
    ASSERT_TRUE(s->scene->prepare()) << s->scene->renderError << c.script;
    const std::vector<double> farthest = iterateAttractor(*s->scene);
    const IfsSet* set = s->scene->preparedSets()->next;
    for (size_t i = 0; set; set = set->next, ++i)
      EXPECT_LE(std::sqrt(set->boundRadius2), c.slack * farthest[i] + 1e-2) << c.script << i;
  }
}

std::vector<const SetMember*> members(const IfsSet* set) {
  std::vector<const SetMember*> result;
  for (const SetMember* m = set->members; m; m = m->next) result.push_back(m);
  return result;
}

// Each colour key takes one state of the scene's generator, shared by its
// members; a member collapsed through keyed members multiplies their states
// and keeps the later key.
TEST(Prepare, ColourKeysShareOneStatePerKeyAndCollapsedKeysMultiply) {
  const auto s = lang::testing::sceneOf(
      "set A = 0.5 A | 2 + translate(0.5, 0, 0) 0.5 A; set I = 0.5 A | 3;\n"
      "set O = translate(0, 0, 0.5) 0.5 O | 1 + translate(0, 1, 0) A | 2 + 0.5 I | 1; build O;");
  std::vector<RandomState> draws(3, s->scene->sceneRandomState);
  for (size_t k = 1; k < 3; ++k) (draws[k] = draws[k - 1]).next();
  ASSERT_TRUE(s->scene->prepare()) << s->scene->renderError;
  const std::vector<const SetMember*> o = members(s->scene->preparedSets()->next);
  ASSERT_EQ(o.size(), 3u);  // reverse script order
  const auto drawn = [&](const RandomState& state) {
    return std::find(draws.begin(), draws.end(), state) - draws.begin();
  };
  const auto one = drawn(o[2]->colorState), two = drawn(o[1]->colorState);
  ASSERT_TRUE(one < 3 && two < 3 && one != two);
  EXPECT_EQ(o[2]->colorKey, 1);
  EXPECT_EQ(o[0]->colorKey, 3);
  EXPECT_EQ(o[0]->colorState, o[2]->colorState * draws[size_t(3 - one - two)]);
  EXPECT_EQ(members(s->scene->preparedSets()->next->next)[1]->colorState, o[1]->colorState);
}

}  // namespace
}  // namespace engine
