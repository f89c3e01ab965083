#pragma once

#include <array>
#include <cmath>
#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

#include "engine/fractal.h"
#include "engine/map_spec.h"

namespace engine {

inline void expectNear(const Vec3& actual, const Vec3& expected, double tolerance = 1e-12) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// Builds sets through the Fractal API the way the scene language does: new
// members go to the front of a set's list, every map call leaves an
// anonymous open end, a set name closes a term with an identity member.
class SceneBuilder {
 public:
  explicit SceneBuilder(Fractal& scene) : scene_(scene) {}

  IfsSet* newSet() { return scene_.newSet(); }

  // A member of `owner` with the given map and target.
  SetMember* member(IfsSet* owner, const MapSpec& spec, IfsSet* target) {
    SetMember* m = scene_.addMember(owner, target);
    m->mapIndex = scene_.addMapSpec(spec);
    return m;
  }

  // The term "maps... target" added to `owner`; returns its first member.
  SetMember* term(IfsSet* owner, std::initializer_list<MapSpec> maps, IfsSet* target) {
    IfsSet* openEnd = owner;
    SetMember* first = nullptr;
    for (const MapSpec& spec : maps) {
      IfsSet* next = newSet();
      SetMember* m = member(openEnd, spec, next);
      if (!first) first = m;
      openEnd = next;
    }
    SetMember* closing = member(openEnd, MapSpec::make(MapKind::Id, {}), target);
    return first ? first : closing;
  }

  // "build target": the root gets a member with the default material that
  // targets an anonymous set holding the target.
  SetMember* build(IfsSet* target) {
    IfsSet* anonymous = newSet();
    SetMember* m = member(scene_.rootSet(), MapSpec::make(MapKind::Id, {}), anonymous);
    m->material = scene_.defaultMaterial();
    member(anonymous, MapSpec::make(MapKind::Id, {}), target);
    return m;
  }

 private:
  Fractal& scene_;
};

inline MapSpec translate(const Vec3& t) {
  return MapSpec::make(MapKind::Translate, {t.x, t.y, t.z});
}
inline MapSpec scale(double k) {
  return MapSpec::make(MapKind::Scale, {k, k, k});
}

// Maps x -> c + k (x - c) for each corner c, as "translate(c (1 - k)) scale(k)".
inline IfsSet* contractionsTowards(SceneBuilder& scene, const std::vector<Vec3>& corners,
                                   double k) {
  IfsSet* set = scene.newSet();
  for (const Vec3& c : corners) scene.term(set, {translate(c * (1 - k)), scale(k)}, set);
  return set;
}

inline std::vector<Vec3> tetrahedronCorners() {
  return {{1, 1, 1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}};
}

// The 20 subcubes of the Menger sponge in [-1, 1]^3: at most one coordinate 0.
inline std::vector<Vec3> mengerCorners() {
  std::vector<Vec3> corners;
  for (int x = -1; x <= 1; ++x)
    for (int y = -1; y <= 1; ++y)
      for (int z = -1; z <= 1; ++z)
        if ((x == 0) + (y == 0) + (z == 0) <= 1)
          corners.push_back({double(x), double(y), double(z)});
  return corners;
}

inline IfsSet* buildSierpinski(SceneBuilder& scene) {
  IfsSet* set = contractionsTowards(scene, tetrahedronCorners(), 0.5);
  scene.build(set);
  return set;
}

inline IfsSet* buildMenger(SceneBuilder& scene) {
  IfsSet* set = contractionsTowards(scene, mengerCorners(), 1.0 / 3);
  scene.build(set);
  return set;
}

inline int setCount(const IfsSet* list) {
  int n = 0;
  for (; list; list = list->next) ++n;
  return n;
}

}  // namespace engine
