#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/fractal.h"
#include "engine/lighting.h"
#include "engine/pixel_ray.h"
#include "engine/sphere_node.h"
#include "engine/sphere_walks.h"
#include "engine/trace_context.h"
#include "engine/walk_support.h"

namespace engine {
namespace {

std::vector<SphereNode*> nodesAbove(const TraceContext& ctx, const SphereNode* below) {
  std::vector<SphereNode*> nodes;
  for (SphereNode* n = ctx.top; n != below; n = n->next) nodes.push_back(n);
  return nodes;
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
    ctx.splitChildren = nodesAbove(ctx, below);  // as their expansion lists them
    arrangeChildren(ctx, below, &origin, 1.0, 1);
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

// A tree that never ends: every node has a copy of itself among its children.
class EndlessScene : public Fractal {
 public:
  EndlessScene() : Fractal(FractalType::Affine) {}
  bool prepare() override { return true; }
  bool initRoot(TraceContext& ctx) const override {
    if (!ctx.resetNodeStack()) return false;
    ctx.top->center = {};
    ctx.top->radius2 = 1.0;
    return true;
  }
  bool splitNode(TraceContext& ctx, SphereNode& node) const override {
    for (const double k : {1.0, 0.25}) {
      if (!ctx.pushNode()) return false;
      ctx.top->center = node.center + Vec3{1 - k, 0, 0};
      ctx.top->radius2 = node.radius2 * k;
    }
    return true;
  }
  std::unique_ptr<SphereNode> newNode() const override { return std::make_unique<AffineNode>(); }
  std::unique_ptr<SetMember> cloneMember(const SetMember&) const override { return nullptr; }
  std::unique_ptr<SetMember> newMember(IfsSet*) const override { return nullptr; }
};

// The pool holds at most one node more than its limit.
TEST(Walks, AnExhaustedNodePoolKeepsTheHitsAndEndsTheWalk) {
  EndlessScene scene;
  TraceContext ctx(scene);
  const Material earlier;
  ctx.rays.resize(1);
  PixelRay& ray = ctx.rays[0];
  ray.origin = ctx.currentEye = {0, 0, -5};
  ray.direction = {0, 0, 1};
  ray.cone = 0.001f;
  ray.flags = PixelRay::kActive | PixelRay::kBackground;
  ray.t = 4.5;
  ray.material = &earlier;
  ctx.active = &ray;
  EXPECT_TRUE(intersectRays(ctx));
  EXPECT_EQ(ray.material, &earlier);
  EXPECT_EQ(ray.t, 4.5);
  ray.origin = {0, 0, -0.5};
  ctx.active = &ray;
  EXPECT_TRUE(estimateNormals(ctx));
  Light light;
  light.position = {0, 0, -9};
  scene.view.placedLights = {light};
  ray.t = 8.5;
  ray.travelled = 4.5;
  ctx.active = &ray;
  EXPECT_TRUE(traceShadowRays(ctx, 0));
  EXPECT_EQ(ctx.active, &ray);
  EXPECT_EQ(ctx.nodesCreated, TraceContext::kNodeLimit + 1);
}

// A tree nested about a hit point: each node's one child has the same centre
// and half its squared radius, so the point stays near every node down to
// where the radius runs out of precision. The walk ends, and the field of
// masses at the point itself is nil.
class NestedScene : public EndlessScene {
 public:
  bool splitNode(TraceContext& ctx, SphereNode& node) const override {
    if (!ctx.pushNode()) return false;
    ctx.top->center = node.center;
    ctx.top->radius2 = node.radius2 * 0.5;
    ctx.top->mass = node.mass;
    return true;
  }
};

TEST(Walks, ANormalWalkNestedAboutItsPointEnds) {
  NestedScene scene;
  TraceContext ctx(scene);
  ctx.rays.resize(1);
  PixelRay& ray = ctx.rays[0];
  ray.origin = {0, 0, 0};
  ray.flags = PixelRay::kActive;
  ctx.active = &ray;
  EXPECT_TRUE(estimateNormals(ctx));
  EXPECT_EQ(ray.normal.x, 0.0f);
  EXPECT_EQ(ray.normal.z, 0.0f);
  EXPECT_EQ(ctx.top, nullptr);
  EXPECT_LT(ctx.nodesCreated, 10);
}

// Children at centres that spell their path from the root, each with its
// parent's squared radius times one of `ratios`; listed for expandTopNode
// like a real split's, or not.
class RatioScene : public EndlessScene {
 public:
  RatioScene(std::vector<double> ratios, bool lists) : ratios_(std::move(ratios)), lists_(lists) {}
  bool splitNode(TraceContext& ctx, SphereNode& node) const override {
    ctx.splitChildren.clear();
    for (size_t i = 0; i < ratios_.size(); ++i) {
      if (!ctx.pushNode()) return false;
      ctx.top->center = {node.center.x * 10 + double(i + 1), 0, 0};
      ctx.top->radius2 = node.radius2 * ratios_[i];
      if (lists_) ctx.splitChildren.push_back(ctx.top);
    }
    return true;
  }

 private:
  std::vector<double> ratios_;
  bool lists_;
};

// A listed split takes a shortcut when no child is split again: the nodes
// come out the same as by walking the stack, sanitized radii too, and are
// listed. Random ratios split deeper nodes in the places of earlier ones.
TEST(ExpandTopNode, ListedChildrenComeOutAsCollectedOnes) {
  std::vector<std::vector<double>> cases = {{0.1, 0.2, 0.3},           {0.1, 0.8, 0.9}, {0.9, 0.1},
                                            {0.5, std::nan(""), -1.0}, {0.3},           {}};
  std::mt19937 random(3);
  std::uniform_real_distribution<double> ratio(0.05, 0.95);
  for (int round = 0; round < 300; ++round) {
    std::vector<double>& ratios = cases.emplace_back(2 + random() % 4);
    for (double& r : ratios) r = ratio(random);
  }
  for (const double parentRadius2 : {1.0, 0.0})
    for (const std::vector<double>& ratios : cases) {
      std::vector<std::pair<double, double>> results[2];
      for (const bool lists : {false, true}) {
        RatioScene scene(ratios, lists);
        TraceContext ctx(scene);
        ctx.pushNode();
        SphereNode* below = ctx.top;
        ctx.pushNode();
        ctx.top->center = {};
        ctx.top->radius2 = parentRadius2;
        ASSERT_TRUE(ctx.expandTopNode(0.7));
        EXPECT_EQ(ctx.splitChildren, nodesAbove(ctx, below));
        for (const SphereNode* n : nodesAbove(ctx, below))
          results[lists].push_back({n->center.x, n->radius2});
      }
      EXPECT_EQ(results[1], results[0]) << ratios.size() << " ratios, parent " << parentRadius2;
      EXPECT_GE(results[0].size(), ratios.size());
    }
}

}  // namespace
}  // namespace engine
