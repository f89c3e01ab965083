#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "engine/fractal.h"
#include "engine/sphere_node.h"
#include "engine/trace_context.h"
#include "engine/walk_support.h"
#include "scenes/scene_builder.h"

namespace engine {
namespace {

std::vector<double> radiiFromTop(const TraceContext& ctx, const SphereNode* below = nullptr) {
  std::vector<double> radii;
  for (const SphereNode* n = ctx.top; n != below; n = n->next) radii.push_back(n->radius2);
  return radii;
}

TEST(NodePool, HoldsAtMostOneNodeMoreThanTheLimit) {
  AffineFractal scene;
  TraceContext ctx(scene);
  int pushed = 0;
  while (ctx.pushNode()) ++pushed;
  EXPECT_EQ(pushed, 50001);
  EXPECT_EQ(ctx.nodesCreated, 50001);
  // Freed nodes are reused.
  EXPECT_TRUE(ctx.popNode());
  EXPECT_TRUE(ctx.pushNode());
  EXPECT_FALSE(ctx.pushNode());
  ctx.clearNodeStack();
  EXPECT_EQ(ctx.top, nullptr);
  EXPECT_TRUE(ctx.resetNodeStack());
  EXPECT_EQ(ctx.top->next, nullptr);
  EXPECT_EQ(ctx.nodesCreated, 50001);
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
    set_ = scene_.preparedSets()->next;
    r2_ = set_->boundRadius2;
  }

  // A node of A with the identity map above a marker node.
  SphereNode* pushNodes() {
    ctx_.pushNode();
    SphereNode* below = ctx_.top;
    below->radius2 = -5;
    ctx_.pushNode();
    SphereNode& node = *ctx_.top;
    node.resetMap();
    node.set = set_;
    node.center = set_->boundCenter;
    node.radius2 = r2_;
    return below;
  }

