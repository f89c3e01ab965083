#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "near_rays.h"
#include "vec3.h"

namespace engine {

// A node of the tree as the normal walk weighs it: a point mass whose field
// falls off as the squared distance to the power `power`, for the points at
// least sqrt(nearLimit) away.
struct PointMass {
  Vec3 center;
  double nearLimit = 0.0;
  double mass = 0.0;
  double power = 3.0;
};

// Whether a field falls off with the cube of the squared distance, as most
// do: the loops then spare themselves a power.
inline bool isCubicPower(double power) {
  return std::fabs(power - 3.0) < 1e-5;
}

// Up to kMaxMasses nodes that the walk weighs at once: the children of a
// node, in their order.
struct PointMasses {
  static constexpr size_t kMaxMasses = 64;
  std::array<double, kMaxMasses> x, y, z, nearLimit, mass, power;
  size_t count = 0;
  bool cubic = true;  // all fall off with the cube of the squared distance

  void clear() {
    count = 0;
    cubic = true;
  }
  void add(const PointMass& node) {
    x[count] = node.center.x;
    y[count] = node.center.y;
    z[count] = node.center.z;
    nearLimit[count] = node.nearLimit;
    mass[count] = node.mass;
    power[count] = node.power;
    cubic = cubic && isCubicPower(node.power);
    ++count;
  }
};

// Adds to each point of `points` the fields of the masses far from it, in
// their order and in double precision, to the field it holds (rounded to
// single precision once), and sets bit k of its near mask when it is near mass k;
// returns the bits of the masses that some point is near. `vector`: in the
// vector instructions of this machine, with the same arithmetic and results
// as the plain loop.
uint64_t addFarFields(const PointMasses& masses, NearRays& points, bool vector);

// The sums over the points near a node, for its refinement.
struct NearSums {
  Vec3 sum;
  double sumOfSquares = 0.0;

  void add(const Vec3& p) {
    sum += p;
    sumOfSquares += p.lengthSquared();
  }
};

// Puts the points of `points` whose near mask has `bit` into `near`
// (emptied), each with its place in `points`; returns their sums.
NearSums collectNearPoints(const NearRays& points, uint64_t bit, NearRays& near);

}  // namespace engine
