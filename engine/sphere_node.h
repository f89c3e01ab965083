#pragma once

#include "affine_map.h"
#include "conformal_map.h"
#include "random_state.h"
#include "ray_levels.h"
#include "vec3.h"

namespace engine {

struct IfsSet;
struct Material;

// A bounding sphere of the image of a set's attractor under the maps
// accumulated on the way from the root. Nodes live in a trace context's pool.
struct SphereNode {
  virtual ~SphereNode() = default;
  // Makes the accumulated map the identity.
  virtual void resetMap() = 0;

  Vec3 center;
  double radius2 = 0.0;
  double mass = 1.0;       // share of the parent's mass (work share in the hit and shadow walks)
  double dimension = 2.0;  // exponent of the automatic masses
  // Nesting level of the rays that the hit and shadow walks test the node
  // against: those that entered its parent.
  int rayLevel = 0;
  // In the shadow walk, its bit in the child bits of those segments, which
  // tell those that enter it (see ShadowChildSweep); 0: it has its own test.
  ChildBits childBit = 0;
  const Material* material = nullptr;  // null: the scene's first material
  SphereNode* next = nullptr;          // link in the stack or the free list
  RandomState randomState;
  const IfsSet* set = nullptr;  // read-only while tiles are traced
};

struct AffineNode final : SphereNode {
  void resetMap() override {
    map = AffineMap{};
    scalar = true;
  }
  // The accumulated map. While its matrix is k I (`scalar`, the case of most
  // sets' maps), only k = map.row[0].x and map.t are kept.
  AffineMap map;
  bool scalar = true;

  AffineMap fullMap() const {
    if (!scalar) return map;
    AffineMap full;
    full.row[0] = {map.row[0].x, 0, 0};
    full.row[1] = {0, map.row[0].x, 0};
    full.row[2] = {0, 0, map.row[0].x};
    full.t = map.t;
    return full;
  }
};

struct ConformalNode final : SphereNode {
  void resetMap() override { map = ConformalMap{}; }
  ConformalMap map;
};

}  // namespace engine
