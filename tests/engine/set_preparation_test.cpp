#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include <gtest/gtest.h>

#include "engine/affine_map.h"
#include "engine/fractal.h"
#include "scene_builder.h"

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

TEST(Prepare, ChainsOfMapsCollapseIntoOneMemberPerTermAndUnusedSetsArePruned) {
  AffineFractal scene;
  SceneBuilder b(scene);
  IfsSet* leaf = b.newSet();
  b.term(leaf, {scale(0.5), MapSpec::make(MapKind::Rotate, {0, 0, 1, 30, 1, 1})}, leaf);
  b.term(leaf, {translate({1, 0, 0}), scale(0.5)}, leaf);
  IfsSet* middle = b.newSet();
  b.term(middle, {scale(0.3)}, leaf);
  halfway(b, middle, {0, 1, 0}, middle);
  IfsSet* unused = b.newSet();
  halfway(b, unused, {0, 0, 1}, unused);
  b.build(middle);
  ASSERT_TRUE(scene.prepare()) << scene.renderError;

  // Root first, then by level: the middle set depends on the leaf.
  const IfsSet* root = scene.preparedSets();
  ASSERT_EQ(setCount(root), 3);
  const IfsSet *pm = root->next, *pleaf = pm->next;
  EXPECT_EQ(root->memberCount(), 1);
  EXPECT_EQ(root->members->target, pm);
  EXPECT_EQ(nthMember(pm, 1)->target, pleaf);
  EXPECT_GT(pm->level, pleaf->level);
  ASSERT_EQ(pleaf->memberCount(), 2);
  // Members are in reverse script order; the maps written later act first.
  AffineMap s, r, t;
  s.buildFrom(scale(0.5));
  r.buildFrom(MapSpec::make(MapKind::Rotate, {0, 0, 1, std::numbers::pi / 6, 1, 1}));
  t.buildFrom(translate({1, 0, 0}));
  for (const Vec3& p : {Vec3{1, 2, 3}, Vec3{-1, 0.5, 2}}) {
    expectNear(nthMember(pleaf, 1)->apply(p), s.apply(r.apply(p)));
    expectNear(nthMember(pleaf, 0)->apply(p), t.apply(s.apply(p)));
  }
  // The sets as the script defined them are left alone.
  EXPECT_EQ(setCount(scene.firstSet()), 14);
}

TEST(Prepare, BoundsAndWeightsComeFromTheirCalls) {
  AffineFractal scene;
  SceneBuilder b(scene);
  IfsSet* a = b.newSet();
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

  // Nothing collapses through the bounded set.
  const IfsSet* root = scene.preparedSets();
  ASSERT_EQ(setCount(root), 4);
  const IfsSet *pbounded = root->next->next, *pa = pbounded->next;
  EXPECT_EQ(nthMember(pa, 0)->weight, 0.75);
  EXPECT_EQ(nthMember(pa, 1)->weight, 0.25);
  expectNear(nthMember(pa, 0)->apply({0, 0, 0}), {1, 0, 0});
  // The bounded set keeps its centre; its radius can only shrink. A spans
  // [0, 2] on the x axis, 1.5 away from that centre at most.
  EXPECT_EQ(pbounded->boundCenter, (Vec3{0.5, 0, 0}));
  EXPECT_GE(pbounded->boundRadius2, 2.25);
  EXPECT_LE(pbounded->boundRadius2, 1.02 * 2.25);
}

TEST(Prepare, ColourKeysShareOneStatePerKeyAndCollapsedKeysMultiply) {
  AffineFractal scene;
  SceneBuilder b(scene);
  IfsSet* a = b.newSet();
  halfway(b, a, {0, 0, 0}, a)->colorKey = 2;
  halfway(b, a, {1, 0, 0}, a);
  IfsSet* inner = b.newSet();
  b.member(inner, scale(0.5), a)->colorKey = 3;
  IfsSet* outer = b.newSet();
  b.member(outer, scale(0.5), inner)->colorKey = 1;
  b.term(outer, {translate({0, 1, 0})}, a)->colorKey = 2;
  halfway(b, outer, {0, 0, 1}, outer)->colorKey = 1;
  b.build(outer);
  RandomState key[4] = {{}, scene.sceneRandomState};  // keys are met in list order: 1, 2, 3
  for (int k = 2; k < 4; ++k) (key[k] = key[k - 1]).next();
  ASSERT_TRUE(scene.prepare()) << scene.renderError;
  RandomState after = key[3];
  after.next();
  EXPECT_EQ(scene.sceneRandomState, after);

  const IfsSet* pouter = scene.preparedSets()->next;
  ASSERT_EQ(pouter->memberCount(), 3);
  EXPECT_EQ(nthMember(pouter, 0)->colorState, key[1]);
  EXPECT_EQ(nthMember(pouter, 1)->colorState, key[2]);
  // outer -> inner -> A collapsed: the keys 1 and 3 multiply, the later key stays.
  EXPECT_EQ(nthMember(pouter, 2)->colorKey, 3);
  EXPECT_EQ(nthMember(pouter, 2)->colorState, key[1] * key[3]);
  EXPECT_EQ(nthMember(pouter->next, 1)->colorState, key[2]);
}

