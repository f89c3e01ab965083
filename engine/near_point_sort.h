#pragma once

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

// What a node's sort leaves for its refinement: the sums over the points
// near it.
struct NearSums {
  Vec3 sum;
  double sumOfSquares = 0.0;
};

// Adds the node's field to the points of `points` far from it and appends
// the others to `near`. `vector`: in the vector instructions of this
// machine, with the same arithmetic and results as the plain loop.
NearSums sortNearPoints(const PointMass& node, NearRays& points, NearRays& near, bool vector);

}  // namespace engine
