#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "engine/affine_map.h"
#include "engine/fractal.h"
#include "map_test_util.h"
#include "scenes/scene_builder.h"

namespace engine {
namespace {

const SetMember* nthMember(const IfsSet* set, int n) {
  const SetMember* m = set->members;
  while (n-- > 0) m = m->next;
  return m;
}

// The term "translate(c / 2) scale(0.5) target": halfway towards c.
SetMember* halfway(SceneBuilder& b, IfsSet* owner, const Vec3& c, IfsSet* target) {
  return b.term(owner, {translate(c * 0.5), scale(0.5)}, target);
}

void expectFailure(Fractal& scene, const char* message) {
  EXPECT_FALSE(scene.prepare());
  EXPECT_TRUE(scene.canceled);
  EXPECT_EQ(scene.renderError, message);
  EXPECT_EQ(scene.preparedSets(), nullptr);
}

TEST(Prepare, ChainsOfMapsCollapseIntoOneMemberPerTerm) {
  AffineFractal scene;
  SceneBuilder b(scene);
  IfsSet* a = b.newSet();
  const MapSpec rotate = MapSpec::make(MapKind::Rotate, {0, 0, 1, 30, 1, 1});
  b.term(a, {scale(0.5), rotate}, a);
  b.term(a, {translate({1, 0, 0}), scale(0.5)}, a);
  b.build(a);
  ASSERT_TRUE(scene.prepare()) << scene.renderError;

  // Only the root and A are left; the root leads straight to A.
  const IfsSet* root = scene.preparedSets();
  ASSERT_EQ(setCount(root), 2);
  const IfsSet* pa = root->next;
  ASSERT_EQ(root->memberCount(), 1);
  EXPECT_EQ(root->members->target, pa);
  ASSERT_EQ(pa->memberCount(), 2);

  // Members are in reverse script order; the maps written later act first.
  AffineMap s, r, t, expected;
  s.buildFrom(scale(0.5));
  MapSpec radians = rotate;
  radians.args[3] = std::numbers::pi / 6;
  r.buildFrom(radians);
  t.buildFrom(translate({1, 0, 0}));
  for (const Vec3& p : {Vec3{1, 2, 3}, Vec3{-1, 0.5, 2}}) {
    expectNear(nthMember(pa, 1)->apply(p), s.apply(r.apply(p)));
    expectNear(nthMember(pa, 0)->apply(p), t.apply(s.apply(p)));
  }
  for (const SetMember* m = pa->members; m; m = m->next) EXPECT_EQ(m->target, pa);
  // The sets as the script defined them are left alone.
  EXPECT_EQ(setCount(scene.firstSet()), 7);
}

TEST(Prepare, UnreachableSetsArePrunedAndLevelsOrderTheList) {
  AffineFractal scene;
  SceneBuilder b(scene);
  IfsSet* leaf = b.newSet();
  halfway(b, leaf, {0, 0, 0}, leaf);
  halfway(b, leaf, {1, 0, 0}, leaf);
  IfsSet* middle = b.newSet();
  b.term(middle, {scale(0.3)}, leaf);
  halfway(b, middle, {0, 1, 0}, middle);
  IfsSet* unused = b.newSet();
  halfway(b, unused, {0, 0, 0}, unused);
  halfway(b, unused, {0, 0, 1}, unused);
  b.build(middle);
  ASSERT_TRUE(scene.prepare()) << scene.renderError;

  const IfsSet* root = scene.preparedSets();
  ASSERT_EQ(setCount(root), 3);
  // Root first, then by level: the middle set depends on the leaf.
  EXPECT_EQ(root->members->target, root->next);
  EXPECT_EQ(root->next->memberCount(), 2);
  EXPECT_EQ(nthMember(root->next, 1)->target, root->next->next);
  EXPECT_GT(root->next->level, root->next->next->level);
}

TEST(Prepare, BoundsAndWeightsComeFromTheirCalls) {
  AffineFractal scene;
  SceneBuilder b(scene);
  IfsSet* a = b.newSet();
  // "weight(0.25) scale(0.5) A" and "weight(0.75) translate(1, 0, 0) scale(0.5) A"
  b.term(a, {MapSpec::make(MapKind::Weight, {0.25}), scale(0.5)}, a);
  b.term(a, {MapSpec::make(MapKind::Weight, {0.75}), translate({1, 0, 0}), scale(0.5)}, a);
  // Two bounds on the set that leads to A: the smaller radius wins.
  IfsSet* anonymous = b.newSet();
  IfsSet* bounded = b.newSet();
  b.member(scene.rootSet(), MapSpec::make(MapKind::Id, {}), anonymous);
  b.member(anonymous, MapSpec::make(MapKind::Bound, {0, 0, 0, 3}), bounded);
  b.member(anonymous, MapSpec::make(MapKind::Bound, {0.5, 0, 0, -2}), bounded);
  b.member(bounded, MapSpec::make(MapKind::Id, {}), a);
  ASSERT_TRUE(scene.prepare()) << scene.renderError;

  const IfsSet* pa = nullptr;
  for (const IfsSet* s = scene.preparedSets(); s; s = s->next)
    if (s->memberCount() == 2) pa = s;
  ASSERT_NE(pa, nullptr);
  EXPECT_EQ(nthMember(pa, 0)->weight, 0.75);
  EXPECT_EQ(nthMember(pa, 1)->weight, 0.25);
  expectNear(nthMember(pa, 0)->apply({0, 0, 0}), {1, 0, 0});

  // The bounded set keeps its centre; its radius can only shrink. A spans
  // [0, 2] on the x axis, 1.5 away from that centre at most.
  const IfsSet* pbounded = nullptr;
  for (const IfsSet* s = scene.preparedSets(); s; s = s->next)
    if (s->boundCenter == Vec3{0.5, 0, 0}) pbounded = s;
  ASSERT_NE(pbounded, nullptr);
  EXPECT_GE(pbounded->boundRadius2, 2.25);
  EXPECT_LE(pbounded->boundRadius2, 1.02 * 2.25);
  // Nothing collapses through the bounded set.
  EXPECT_EQ(setCount(scene.preparedSets()), 4);
}

TEST(Prepare, ColourKeysShareOneStatePerKey) {
  AffineFractal scene;
  SceneBuilder b(scene);
  IfsSet* a = b.newSet();
  halfway(b, a, {0, 0, 0}, a)->colorKey = 2;
  halfway(b, a, {1, 0, 0}, a);
  IfsSet* c = b.newSet();
  b.term(c, {scale(0.4)}, a)->colorKey = 7;
  b.term(c, {translate({0, 1, 0})}, a)->colorKey = 2;
  halfway(b, c, {0, 0, 1}, c)->colorKey = 7;
  b.build(c);
  RandomState generator = scene.sceneRandomState;
  ASSERT_TRUE(scene.prepare()) << scene.renderError;

  RandomState first = generator, second = generator;
  second.next();
  RandomState third = second;
  third.next();
  EXPECT_EQ(scene.sceneRandomState, third);  // two distinct keys
  std::vector<std::pair<int32_t, RandomState>> states;
  for (const IfsSet* s = scene.preparedSets(); s; s = s->next)
    for (const SetMember* m = s->members; m; m = m->next)
      if (m->colorKey > 0) states.push_back({m->colorKey, m->colorState});
  ASSERT_EQ(states.size(), 4u);
  for (const auto& [key, state] : states) EXPECT_TRUE(state == first || state == second);
  for (const auto& [key, state] : states)
    for (const auto& [otherKey, otherState] : states)
      EXPECT_EQ(key == otherKey, state == otherState);
}

TEST(Prepare, CollapsedColourKeysMultiplyStates) {
  AffineFractal scene;
  SceneBuilder b(scene);
  IfsSet* a = b.newSet();
  halfway(b, a, {0, 0, 0}, a);
  halfway(b, a, {1, 0, 0}, a);
  IfsSet* inner = b.newSet();
  b.member(inner, scale(0.5), a)->colorKey = 3;
  IfsSet* outer = b.newSet();
  b.member(outer, scale(0.5), inner)->colorKey = 1;
  b.member(outer, translate({2, 0, 0}), a);
  b.build(outer);
  RandomState key1 = scene.sceneRandomState;
  ASSERT_TRUE(scene.prepare()) << scene.renderError;
  RandomState key3 = key1;
  key3.next();  // keys are met in list order: outer (1) before inner (3)

  const IfsSet* pouter = scene.preparedSets()->members->target;
  ASSERT_EQ(pouter->memberCount(), 2);
  const SetMember* keyed = nthMember(pouter, 1);
  EXPECT_EQ(keyed->colorKey, 3);
  EXPECT_EQ(keyed->colorState, key1 * key3);
  EXPECT_EQ(keyed->target, pouter->members->target);
}

TEST(Prepare, FailuresReportTheirText) {
  {
    AffineFractal scene;  // sets but no map call
    IfsSet* a = scene.newSet();
    scene.addMember(scene.rootSet(), a);
    expectFailure(scene, "No maps found");
  }
  {
    AffineFractal scene;
    SceneBuilder b(scene);
    b.build(b.newSet());  // a set that is used but has no members
    expectFailure(scene, "Invalid set");
  }
  {
    AffineFractal scene;
    SceneBuilder b(scene);
    IfsSet* a = b.newSet();
    b.member(a, scale(0.5), nullptr);
    b.build(a);
    expectFailure(scene, "Invalid set");
  }
  for (const MapSpec& bad :
       {MapSpec::make(MapKind::Stretch, {0, 0, 1, 0.5}),
        MapSpec::make(MapKind::Inverse, {0, 0, 0, 1}),
        MapSpec::make(MapKind::Scale, {NAN, NAN, NAN}), MapSpec::make(MapKind::Weight, {INFINITY}),
        MapSpec::make(MapKind::Bound, {0, 0, NAN, 1})}) {
    AffineFractal scene;
    SceneBuilder b(scene);
    IfsSet* a = b.newSet();
    b.member(a, scale(0.5), a);
    b.member(a, bad, a);
    b.build(a);
    expectFailure(scene, "Invalid map");
  }
  {
    ConformalFractal scene;
    SceneBuilder b(scene);
    IfsSet* a = b.newSet();
    b.member(a, MapSpec::make(MapKind::Inverse, {0, 0, 0, 1}), a);
    b.member(a, MapSpec::make(MapKind::RotateV, {1, 0, 0, 0, 1, 0}), a);
    b.build(a);
    expectFailure(scene, "Invalid map");
  }
  {
    AffineFractal scene;  // an unknown map table index
    SceneBuilder b(scene);
    IfsSet* a = b.newSet();
    b.member(a, scale(0.5), a)->mapIndex = 99;
    b.build(a);
    expectFailure(scene, "Invalid map");
  }
  {
    AffineFractal scene;  // the centre runs away: x -> 2x + 1 has no bounded attractor
    SceneBuilder b(scene);
    IfsSet* a = b.newSet();
    b.term(a, {translate({1, 0, 0}), scale(2)}, a);
    b.term(a, {translate({1, 0, 0}), scale(2)}, a);
    b.build(a);
    expectFailure(scene, "Set is void");
  }
}

TEST(Prepare, TooLargeSelectionCountFailsThePreparation) {
  AffineFractal scene;
  SceneBuilder b(scene);
  IfsSet* a = b.newSet();
  for (const Vec3& c : tetrahedronCorners()) halfway(b, a, c, a);
  a->selectionCount = 5;
  b.build(a);
  EXPECT_FALSE(scene.prepare());
  EXPECT_TRUE(scene.canceled);
  EXPECT_EQ(scene.renderError, "Selection count larger than the set's members");

  AffineFractal valid;
  SceneBuilder c(valid);
  IfsSet* v = c.newSet();
  for (const Vec3& corner : tetrahedronCorners()) halfway(c, v, corner, v);
  v->selectionCount = 4;
  c.build(v);
  EXPECT_TRUE(valid.prepare()) << valid.renderError;
}

// A set that is only its own image under one map: collapsing through it
// would compose the same map forever.
TEST(Prepare, SelfReferencingSingleMembersEndPromptly) {
  for (const MapSpec& map :
       {scale(0.5), scale(0), scale(2), MapSpec::make(MapKind::Rotate, {0, 0, 1, 90, 1, 1})}) {
    AffineFractal scene;
    SceneBuilder b(scene);
    IfsSet* a = b.newSet();
    b.term(a, {map}, a);
    b.build(a);
    expectFailure(scene, "Set is void");
  }
  {
    // A fixed point away from the origin ends as a tiny sphere around it.
    AffineFractal scene;
    SceneBuilder b(scene);
    IfsSet* a = b.newSet();
    b.term(a, {translate({1, 0, 0}), scale(0.5)}, a);
    b.build(a);
    ASSERT_TRUE(scene.prepare()) << scene.renderError;
    const IfsSet* root = scene.preparedSets();
    EXPECT_LE((root->boundCenter - Vec3{2, 0, 0}).length(), std::sqrt(root->boundRadius2));
    EXPECT_LT(root->boundRadius2, 1e-4);
  }
}

TEST(Prepare, SetsThatCollapseIntoEachOtherEnd) {
  // A = translate(1, 0, 0) B, B = scale(0.5) A: A is the fixed point of
  // x -> 0.5 x + 1, at 2.
  for (bool conformal : {false, true}) {
    std::unique_ptr<Fractal> scene = createFractal(conformal ? 1 : 0);
    SceneBuilder b(*scene);
    IfsSet* a = b.newSet();
    IfsSet* bset = b.newSet();
    b.member(a, translate({1, 0, 0}), bset);
    b.member(bset, scale(0.5), a);
    b.build(a);
    ASSERT_TRUE(scene->prepare()) << scene->renderError;
    const IfsSet* root = scene->preparedSets();
    EXPECT_LE((root->boundCenter - Vec3{2, 0, 0}).length(), std::sqrt(root->boundRadius2));
    EXPECT_LT(root->boundRadius2, 1e-4);
  }
}

TEST(Prepare, ZeroScalesEndSoundly) {
  AffineFractal scene;
  SceneBuilder b(scene);
  IfsSet* a = b.newSet();
  b.term(a, {scale(0)}, a);
  b.term(a, {translate({1, 0, 0}), scale(0.5)}, a);
  b.build(a);
  ASSERT_TRUE(scene.prepare()) << scene.renderError;
  // The attractor is 0 and the points 2 - 2^-k on the x axis.
  const IfsSet* root = scene.preparedSets();
  const Vec3 c = root->boundCenter;
  for (double x : {0.0, 1.0, 1.5, 2.0})
    EXPECT_LE((c - Vec3{x, 0, 0}).lengthSquared(), root->boundRadius2) << x;
  const double farthest = std::max(c.length(), (Vec3{2, 0, 0} - c).length());
  EXPECT_LE(root->boundRadius2, 1.02 * farthest * farthest);
}

TEST(Prepare, RunsAgainOnTheSameSetsAndAfterMoreAreDefined) {
  AffineFractal scene;
  SceneBuilder b(scene);
  IfsSet* a = b.newSet();
  b.term(a, {MapSpec::make(MapKind::Rotate, {0, 0, 1, 90, 1, 1}), scale(0.5)}, a);
  b.term(a, {translate({1, 0, 0}), scale(0.5)}, a);
  IfsSet* later = b.newSet();  // defined, not built yet
  b.term(later, {scale(0.5)}, a);
  b.build(a);
  ASSERT_TRUE(scene.prepare()) << scene.renderError;
  const Vec3 image = nthMember(scene.preparedSets()->next, 1)->apply({1, 0, 0});
  expectNear(image, {0, 0.5, 0});
  const double radius2 = scene.preparedSets()->boundRadius2;

  // The angle is not converted a second time.
  ASSERT_TRUE(scene.prepare()) << scene.renderError;
  expectNear(nthMember(scene.preparedSets()->next, 1)->apply({1, 0, 0}), image);
  EXPECT_DOUBLE_EQ(scene.preparedSets()->boundRadius2, radius2);

  // A new call in degrees whose value equals the converted angle is another entry.
  const size_t entries = scene.mapTable.size();
  EXPECT_EQ(scene.addMapSpec(MapSpec::make(MapKind::Rotate, {0, 0, 1, std::numbers::pi / 2, 1, 1})),
            int(entries));

  // A set that the first preparation pruned can still be built.
  b.build(later);
  ASSERT_TRUE(scene.prepare()) << scene.renderError;
  EXPECT_EQ(scene.preparedSets()->memberCount(), 2);
}

TEST(Prepare, AnglesInRadiansAreTakenAsTheyAre) {
  AffineFractal scene;
  scene.render.useRadians = true;
  SceneBuilder b(scene);
  IfsSet* a = b.newSet();
  b.term(a, {MapSpec::make(MapKind::Rotate, {0, 0, 1, std::numbers::pi / 2, 1, 1}), scale(0.5)}, a);
  b.term(a, {translate({1, 0, 0}), scale(0.5)}, a);
  b.build(a);
  ASSERT_TRUE(scene.prepare()) << scene.renderError;
  expectNear(nthMember(scene.preparedSets()->next, 1)->apply({1, 0, 0}), {0, 0.5, 0});
}

}  // namespace
}  // namespace engine
