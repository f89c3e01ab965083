#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/fractal.h"
#include "engine/sphere_node.h"
#include "engine/trace_context.h"
#include "scene_builder.h"

namespace engine {
namespace {

// A prepared Sierpinski tetrahedron whose set may pick `pick` members with
// the given selection weights (in member order).
struct Tetrahedron {
  explicit Tetrahedron(int pick, std::vector<double> weights = {})
      : scene(std::make_unique<AffineFractal>()) {
    SceneBuilder b(*scene);
    IfsSet* a = buildSierpinski(b);
    a->selectionCount = pick;
    size_t i = 0;
    for (SetMember* m = a->members; m && i < weights.size(); m = m->next)
      m->selectionWeight = weights[i++];
    EXPECT_TRUE(scene->prepare()) << scene->renderError;
    set = scene->preparedSets()->next;
  }
  std::unique_ptr<Fractal> scene;
  const IfsSet* set;
};

// Puts a node of `set` with the identity map on the context's stack.
SphereNode& pushSetNode(TraceContext& ctx, const IfsSet* set, RandomState state = {1, 0, 0}) {
  EXPECT_TRUE(ctx.pushNode());
  SphereNode& node = *ctx.top;
  node.resetMap();
  node.set = set;
  node.center = set->boundCenter;
  node.radius2 = set->boundRadius2;
  node.randomState = state;
  node.mass = 1.0;
  node.material = nullptr;
  return node;
}

// Index in the set's member list of the member that made each child on the
// stack above `below`, from the top; children are told apart by centre.
std::vector<int> childMembers(const TraceContext& ctx, const SphereNode* below, const IfsSet* set) {
  std::vector<int> result;
  for (const SphereNode* n = ctx.top; n != below; n = n->next) {
    int i = 0, found = -1;
    for (const SetMember* m = set->members; m; m = m->next, ++i)
      if ((m->apply(set->boundCenter) - n->center).lengthSquared() < 1e-20) found = i;
    result.push_back(found);
  }
  return result;
}

const SetMember& memberAt(const IfsSet* set, int index) {
  const SetMember* m = set->members;
  while (index-- > 0) m = m->next;
  return *m;
}

std::vector<int> splitAndRelease(const Fractal& scene, TraceContext& ctx, const IfsSet* set,
                                 RandomState state) {
  SphereNode& node = pushSetNode(ctx, set, state);
  EXPECT_TRUE(scene.splitNode(ctx, node));
  std::vector<int> members = childMembers(ctx, &node, set);
  EXPECT_EQ(node.randomState, state);  // the pick works on a copy
  ctx.clearNodeStack();
  return members;
}

// How often each member is picked over `rounds` splits from successive
// states; every split picks `perSplit` distinct members, the same ones for
// the same node state.
std::vector<int> timesPicked(const Tetrahedron& t, int rounds, size_t perSplit) {
  TraceContext ctx(*t.scene);
  std::vector<int> times(4, 0);
  RandomState state{12345, 678, 9};
  for (int i = 0; i < rounds; ++i) {
    state.next();
    const std::vector<int> members = splitAndRelease(*t.scene, ctx, t.set, state);
    EXPECT_EQ(members.size(), perSplit);
    EXPECT_EQ(std::set<int>(members.begin(), members.end()).size(), members.size());
    EXPECT_EQ(splitAndRelease(*t.scene, ctx, t.set, state), members);
    for (int m : members) ++times.at(size_t(m));
  }
  return times;
}

TEST(SplitNode, PicksTheSelectedNumberOfMembersByTheirSelectionWeights) {
  for (int n : timesPicked(Tetrahedron(2), 400, 2)) EXPECT_GT(n, 100);
  const std::vector<int> weighted = timesPicked(Tetrahedron(1, {1, 1, 2, 0}), 4000, 1);
  for (size_t i = 0; i < 4; ++i)
    EXPECT_NEAR(weighted[i], (std::vector<int>{1000, 1000, 2000, 0}[i]), 150);
  // Without weight left, the first unpicked member: the weighted member
  // first, then member 0; children are pushed in member order, so the later
  // member is on top. A zero state picks the first unpicked members.
  Tetrahedron t(2, {0, 0, 1, 0});
  TraceContext ctx(*t.scene);
  EXPECT_EQ(splitAndRelease(*t.scene, ctx, t.set, {5, 6, 7}), (std::vector<int>{2, 0}));
  EXPECT_EQ(splitAndRelease(*t.scene, ctx, t.set, {0, 0, 0}), (std::vector<int>{1, 0}));
  // No pick without a selection count or while picking is off.
  Tetrahedron all(0);
  TraceContext other(*all.scene);
  EXPECT_EQ(splitAndRelease(*all.scene, other, all.set, {9, 9, 9}), (std::vector<int>{3, 2, 1, 0}));
  t.scene->randomPickEnabled = false;
  EXPECT_EQ(splitAndRelease(*t.scene, ctx, t.set, {9, 9, 9}).size(), 4u);
}

// Children's masses share the parent's by the weights of the members split,
// picked or not; without a weight on every member they have none (-1).
TEST(SplitNode, MassesFollowTheWeightsOfTheMembersSplit) {
  AffineFractal scene;
  SceneBuilder b(scene);
  const auto weight = [](double w) { return MapSpec::make(MapKind::Weight, {w}); };
  IfsSet* picked = b.newSet();  // weights 1, 2 and 5; two picked per split
  for (const double w : {1, 2, 5})
    b.term(picked, {weight(w), translate({w, 0, 0}), scale(0.4)}, picked);
  picked->selectionCount = 2;
  IfsSet* weighted = b.newSet();
  b.term(weighted, {weight(1), scale(0.5)}, weighted);
  b.term(weighted, {weight(3), translate({0.5, 0, 0}), scale(0.5)}, weighted);
  IfsSet* partly = b.newSet();
  b.term(partly, {weight(1), scale(0.5)}, partly);
  b.term(partly, {translate({0.5, 0, 0}), scale(0.5)}, partly);
  for (IfsSet* s : {picked, weighted, partly})
    b.member(scene.rootSet(), MapSpec::make(MapKind::Id, {}), s);
  ASSERT_TRUE(scene.prepare()) << scene.renderError;
  TraceContext ctx(scene);
  const SetMember* built = scene.preparedSets()->members;  // partly, weighted, picked

  // Picked children share the mass by the picked weights.
  const IfsSet* set = built->next->next->target;
  RandomState state{3, 1, 4};
  for (int round = 0; round < 20; ++round) {
    state.next();
    SphereNode& node = pushSetNode(ctx, set, state);
    node.mass = 0.9;
    ASSERT_TRUE(scene.splitNode(ctx, node));
    const std::vector<int> members = childMembers(ctx, &node, set);
    ASSERT_EQ(members.size(), 2u);
    const double top = memberAt(set, members[0]).weight, below = memberAt(set, members[1]).weight;
    EXPECT_DOUBLE_EQ(ctx.top->mass, 0.9 * top / (top + below));
    EXPECT_DOUBLE_EQ(ctx.top->next->mass, 0.9 * below / (top + below));
    ctx.clearNodeStack();
  }
  // Children are pushed in member order: weight 3, then weight 1 on top.
  SphereNode& node = pushSetNode(ctx, built->next->target);
  node.mass = 0.8;
  ASSERT_TRUE(scene.splitNode(ctx, node));
  EXPECT_DOUBLE_EQ(ctx.top->mass, 0.2);
  EXPECT_DOUBLE_EQ(ctx.top->next->mass, 0.6);
  ctx.clearNodeStack();
  // Without a weight on every member there are none.
  ASSERT_TRUE(scene.splitNode(ctx, pushSetNode(ctx, built->target)));
  EXPECT_EQ(ctx.top->mass, -1.0);
  EXPECT_EQ(ctx.top->next->mass, -1.0);
}

// The build's material goes down the tree; a keyed member multiplies the
// colour state; a lone member passes the whole mass on.
TEST(SplitNode, ChildrenInheritMaterialColourAndTheirTargetsSphere) {
  AffineFractal scene;
  SceneBuilder b(scene);
  IfsSet* a = b.newSet();
  b.term(a, {scale(0.5)}, a)->colorKey = 4;
  b.term(a, {translate({0.5, 0, 0}), scale(0.5)}, a);
  b.build(a);
  ASSERT_TRUE(scene.prepare()) << scene.renderError;
  TraceContext ctx(scene);
  ASSERT_TRUE(scene.initRoot(ctx));
  SphereNode* root = ctx.top;
  EXPECT_EQ(root->randomState, scene.sceneRandomState);
  root->mass = 0.3;
  ASSERT_TRUE(scene.splitNode(ctx, *root));
  SphereNode* child = ctx.top;
  ASSERT_EQ(child->next, root);
  EXPECT_EQ(child->material, scene.defaultMaterial());
  EXPECT_EQ(child->mass, 0.3);
  const IfsSet* pa = child->set;
  EXPECT_EQ(child->radius2, pa->boundRadius2);

  child->dimension = 1.7;
  ASSERT_TRUE(scene.splitNode(ctx, *child));
  ASSERT_EQ(pa->members->next->colorKey, 4);
  for (SphereNode* n = ctx.top; n != child; n = n->next) {
    EXPECT_EQ(n->material, scene.defaultMaterial());
    EXPECT_EQ(n->set, pa);
    EXPECT_EQ(n->dimension, 1.7);
    EXPECT_DOUBLE_EQ(n->radius2, pa->boundRadius2 / 4);  // scale 0.5: a quarter
  }
  EXPECT_EQ(ctx.top->randomState, root->randomState * pa->members->next->colorState);
  EXPECT_EQ(ctx.top->next->randomState, root->randomState);
}

// The maps of the children of `node`, in member order.
std::vector<AffineMap> childMaps(const TraceContext& ctx, const SphereNode& node) {
  std::vector<AffineMap> maps;
  for (const SphereNode* n = ctx.top; n != &node; n = n->next)
    maps.insert(maps.begin(), static_cast<const AffineNode*>(n)->map);
  return maps;
}

void expectSameMap(const AffineMap& actual, const AffineMap& expected) {
  for (int i = 0; i < 3; ++i) EXPECT_EQ(actual.row[i], expected.row[i]) << "row " << i;
  EXPECT_EQ(actual.t, expected.t);
}

// Scaled copies (k I + t) take a shortcut through the products; it must give
// the very numbers of the general products, whatever the parent's map.
TEST(SplitNode, ChildrenAreTheProductsOfTheParentMapWithTheMembers) {
  AffineFractal scene;
  SceneBuilder b(scene);
  IfsSet* a = b.newSet();
  b.term(a, {translate({2.0 / 3, -1.0 / 3, 0.1}), scale(1.0 / 3)}, a);
  b.term(a, {MapSpec::make(MapKind::Rotate, {1, 2, 3, 0.7, 0.5, 0.9})}, a);
  b.term(a, {scale(0.7)}, a);
  b.build(a);
  ASSERT_TRUE(scene.prepare()) << scene.renderError;
  const IfsSet* pa = scene.preparedSets()->next;
  TraceContext ctx(scene);

  // A parent with the identity map gives the members' own maps.
  SphereNode& identity = pushSetNode(ctx, pa);
  ASSERT_TRUE(scene.splitNode(ctx, identity));
  const std::vector<AffineMap> members = childMaps(ctx, identity);
  ASSERT_EQ(members.size(), 3u);
  ctx.clearNodeStack();

  AffineMap scaled, turned;
  ASSERT_TRUE(scaled.buildFrom(MapSpec::make(MapKind::Scale, {0.37, 0.37, 0.37})));
  scaled.t = {0.1, -0.7, 1.0 / 7};
  ASSERT_TRUE(turned.buildFrom(MapSpec::make(MapKind::Rotate, {0, 1, 1, 0.3, 0.8, 0.6})));
  for (const AffineMap& parent : {scaled, turned}) {
    auto& node = static_cast<AffineNode&>(pushSetNode(ctx, pa));
    node.map = parent;
    ASSERT_TRUE(scene.splitNode(ctx, node));
    const std::vector<AffineMap> children = childMaps(ctx, node);
    ASSERT_EQ(children.size(), members.size());
    const SphereNode* child = ctx.top;
    for (size_t i = children.size(); i-- > 0; child = child->next) {
      AffineMap expected;
      compose(expected, parent, members[i]);
      expectSameMap(children[i], expected);
      EXPECT_EQ(child->center, expected.apply(pa->boundCenter));
      EXPECT_EQ(child->radius2, expected.maxStretchSquared() * pa->boundRadius2);
    }
    ctx.clearNodeStack();
  }
}

TEST(SplitNode, UnusableConformalImagesGetAHugeSphere) {
  ConformalFractal scene;
  SceneBuilder b(scene);
  IfsSet* a = b.newSet();
  b.term(a, {scale(0.5)}, a);
  b.term(a, {translate({0.5, 0, 0}), scale(0.5)}, a);
  b.build(a);
  ASSERT_TRUE(scene.prepare()) << scene.renderError;
  const IfsSet* pa = scene.preparedSets()->next;
  TraceContext ctx(scene);
  // A node seen through an inversion about 0.25: the child sphere about
  // 0.25 (the scale member, last) is turned inside out, the one about 0.75
  // is not.
  auto& node = static_cast<ConformalNode&>(pushSetNode(ctx, pa));
  ASSERT_TRUE(node.map.buildFrom(MapSpec::make(MapKind::Inverse, {0.25, 0, 0, 1})));
  ASSERT_TRUE(scene.splitNode(ctx, node));
  EXPECT_EQ(ctx.top->radius2, 1e10);
  EXPECT_LT(ctx.top->next->radius2, 100);
  EXPECT_GT(ctx.top->next->radius2, 0);
}

TEST(SplitNode, WorkersSplittingAtOnceGetTheSameChildren) {
  Tetrahedron t(2);
  const auto run = [&](std::vector<std::vector<int>>& out) {
    TraceContext ctx(*t.scene);
    RandomState state{4242, 17, 3};
    for (int i = 0; i < 2000; ++i) {
      state.next();
      out.push_back(splitAndRelease(*t.scene, ctx, t.set, state));
    }
  };
  std::vector<std::vector<int>> reference;
  run(reference);
  std::vector<std::vector<std::vector<int>>> results(4);
  std::vector<std::thread> workers;
  for (auto& r : results) workers.emplace_back(run, std::ref(r));
  for (std::thread& w : workers) w.join();
  for (const auto& r : results) EXPECT_EQ(r, reference);
}

}  // namespace
}  // namespace engine
