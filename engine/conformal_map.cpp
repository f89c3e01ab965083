#include "conformal_map.h"

#include <cmath>

#include "affine_map.h"

namespace engine {

namespace {

// Below this stretch factor a "stretch" call is the identity.
constexpr double kNegligibleStretch = 1e-5;

ConformalMap linear(const AffineMap& rotation) {
  ConformalMap map;
  for (int i = 0; i < 3; ++i) {
    map.m[i][0] = rotation.row[i].x;
    map.m[i][1] = rotation.row[i].y;
    map.m[i][2] = rotation.row[i].z;
  }
  return map;
}

ConformalMap translation(const Vec3& t) {
  ConformalMap map;
  map.m[0][3] = t.x;
  map.m[1][3] = t.y;
  map.m[2][3] = t.z;
  map.m[4][0] = 2 * t.x;
  map.m[4][1] = 2 * t.y;
  map.m[4][2] = 2 * t.z;
  map.m[4][3] = t.lengthSquared();
  return map;
}

// x -> k x. Written as diag(k, k, k, 1, k^2), the positive multiple k of
// diag(1, 1, 1, 1/k, k): it keeps the 4th coordinate positive for a negative
// factor (a point reflection, not a ball turned inside out) and is the
// collapse to the origin for k = 0 instead of a division by zero.
ConformalMap uniformScale(double k) {
  ConformalMap map;
  map.m[0][0] = map.m[1][1] = map.m[2][2] = k;
  map.m[4][4] = k * k;
  return map;
}

// x -> x / |x|^2: the identity with the 4th and 5th rows swapped.
ConformalMap unitInversion() {
  ConformalMap map;
  map.m[3][3] = map.m[4][4] = 0;
  map.m[3][4] = map.m[4][3] = 1;
  return map;
}

// x -> c + r^2 (x - c) / |x - c|^2
ConformalMap inversion(const Vec3& c, double r) {
  ConformalMap map = translation(c);
  compose(map, map, uniformScale(r * r));
  compose(map, map, unitInversion());
  compose(map, map, translation(-c));
  return map;
}

// The self-map of the unit ball that keeps the unit sphere and moves the
// origin to a: x -> ((1 - |a|^2) x + (1 + 2 a.x + |x|^2) a) / (1 + 2 a.x + |a|^2 |x|^2).
ConformalMap ballShift(const Vec3& a) {
  const double a2 = a.lengthSquared();
  const double v[3] = {a.x, a.y, a.z};
  ConformalMap map;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) map.m[i][j] = (i == j ? 1 - a2 : 0) + 2 * v[i] * v[j];
    map.m[i][3] = map.m[i][4] = v[i];
    map.m[3][i] = map.m[4][i] = 2 * v[i];
  }
  map.m[3][4] = map.m[4][3] = a2;
  return map;
}

}  // namespace

bool ConformalMap::buildFrom(const MapSpec& spec) {
  if (!spec.argumentsFinite()) return false;
  const double* a = spec.args;
  ConformalMap map;
  switch (spec.mapKind()) {
    case MapKind::Id:
    case MapKind::Empty:
      break;
    case MapKind::Scale:
      map = uniformScale(a[0]);
      break;
    case MapKind::Translate:
      map = translation({a[0], a[1], a[2]});
      break;
    case MapKind::Rotate: {
      // Only the rotation is conformal: the factors along and across the
      // axis are not read.
      MapSpec rigid = spec;
      rigid.args[4] = rigid.args[5] = 1.0;
      AffineMap rotation;
      if (!rotation.buildFrom(rigid)) return false;
      map = linear(rotation);
      break;
    }
    case MapKind::Reflect: {
      AffineMap mirror;
      if (!mirror.buildFrom(spec)) return false;
      map = linear(mirror);
      break;
    }
    case MapKind::Inverse:
      if (!(std::abs(a[3]) >= kMinLength)) return false;
      map = inversion({a[0], a[1], a[2]}, a[3]);
      break;
    case MapKind::Stretch: {
      const double k = a[3];
      if (std::abs(k) < kNegligibleStretch) break;
      Vec3 axis{a[0], a[1], a[2]};
      if (!axis.normalize() || std::abs(k) >= 1) return false;
      map = ballShift(axis * k);
      break;
    }
    default:
      return false;
  }
  *this = map;
  return true;
}

}  // namespace engine
