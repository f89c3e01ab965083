// The normal walk's inner loop, compiled once per instruction set; the best
// one is chosen at run time. Products are never fused into additions here
// (see CMakeLists.txt), so every instruction set rounds like the plain loop.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "engine/near_point_sort.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

#ifndef ENGINE_NEAR_POINT_SORT_ONCE
#define ENGINE_NEAR_POINT_SORT_ONCE

#include <cmath>
#include <cstdint>

#include "near_point_sort.h"

namespace engine {
namespace {

inline bool isCubic(double power) {
  return std::fabs(power - 3.0) < 1e-5;
}

inline double weightAt(const PointMass& node, bool cubic, double d2) {
  return cubic ? node.mass / (d2 * d2 * d2) : node.mass * std::pow(d2, -node.power);
}

inline void keepNear(const NearRays& points, size_t i, NearRays& near, NearSums& sums) {
  const Vec3 p{points.x[i], points.y[i], points.z[i]};
  near.push(p.x, p.y, p.z, uint32_t(i));
  sums.sum += p;
  sums.sumOfSquares += p.lengthSquared();
}

// The plain loop. Near points add a zero, as the vector lanes do.
void sortPlain(const PointMass& node, NearRays& points, NearRays& near, NearSums& sums) {
  const bool cubic = isCubic(node.power);
  const Vec3 c = node.center;
  for (size_t i = 0; i < points.count; ++i) {
    const double dx = points.x[i] - c.x, dy = points.y[i] - c.y, dz = points.z[i] - c.z;
    const double d2 = dx * dx + dy * dy + dz * dz;
    const bool far = d2 >= node.nearLimit;
    const double w = far ? weightAt(node, cubic, d2) : 0.0;
    points.fx[i] += float(dx * w);
    points.fy[i] += float(dy * w);
    points.fz[i] += float(dz * w);
    if (!far) keepNear(points, i, near, sums);
  }
}

}  // namespace
}  // namespace engine

#endif

HWY_BEFORE_NAMESPACE();
namespace engine::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

void SortLanes(const PointMass& node, NearRays& points, NearRays& near, NearSums& sums) {
  using D = hn::ScalableTag<double>;
  const D d;
  const hn::Rebind<float, D> df;
  const size_t n = hn::Lanes(d);
  constexpr size_t kMaxLanes = HWY_MAX_BYTES / sizeof(double);
  const bool cubic = isCubic(node.power);
  const auto cx = hn::Set(d, node.center.x), cy = hn::Set(d, node.center.y),
             cz = hn::Set(d, node.center.z);
  const auto nearLimit = hn::Set(d, node.nearLimit), mass = hn::Set(d, node.mass);
  const double *x = points.x.data(), *y = points.y.data(), *z = points.z.data();
  float *fx = points.fx.data(), *fy = points.fy.data(), *fz = points.fz.data();
  alignas(64) double powers[kMaxLanes];
  // The tail runs as a whole vector too, its lanes past the points masked
  // off: they read and write the padding only.
  for (size_t i = 0; i < points.count; i += n) {
    const auto valid = hn::FirstN(d, points.count - i);
    const auto dx = hn::Sub(hn::LoadU(d, x + i), cx);
    const auto dy = hn::Sub(hn::LoadU(d, y + i), cy);
    const auto dz = hn::Sub(hn::LoadU(d, z + i), cz);
    const auto d2 = hn::Add(hn::Add(hn::Mul(dx, dx), hn::Mul(dy, dy)), hn::Mul(dz, dz));
    const auto far = hn::Ge(d2, nearLimit);
    hn::Vec<D> w;
    if (cubic) {
      w = hn::Div(mass, hn::Mul(hn::Mul(d2, d2), d2));
    } else {
      hn::Store(d2, d, powers);
      for (size_t j = 0; j < n; ++j) powers[j] = node.mass * std::pow(powers[j], -node.power);
      w = hn::Load(d, powers);
    }
    w = hn::IfThenElseZero(hn::And(far, valid), w);
    hn::StoreU(hn::Add(hn::LoadU(df, fx + i), hn::DemoteTo(df, hn::Mul(dx, w))), df, fx + i);
    hn::StoreU(hn::Add(hn::LoadU(df, fy + i), hn::DemoteTo(df, hn::Mul(dy, w))), df, fy + i);
    hn::StoreU(hn::Add(hn::LoadU(df, fz + i), hn::DemoteTo(df, hn::Mul(dz, w))), df, fz + i);
    const auto isNear = hn::AndNot(far, valid);
    if (hn::AllFalse(d, isNear)) continue;
    alignas(8) uint8_t nearBits[8] = {};
    hn::StoreMaskBits(d, isNear, nearBits);
    for (size_t j = 0; j < n; ++j)
      if (nearBits[j / 8] >> (j % 8) & 1) keepNear(points, i + j, near, sums);
  }
}

}  // namespace engine::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace engine {

HWY_EXPORT(SortLanes);

NearSums sortNearPoints(const PointMass& node, NearRays& points, NearRays& near, bool vector) {
  NearSums sums;
  if (vector)
    HWY_DYNAMIC_DISPATCH(SortLanes)(node, points, near, sums);
  else
    sortPlain(node, points, near, sums);
  return sums;
}

}  // namespace engine
#endif