  AffineFractal scene_;
  TraceContext ctx_{scene_};
  const IfsSet* set_ = nullptr;
  double r2_ = 0;
};

TEST_F(Expansion, FactorOneLeavesNodesStrictlySmaller) {
  SphereNode* below = pushNodes();
  ASSERT_TRUE(ctx_.expandTopNode(1.0));
  const std::vector<double> radii = radiiFromTop(ctx_, below);
  ASSERT_EQ(radii.size(), 2u);
  EXPECT_NEAR(radii[0], 0.09 * r2_, 1e-12 * r2_);
  EXPECT_NEAR(radii[1], 0.81 * r2_, 1e-12 * r2_);
  EXPECT_EQ(below->radius2, -5);  // the node below is not touched
}

TEST_F(Expansion, FactorBelowOneSplitsLargeChildrenAgain) {
  SphereNode* below = pushNodes();
  ASSERT_TRUE(ctx_.expandTopNode(0.7));
  // The large child was split into 0.6561 and 0.0729; collected nodes come
  // back with the last one collected on top.
  const std::vector<double> radii = radiiFromTop(ctx_, below);
  ASSERT_EQ(radii.size(), 3u);
  EXPECT_NEAR(radii[0], 0.09 * r2_, 1e-12 * r2_);
  EXPECT_NEAR(radii[1], 0.0729 * r2_, 1e-12 * r2_);
  EXPECT_NEAR(radii[2], 0.6561 * r2_, 1e-12 * r2_);
}

TEST_F(Expansion, DoesNothingOnceCanceled) {
  SphereNode* below = pushNodes();
  SphereNode* node = ctx_.top;
  scene_.canceled = true;
  EXPECT_TRUE(ctx_.expandTopNode(1.0));
  EXPECT_EQ(ctx_.top, node);
  EXPECT_EQ(node->next, below);
}

TEST_F(Expansion, NodesWithoutRadiusAreSplitOnce) {
  for (double bad : {0.0, -1.0, std::nan("")}) {
    SphereNode* below = pushNodes();
    ctx_.top->radius2 = bad;
    AffineMap& map = static_cast<AffineNode*>(ctx_.top)->map;
    map.row[0] = map.row[1] = map.row[2] = {};  // everything to a point
    ASSERT_TRUE(ctx_.expandTopNode(1.0));
    const std::vector<double> radii = radiiFromTop(ctx_, below);
    EXPECT_EQ(radii, (std::vector<double>{0.0, 0.0}));
    ctx_.clearNodeStack();
  }
}

TEST_F(Expansion, FailsWhenThePoolRunsOut) {
  while (ctx_.nodesCreated < TraceContext::kNodeLimit - 1) ctx_.pushNode();
  SphereNode* below = pushNodes();  // the last two nodes the pool may create
  EXPECT_FALSE(ctx_.expandTopNode(0.7));
  // What was pushed before the failure stays; nothing below is lost.
  SphereNode* n = ctx_.top;
  while (n && n != below) n = n->next;
  EXPECT_EQ(n, below);
}

// Nodes above `end` at the given distances from the origin, under a spare
// head node; returns the head.
SphereNode* pushAtDistances(TraceContext& ctx, const std::vector<double>& distances,
                            std::vector<SphereNode*>& nodes) {
  for (auto d = distances.rbegin(); d != distances.rend(); ++d) {
    ctx.pushNode();
    ctx.top->center = {0, *d, 0};
    nodes.insert(nodes.begin(), ctx.top);
  }
  ctx.pushNode();
  return ctx.top;
}

std::vector<SphereNode*> between(SphereNode* head, SphereNode* end) {
  std::vector<SphereNode*> nodes;
  for (SphereNode* n = head->next; n != end; n = n->next) nodes.push_back(n);
  return nodes;
}

TEST(SortNodes, NearestFirstWithTiesInTheirOrder) {
  AffineFractal scene;
  TraceContext ctx(scene);
  ctx.pushNode();
  SphereNode* end = ctx.top;
  end->center = {0, 0, 0};
  std::vector<SphereNode*> nodes;
  SphereNode* head = pushAtDistances(ctx, {5, 1, 3, -1, 4, 1, -2}, nodes);
  ctx.sortOrigin = {0, 0, 0};
  ctx.sortNodesByDistance(head, end);
  EXPECT_EQ(ctx.top, head);
  EXPECT_EQ(between(head, end), (std::vector<SphereNode*>{nodes[1], nodes[3], nodes[5], nodes[6],
                                                          nodes[2], nodes[4], nodes[0]}));
  EXPECT_EQ(end->next, nullptr);

  // Short lists are left alone.
  ctx.sortNodesByDistance(head, head->next->next);
  ctx.sortNodesByDistance(head, head);
  EXPECT_EQ(between(head, end).front(), nodes[1]);
}

TEST(SortNodes, AgreesWithAStableSortOnLongLists) {
  AffineFractal scene;
  TraceContext ctx(scene);
  std::mt19937 random(99);
  std::vector<double> distances;
  for (int i = 0; i < 3000; ++i) distances.push_back(double(random() % 40));
  std::sort(distances.begin(), distances.begin() + 1000);  // a sorted run: the worst pivot
  std::vector<SphereNode*> nodes;
  SphereNode* head = pushAtDistances(ctx, distances, nodes);
  ctx.sortOrigin = {0, -0.5, 0};
  ctx.sortNodesByDistance(head, nullptr);
  std::vector<SphereNode*> expected = nodes;
  std::stable_sort(expected.begin(), expected.end(), [&](SphereNode* a, SphereNode* b) {
    return (a->center - ctx.sortOrigin).lengthSquared() <
           (b->center - ctx.sortOrigin).lengthSquared();
  });
  EXPECT_EQ(between(head, nullptr), expected);
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
    const bool withNan = round % 3 == 0;
    std::vector<SphereNode*> mapOrder;
    for (int i = 0; i < count; ++i) {
      ctx.pushNode();  // splitNode pushes in map order: the last one ends on top
      ctx.top->center = {double(random() % 5), 0, 0};  // many ties
      if (withNan && random() % 4 == 0) ctx.top->center.x = std::nan("");
      ctx.top->radius2 = 1.0;
      mapOrder.push_back(ctx.top);
    }
    arrangeChildren(ctx, below, &origin, 1.0, nullptr);
    std::vector<SphereNode*> expected = mapOrder;
    for (auto run = expected.begin(); run != expected.end();) {
      const auto end = std::find_if(run, expected.end(),
                                    [&](SphereNode* n) { return std::isnan(distance2(n)); });
      std::stable_sort(run, end,
                       [&](SphereNode* a, SphereNode* b) { return distance2(a) < distance2(b); });
      run = end == expected.end() ? end : end + 1;
    }
    std::vector<SphereNode*> visited;
    for (SphereNode* n = ctx.top; n != below; n = n->next) visited.push_back(n);
    ASSERT_EQ(visited, expected) << "round " << round;
    EXPECT_DOUBLE_EQ(ctx.top->mass, 1.0 / count);
    while (ctx.top != below) ctx.popNode();
  }
}

}  // namespace
}  // namespace engine
