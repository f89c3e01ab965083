#pragma once

#include <initializer_list>
#include <vector>

#include "engine/fractal.h"

namespace engine {

// Builds sets through the Fractal API the way the scene language does: new
// members go to the front of a set's list, every map call leaves an
// anonymous open end, a set name closes a term with an identity member.
class SceneBuilder {
 public:
  explicit SceneBuilder(Fractal& scene) : scene_(scene) {}

  IfsSet* newSet() { return scene_.newSet(); }

  // A member of `owner` with the given map and target.
  SetMember* member(IfsSet* owner, const MapSpec& spec, IfsSet* target);
  // The term "maps... target" added to `owner`; returns its first member.
  SetMember* term(IfsSet* owner, std::initializer_list<MapSpec> maps, IfsSet* target);
  // "build target": the root gets a member with the default material that
  // targets an anonymous set holding the target.
  SetMember* build(IfsSet* target);

 private:
  Fractal& scene_;
};

MapSpec translate(const Vec3& t);
MapSpec scale(double k);

// Maps x -> c + k (x - c) for each corner c, as "translate(c (1 - k)) scale(k)".
IfsSet* contractionsTowards(SceneBuilder& scene, const std::vector<Vec3>& corners, double k);
std::vector<Vec3> tetrahedronCorners();
// The 20 subcubes of the Menger sponge in [-1, 1]^3: at most one coordinate 0.
std::vector<Vec3> mengerCorners();

// "build" of the Sierpinski tetrahedron or the Menger sponge, both within [-1, 1]^3.
IfsSet* buildSierpinski(SceneBuilder& scene);
IfsSet* buildMenger(SceneBuilder& scene);

int setCount(const IfsSet* list);

}  // namespace engine
