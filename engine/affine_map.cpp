#include "affine_map.h"

#include <algorithm>
#include <cmath>

namespace engine {

namespace {

// along * u u^T + across * (c (I - u u^T) + s [u]x) for a unit axis u, the
// cosine c and the sine s of the angle.
AffineMap rotation(const Vec3& u, double c, double s, double along, double across) {
  const double uu[3][3] = {{u.x * u.x, u.x * u.y, u.x * u.z},
                           {u.y * u.x, u.y * u.y, u.y * u.z},
                           {u.z * u.x, u.z * u.y, u.z * u.z}};
  const double cross[3][3] = {{0, -u.z, u.y}, {u.z, 0, -u.x}, {-u.y, u.x, 0}};
  AffineMap map;
  for (int i = 0; i < 3; ++i) {
    double r[3];
    for (int j = 0; j < 3; ++j) {
      const double identity = i == j ? 1.0 : 0.0;
      r[j] = along * uu[i][j] + across * (c * (identity - uu[i][j]) + s * cross[i][j]);
    }
    map.row[i] = {r[0], r[1], r[2]};
  }
  return map;
}

// The rotation that turns the direction of v into the direction of w.
bool rotationBetween(Vec3 v, Vec3 w, AffineMap& map) {
  if (!v.normalize() || !w.normalize()) return false;
  Vec3 axis = v.cross(w);
  if (!axis.normalize()) return false;
  const double c = v.dot(w);
  const double s = std::sqrt(std::max(0.0, 1.0 - c * c));
  map = rotation(axis, c, s, 1.0, 1.0);
  return true;
}

}  // namespace

bool AffineMap::buildFrom(const MapSpec& spec) {
  if (!spec.argumentsFinite()) return false;
  const double* a = spec.args;
  AffineMap map;
  switch (spec.mapKind()) {
    case MapKind::Id:
    case MapKind::Empty:
      break;
    case MapKind::Scale:
      map.row[0] = {a[0], 0, 0};
      map.row[1] = {0, a[1], 0};
      map.row[2] = {0, 0, a[2]};
      break;
    case MapKind::Translate:
      map.t = {a[0], a[1], a[2]};
      break;
    case MapKind::Rotate: {
      Vec3 u{a[0], a[1], a[2]};
      if (!u.normalize()) return false;
      const double angle = a[kRotateAngleArg];
      map = rotation(u, std::cos(angle), std::sin(angle), a[4], a[5]);
      break;
    }
    case MapKind::Reflect: {
      Vec3 n{a[0], a[1], a[2]};
      if (!n.normalize()) return false;
      map.row[0] = Vec3{1, 0, 0} - n * (2 * n.x);
      map.row[1] = Vec3{0, 1, 0} - n * (2 * n.y);
      map.row[2] = Vec3{0, 0, 1} - n * (2 * n.z);
      break;
    }
    case MapKind::Matrix:
      map.row[0] = {a[0], a[1], a[2]};
      map.row[1] = {a[3], a[4], a[5]};
      map.row[2] = {a[6], a[7], a[8]};
      break;
    case MapKind::Affine2d:
      map.row[0] = {a[0], a[1], 0};
      map.row[1] = {a[2], a[3], 0};
      map.row[2] = {0, 0, 0};
      map.t = {a[4], a[5], 0};
      break;
    case MapKind::RotateV:
      if (!rotationBetween({a[0], a[1], a[2]}, {a[3], a[4], a[5]}, map)) return false;
      break;
    default:
      return false;
  }
  *this = map;
  return true;
}

double largestGramEigenvalue(double g00, double g11, double g22, double g01, double g02,
                             double g12) {
  // Roots of the characteristic polynomial l^3 - T l^2 + Q l - D.
  const double trace = g00 + g11 + g22;
  const double minors = g00 * g11 + g00 * g22 + g11 * g22 - g01 * g01 - g02 * g02 - g12 * g12;
  const double det =
      g00 * (g11 * g22 - g12 * g12) - g01 * (g01 * g22 - g12 * g02) + g02 * (g01 * g12 - g11 * g02);
  const double half = trace / 2;
  if (std::abs(det) < kGramTolerance * trace * trace * trace) {
    // One root is 0; the others solve l^2 - T l + Q = 0.
    const double disc = half * half - minors;
    return disc < 0 ? half : half + std::sqrt(disc);
  }
  // Depressed cubic t^3 + p t + q with l = t + T/3, solved by the
  // trigonometric method; the root with k = 0 is the largest of the three.
  const double shift = trace / 3;
  const double p = minors - trace * trace / 3;
  const double q = -2 * trace * trace * trace / 27 + trace * minors / 3 - det;
  if (!(p < 0)) return shift;  // a triple root
  const double m = 2 * std::sqrt(-p / 3);
  const double cosArg = std::clamp(3 * q / (p * m), -1.0, 1.0);
  return shift + m * std::cos(std::acos(cosArg) / 3);
}

}  // namespace engine
