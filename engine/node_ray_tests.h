#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "ray_levels.h"
#include "vec3.h"

namespace engine {

// The limit of a ray whose walk is over (a final hit on a section, a blocked
// shadow ray): no node test lets it in or stops it any more.
inline constexpr double kWalkOver = -std::numeric_limits<double>::infinity();

// A node as the hit walk tests it. With a shared origin (the eye) every ray
// starts there and has travelled nothing; otherwise each starts at its own
// origin lanes, having travelled its own distance.
struct HitNodeTest {
  Vec3 center;
  double radius = 0.0;
  double smallRadius = 0.0;  // nodes no wider than a ray's footprint there are surfaces
  double footprint = 0.0;
  bool sharedOrigin = false;
  Vec3 origin;
};

// A ray that met a node no wider than its footprint, at distance `u`.
struct FootprintHit {
  RayId id;
  double u;
};

// Tests the rays of `rays` against the node, reading each one's reach (its
// nearest hit so far; -infinity once its walk is over) in `limits`, by record.
// Appends those that enter it to `entered` and those that hit it as a surface
// to `hits`.
using HitNodeTestFunction = void(const HitNodeTest& node, const HitRays& rays, const double* limits,
                                 HitRays& entered, std::vector<FootprintHit>& hits);
// The test in the vector instructions of this machine, with the same
// arithmetic and results as the plain loop, or the plain loop; a walk looks
// it up once.
HitNodeTestFunction* hitNodeTest(bool vector);

// A node as the shadow walk tests it, relative to the light.
struct ShadowNodeTest {
  Vec3 fromLight;  // the centre
  double radius = 0.0;
  double smallRadius = 0.0;  // nodes no wider than a ray's footprint there block it
};

// Tests the segments of `rays` against the node, reading each one's length
// (-infinity once blocked) in `limits`, by record. Appends those that enter
// it to `entered` and those that it blocks to `blocked`.
using ShadowNodeTestFunction = void(const ShadowNodeTest& node, const ShadowRays& rays,
                                    const double* limits, ShadowRays& entered,
                                    std::vector<RayId>& blocked);
// As hitNodeTest.
ShadowNodeTestFunction* shadowNodeTest(bool vector);

// The children of a node, top of the stack first, tested at once against the
// segments that entered the node: child c is the one of child bit 1 << c.
// Most children meet none of them and are then done with, without a visit.
struct ChildSpheres {
  static constexpr size_t kMaxChildren = 8 * sizeof(ChildBits);
  std::array<double, kMaxChildren> x{}, y{}, z{}, radius{}, smallRadius{};
  size_t count = 0;

  void clear() { count = 0; }
  void add(const Vec3& center, double sphereRadius, double smallSphereRadius) {
    x[count] = center.x;
    y[count] = center.y;
    z[count] = center.z;
    radius[count] = sphereRadius;
    smallRadius[count++] = smallSphereRadius;
  }
};

// Sets the child bits of each segment of `rays`: bit c for those that enter
// child c, with a light at `light`. A segment that some child blocks is done
// with at once: its limit becomes kWalkOver and its bits 0. Which segments
// end up blocked does not depend on the order in which nodes are visited, so
// the children need no test of their own when they are. Returns the bits
// that some segment has.
using ShadowChildSweep = ChildBits(const Vec3& light, const ChildSpheres& children,
                                   ShadowRays& rays, double* limits);
// As hitNodeTest.
ShadowChildSweep* shadowChildSweep(bool vector);

// Appends to `entered` the segments of `rays` whose child bits hold
// `childBit` (set by a sweep) and whose walk is not over.
void collectEntered(const RayLevel& rays, ChildBits childBit, const double* limits,
                    RayLevel& entered);

// The bits of the children (bit c for child c) that some ray of `rays`
// meets, entering or stopping at it, as the hit walk's test of each child
// would find now; `node` gives the footprint and the origin, its sphere is
// not read. Rays only ever reach less far, so a child that none meets now
// never will be; one that some ray meets is still tested when visited.
using HitChildSweep = ChildBits(const HitNodeTest& node, const ChildSpheres& children,
                                const HitRays& rays, const double* limits);
// As hitNodeTest.
HitChildSweep* hitChildSweep(bool vector);

}  // namespace engine
