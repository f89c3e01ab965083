#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/fractal.h"
#include "engine/sphere_node.h"
#include "engine/trace_context.h"
#include "scenes/scene_builder.h"

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

TEST(SplitNode, EverySplitPicksExactlyTheSelectedNumberOfDistinctMembers) {
  Tetrahedron t(2);
  TraceContext ctx(*t.scene);
  std::vector<int> timesPicked(4, 0);
  RandomState state{12345, 678, 9};
  for (int i = 0; i < 400; ++i) {
    state.next();
    const std::vector<int> members = splitAndRelease(*t.scene, ctx, t.set, state);
    ASSERT_EQ(members.size(), 2u);
    EXPECT_NE(members[0], members[1]);
    for (int m : members) {
      ASSERT_GE(m, 0);
      ++timesPicked[size_t(m)];
    }
    // Deterministic for a given node state.
    EXPECT_EQ(splitAndRelease(*t.scene, ctx, t.set, state), members);
  }
  for (int n : timesPicked) EXPECT_GT(n, 100);
}

TEST(SplitNode, PickFollowsTheSelectionWeights) {
  Tetrahedron t(1, {1, 1, 2, 0});
  TraceContext ctx(*t.scene);
  std::vector<int> timesPicked(4, 0);
  RandomState state{1, 2, 3};
  for (int n = 0; n < 4000; ++n) {
    state.next();
    ++timesPicked[size_t(splitAndRelease(*t.scene, ctx, t.set, state).at(0))];
  }
  EXPECT_NEAR(timesPicked[0], 1000, 150);
  EXPECT_NEAR(timesPicked[1], 1000, 150);
  EXPECT_NEAR(timesPicked[2], 2000, 150);
  EXPECT_EQ(timesPicked[3], 0);
}

TEST(SplitNode, PickWithoutWeightLeftTakesTheFirstUnpickedMember) {
  Tetrahedron t(2, {0, 0, 1, 0});
  TraceContext ctx(*t.scene);
  // The weighted member first, then the first of those left; children are
  // pushed in member order, so the later member is on top.
  EXPECT_EQ(splitAndRelease(*t.scene, ctx, t.set, {5, 6, 7}), (std::vector<int>{2, 0}));
  // A zero state picks the first unpicked members.
  EXPECT_EQ(splitAndRelease(*t.scene, ctx, t.set, {0, 0, 0}), (std::vector<int>{1, 0}));
}

TEST(SplitNode, NoPickWhilePickingIsOffOrWithoutSelectionCount) {
  Tetrahedron all(0);
  TraceContext ctx(*all.scene);
  EXPECT_EQ(splitAndRelease(*all.scene, ctx, all.set, {9, 9, 9}), (std::vector<int>{3, 2, 1, 0}));
  Tetrahedron some(2);
  TraceContext other(*some.scene);
  some.scene->randomPickEnabled = false;
  EXPECT_EQ(splitAndRelease(*some.scene, other, some.set, {9, 9, 9}).size(), 4u);
}

TEST(SplitNode, MassesFollowWeightsWhenEveryMemberHasOne) {
  AffineFractal scene;
  SceneBuilder b(scene);
  IfsSet* a = b.newSet();
  b.term(a, {MapSpec::make(MapKind::Weight, {1}), scale(0.5)}, a);
  b.term(a, {MapSpec::make(MapKind::Weight, {3}), translate({0.5, 0, 0}), scale(0.5)}, a);
  IfsSet* unweighted = b.newSet();
  b.term(unweighted, {MapSpec::make(MapKind::Weight, {1}), scale(0.5)}, unweighted);
  b.term(unweighted, {translate({0.5, 0, 0}), scale(0.5)}, unweighted);
  b.member(scene.rootSet(), MapSpec::make(MapKind::Id, {}), a);
  b.member(scene.rootSet(), MapSpec::make(MapKind::Id, {}), unweighted);
  ASSERT_TRUE(scene.prepare()) << scene.renderError;
  TraceContext ctx(scene);

  const IfsSet* root = scene.preparedSets();
  const IfsSet* pa = root->members->next->target;
  SphereNode& node = pushSetNode(ctx, pa);
  node.mass = 0.8;
  ASSERT_TRUE(scene.splitNode(ctx, node));
  // Children are pushed in member order: weight 3, then weight 1 on top.
  EXPECT_DOUBLE_EQ(ctx.top->mass, 0.2);
  EXPECT_DOUBLE_EQ(ctx.top->next->mass, 0.6);
  ctx.clearNodeStack();

  SphereNode& other = pushSetNode(ctx, root->members->target);
  ASSERT_TRUE(scene.splitNode(ctx, other));
  EXPECT_EQ(ctx.top->mass, -1.0);
  EXPECT_EQ(ctx.top->next->mass, -1.0);
}

TEST(SplitNode, PickedChildrenShareTheMassByThePickedWeights) {
  AffineFractal scene;
  SceneBuilder b(scene);
  IfsSet* a = b.newSet();
  const double weights[] = {1, 2, 5};
  for (int i = 0; i < 3; ++i)
    b.term(a,
           {MapSpec::make(MapKind::Weight, {weights[i]}), translate({0.5 * i, 0, 0}), scale(0.4)},
           a);
  a->selectionCount = 2;
  b.member(scene.rootSet(), MapSpec::make(MapKind::Id, {}), a);
  ASSERT_TRUE(scene.prepare()) << scene.renderError;
  const IfsSet* set = scene.preparedSets()->members->target;
  TraceContext ctx(scene);

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
}

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
  EXPECT_EQ(root->set, scene.preparedSets());
  EXPECT_EQ(root->radius2, scene.preparedSets()->boundRadius2);
  EXPECT_EQ(root->randomState, scene.sceneRandomState);
  EXPECT_EQ(root->mass, 1.0);
  EXPECT_EQ(root->dimension, 2.0);
  EXPECT_EQ(root->material, nullptr);

  // The root's one member carries the build's material and, being alone,
  // the whole mass.
  root->mass = 0.3;
  ASSERT_TRUE(scene.splitNode(ctx, *root));
  SphereNode* child = ctx.top;
  ASSERT_EQ(child->next, root);
  EXPECT_EQ(child->material, scene.defaultMaterial());
  EXPECT_EQ(child->mass, 0.3);
  const IfsSet* pa = child->set;
  EXPECT_EQ(child->radius2, pa->boundRadius2);

  // The material goes down; the keyed member multiplies the colour state.
  child->dimension = 1.7;
  ASSERT_TRUE(scene.splitNode(ctx, *child));
  const SetMember* keyed = pa->members->next;
  ASSERT_EQ(keyed->colorKey, 4);
  int children = 0;
  for (SphereNode* n = ctx.top; n != child; n = n->next, ++children) {
    EXPECT_EQ(n->material, scene.defaultMaterial());
    EXPECT_EQ(n->set, pa);
    EXPECT_EQ(n->dimension, 1.7);
    EXPECT_DOUBLE_EQ(n->radius2, pa->boundRadius2 / 4);  // scale 0.5: a quarter
  }
  EXPECT_EQ(children, 2);
  EXPECT_EQ(ctx.top->randomState, root->randomState * keyed->colorState);
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