// Attractors that are one point or a few: collapse and bounds still end.
TEST(Prepare, DegenerateAttractorsEndSoundly) {
  const struct {
    FractalType type;
    std::function<void(SceneBuilder&, IfsSet*)> make;
    std::vector<Vec3> points;  // of the attractor, the extreme ones among them
  } cases[] = {
      // A fixed point away from the origin ends as a tiny sphere around it.
      {FractalType::Affine,
       [](SceneBuilder& b, IfsSet* a) {
         halfway(b, a, {4, 0, 0}, a);
       },
       {{4, 0, 0}}},
      // A = translate(1, 0, 0) B, B = scale(0.5) A: the fixed point of x -> 0.5 x + 1.
      {FractalType::Affine,
       [](SceneBuilder& b, IfsSet* a) {
         b.member(b.member(a, translate({1, 0, 0}), b.newSet())->target, scale(0.5), a);
       },
       {{2, 0, 0}}},
      {FractalType::Conformal,
       [](SceneBuilder& b, IfsSet* a) {
         b.member(b.member(a, translate({1, 0, 0}), b.newSet())->target, scale(0.5), a);
       },
       {{2, 0, 0}}},
      // 0 and the points 2 - 2^-k.
      {FractalType::Affine,
       [](SceneBuilder& b, IfsSet* a) {
         b.term(a, {scale(0)}, a);
         halfway(b, a, {2, 0, 0}, a);
       },
       {{2, 0, 0}, {0, 0, 0}, {1, 0, 0}, {1.5, 0, 0}}},
  };
  for (const auto& c : cases) {
    std::unique_ptr<Fractal> scene = createFractal(int(c.type));
    SceneBuilder b(*scene);
    IfsSet* a = b.newSet();
    c.make(b, a);
    b.build(a);
    ASSERT_TRUE(scene->prepare()) << scene->renderError;
    const IfsSet* root = scene->preparedSets();
    double farthest = 0;
    for (const Vec3& p : c.points) {
      EXPECT_LE((root->boundCenter - p).lengthSquared(), root->boundRadius2 * (1 + 1e-9));
      farthest = std::max(farthest, (root->boundCenter - p).length());
    }
    EXPECT_LE(std::sqrt(root->boundRadius2), 1.02 * farthest + 1e-2);
  }
}

// The angle is converted once; a later call in degrees with the converted
// value is another entry; a set that the first preparation pruned can still
// be built; angles in radians are taken as they are.
TEST(Prepare, RunsAgainOnTheSameSetsAndAfterMoreAreDefined) {
  for (const bool radians : {false, true}) {
    AffineFractal scene;
    scene.render.useRadians = radians;
    SceneBuilder b(scene);
    IfsSet* a = b.newSet();
    const double quarter = radians ? std::numbers::pi / 2 : 90;
    b.term(a, {MapSpec::make(MapKind::Rotate, {0, 0, 1, quarter, 1, 1}), scale(0.5)}, a);
    b.term(a, {translate({1, 0, 0}), scale(0.5)}, a);
    IfsSet* later = b.newSet();
    b.term(later, {scale(0.5)}, a);
    b.build(a);
    for (int run = 0; run < 2; ++run) {
      ASSERT_TRUE(scene.prepare()) << scene.renderError;
      expectNear(nthMember(scene.preparedSets()->next, 1)->apply({1, 0, 0}), {0, 0.5, 0});
    }
    const size_t entries = scene.mapTable.size();
    EXPECT_EQ(
        scene.addMapSpec(MapSpec::make(MapKind::Rotate, {0, 0, 1, std::numbers::pi / 2, 1, 1})),
        int(entries));
    b.build(later);
    ASSERT_TRUE(scene.prepare()) << scene.renderError;
    EXPECT_EQ(scene.preparedSets()->memberCount(), 2);
  }
}

}  // namespace
}  // namespace engine
