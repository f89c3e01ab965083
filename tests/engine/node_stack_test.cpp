#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "engine/fractal.h"
#include "engine/sphere_node.h"
#include "engine/trace_context.h"
#include "engine/walk_support.h"
#include "scene_builder.h"

namespace engine {
namespace {

std::vector<SphereNode*> nodesAbove(const TraceContext& ctx, const SphereNode* below) {
  std::vector<SphereNode*> nodes;
  for (SphereNode* n = ctx.top; n != below; n = n->next) nodes.push_back(n);
  return nodes;
}

TEST(NodePool, HoldsAtMostOneNodeMoreThanTheLimitAndReusesFreedNodes) {
  AffineFractal scene;
  TraceContext ctx(scene);
  int pushed = 0;
  while (ctx.pushNode()) ++pushed;
  EXPECT_EQ(pushed, TraceContext::kNodeLimit + 1);
  EXPECT_TRUE(ctx.popNode());
  EXPECT_TRUE(ctx.pushNode());
  EXPECT_FALSE(ctx.pushNode());
  ctx.clearNodeStack();
  EXPECT_EQ(ctx.top, nullptr);
  EXPECT_TRUE(ctx.resetNodeStack());
  EXPECT_EQ(ctx.top->next, nullptr);
  EXPECT_EQ(ctx.nodesCreated, TraceContext::kNodeLimit + 1);
}

// A = scale(0.9) A + translate(1, 0, 0) scale(0.3) A: children of squared
// radius 0.81 and 0.09 times the set's.
class Expansion : public ::testing::Test {
 protected:
  void SetUp() override {
    SceneBuilder b(scene_);
    IfsSet* a = b.newSet();
    b.term(a, {scale(0.9)}, a);
    b.term(a, {translate({1, 0, 0}), scale(0.3)}, a);
    b.build(a);
    ASSERT_TRUE(scene_.prepare()) << scene_.renderError;
  }

  // A node of A with the identity map above a marker node; returns the marker.
  SphereNode* pushNodes() {
    ctx_.pushNode();
    SphereNode* below = ctx_.top;
    below->radius2 = -5;
    ctx_.pushNode();
    ctx_.top->resetMap();
    ctx_.top->set = scene_.preparedSets()->next;
    ctx_.top->center = ctx_.top->set->boundCenter;
    ctx_.top->radius2 = ctx_.top->set->boundRadius2;
    return below;
  }

  // Squared radii above the marker, in units of the set's.
  std::vector<double> radii(const SphereNode* below) {
    std::vector<double> result;
    for (const SphereNode* n : nodesAbove(ctx_, below))
      result.push_back(std::round(n->radius2 / scene_.preparedSets()->next->boundRadius2 * 1e9) /
                       1e9);
    return result;
  }

  AffineFractal scene_;
  TraceContext ctx_{scene_};
};

TEST_F(Expansion, SplitsUntilEveryNodeIsSmallerThanTheFactorAllows) {
  // Below a factor of one the large child is split again; collected nodes
  // come back with the last one collected on top.
  for (const auto& [factor, expected] :
       {std::pair{1.0, std::vector<double>{0.09, 0.81}}, {0.7, {0.09, 0.0729, 0.6561}}}) {
    SphereNode* below = pushNodes();
    ASSERT_TRUE(ctx_.expandTopNode(factor));
    EXPECT_EQ(radii(below), expected) << factor;
    EXPECT_EQ(below->radius2, -5);  // the node below is not touched
    ctx_.clearNodeStack();
  }
  // Nodes without radius are split once.
  for (double bad : {0.0, -1.0, std::nan("")}) {
    SphereNode* below = pushNodes();
    ctx_.top->radius2 = bad;
    AffineMap& map = static_cast<AffineNode*>(ctx_.top)->map;
    map.row[0] = map.row[1] = map.row[2] = {};  // everything to a point
    ASSERT_TRUE(ctx_.expandTopNode(1.0));
    EXPECT_EQ(radii(below), (std::vector<double>{0.0, 0.0}));
    ctx_.clearNodeStack();
  }
}

TEST_F(Expansion, DoesNothingOnceCanceledAndFailsWhenThePoolRunsOut) {
  SphereNode* below = pushNodes();
  SphereNode* node = ctx_.top;
  scene_.canceled = true;
  EXPECT_TRUE(ctx_.expandTopNode(1.0));
  EXPECT_EQ(nodesAbove(ctx_, below), std::vector<SphereNode*>{node});
  scene_.canceled = false;
  ctx_.clearNodeStack();

  while (ctx_.nodesCreated < TraceContext::kNodeLimit - 1) ctx_.pushNode();
  below = pushNodes();  // the last two nodes the pool may create
  EXPECT_FALSE(ctx_.expandTopNode(0.7));
  // What was pushed before the failure stays; nothing below is lost.
  SphereNode* n = ctx_.top;
  while (n && n != below) n = n->next;
  EXPECT_EQ(n, below);
}

TEST(SortNodes, AgreesWithAStableSortOnLongLists) {
  AffineFractal scene;
  TraceContext ctx(scene);
  std::mt19937 random(99);
  std::vector<SphereNode*> nodes;
  for (int i = 0; i < 3000; ++i) {
    ctx.pushNode();
    // Many ties, and a sorted run at the end of the list: the worst pivot.
    ctx.top->center = {0, double(i < 1000 ? 1000 - i : random() % 40), 0};
    nodes.insert(nodes.begin(), ctx.top);
  }
  ctx.pushNode();
  SphereNode* head = ctx.top;
  ctx.sortOrigin = {0, -0.5, 0};
  ctx.sortNodesByDistance(head, nullptr);
  const auto distance2 = [&](SphereNode* n) {
    return (n->center - ctx.sortOrigin).lengthSquared();
  };
  std::stable_sort(nodes.begin(), nodes.end(),
                   [&](SphereNode* a, SphereNode* b) { return distance2(a) < distance2(b); });
  EXPECT_EQ(ctx.top, head);
  EXPECT_EQ(nodesAbove(ctx, nullptr), [&] {
    std::vector<SphereNode*> expected{head};
    expected.insert(expected.end(), nodes.begin(), nodes.end());
    return expected;
  }());
}

// The walks' siblings: arrangeChildren starts each sort from the order the
// previous one found, which must not show in the result. A child whose
// distance is not a number keeps its place in the maps' order, and the others
// are sorted between such children.
TEST(ArrangeChildren, NearestFirstWithTiesInMapOrderWhateverCameBefore) {
  AffineFractal scene;
  TraceContext ctx(scene);
  ctx.pushNode();
  SphereNode* below = ctx.top;
  std::mt19937 random(7);
  const Vec3 origin{-1, 0, 0};
  const auto distance2 = [&](const SphereNode* n) { return (n->center - origin).lengthSquared(); };
  for (int round = 0; round < 200; ++round) {
    const int count = 2 + int(random() % 40);
    std::vector<SphereNode*> expected;
    for (int i = 0; i < count; ++i) {
      ctx.pushNode();  // splitNode pushes in map order: the last one ends on top
      ctx.top->center = {double(random() % 5), 0, 0};  // many ties
      if (round % 3 == 0 && random() % 4 == 0) ctx.top->center.x = std::nan("");
      ctx.top->radius2 = 1.0;
      expected.push_back(ctx.top);
    }
    arrangeChildren(ctx, below, &origin, 1.0, nullptr);
    for (auto run = expected.begin(); run != expected.end();) {
      const auto end = std::find_if(run, expected.end(),
                                    [&](SphereNode* n) { return std::isnan(distance2(n)); });
      std::stable_sort(run, end,
                       [&](SphereNode* a, SphereNode* b) { return distance2(a) < distance2(b); });
      run = end == expected.end() ? end : end + 1;
    }
    ASSERT_EQ(nodesAbove(ctx, below), expected) << "round " << round;
    EXPECT_DOUBLE_EQ(ctx.top->mass, 1.0 / count);
    while (ctx.top != below) ctx.popNode();
  }
}

}  // namespace
}  // namespace engine
