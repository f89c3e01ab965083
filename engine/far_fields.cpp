// The normal walk's inner loops, compiled once per instruction set; the best
// ones are chosen at run time. Products are never fused into additions here
// (see CMakeLists.txt), so every instruction set rounds like the plain loop.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "engine/far_fields.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"
// Per instruction set as well:
#include "engine/lanes_with_bit-inl.h"

#ifndef ENGINE_FAR_FIELDS_ONCE
#define ENGINE_FAR_FIELDS_ONCE

#include <algorithm>
#include <cmath>

#include "far_fields.h"

namespace engine {
namespace {

// The plain loop. Near masses add a zero, as the vector lanes do. The
// fields of the masses weighed at once are summed in double precision and
// kept in single.
uint64_t addPlain(const PointMasses& m, NearRays& points) {
  uint64_t anyNear = 0;
  for (size_t i = 0; i < points.count; ++i) {
    const Vec3 p = points.position(i);
    const Vec3f kept = points.field(i);
    double fx = kept.x, fy = kept.y, fz = kept.z;
    uint64_t nearMask = 0;
    for (size_t k = 0; k < m.count; ++k) {
      const double dx = p.x - m.x[k], dy = p.y - m.y[k], dz = p.z - m.z[k];
      const double d2 = dx * dx + dy * dy + dz * dz;
      const bool far = d2 >= m.nearLimit[k];
      if (!far) nearMask |= uint64_t{1} << k;
      double w = 0.0;
      if (far && d2 > 0.0)  // a mass of radius 0 exerts no field where it is
        w = isCubicPower(m.power[k]) ? m.mass[k] / (d2 * d2 * d2)
                                     : m.mass[k] * std::pow(d2, -m.power[k]);
      fx += dx * w;
      fy += dy * w;
      fz += dz * w;
    }
    points.setField(i, {float(fx), float(fy), float(fz)});
    points.nearMask[i] = nearMask;
    anyNear |= nearMask;
  }
  return anyNear;
}

}  // namespace

}  // namespace engine

#endif

HWY_BEFORE_NAMESPACE();
namespace engine::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D = hn::CappedTag<double, NearRays::kBlock>;  // within a block
using V = hn::Vec<D>;

// Whole vectors over the points, the tail too: the lanes past the points
// work on the padding (see NearRays::reset). `weigh(k, d2)` gives the
// weights of mass k at squared distances d2. A loop whose weights call out
// (std::pow) would keep its sums in memory: the cubic one has its own.
template <class Weigh>
HWY_INLINE uint64_t AddWeighed(const PointMasses& m, NearRays& points, Weigh weigh) {
  const D d;
  const hn::Rebind<float, D> df;
  const hn::RebindToUnsigned<D> du;
  const size_t n = hn::Lanes(d);
  constexpr size_t kBlock = NearRays::kBlock;
  uint64_t* nearMasks = points.nearMask.data();
  auto anyNear = hn::Zero(du);
  for (size_t i = 0; i < points.count; i += n) {
    const double* p = points.positions(i);
    float* f = points.fields(i);
    const auto px = hn::LoadU(d, p), py = hn::LoadU(d, p + kBlock),
               pz = hn::LoadU(d, p + 2 * kBlock);
    auto sx = hn::PromoteTo(d, hn::LoadU(df, f)), sy = hn::PromoteTo(d, hn::LoadU(df, f + kBlock)),
         sz = hn::PromoteTo(d, hn::LoadU(df, f + 2 * kBlock));
    auto nearMask = hn::Zero(du);
    for (size_t k = 0; k < m.count; ++k) {
      const auto dx = hn::Sub(px, hn::Set(d, m.x[k]));
      const auto dy = hn::Sub(py, hn::Set(d, m.y[k]));
      const auto dz = hn::Sub(pz, hn::Set(d, m.z[k]));
      const auto d2 = hn::Add(hn::Add(hn::Mul(dx, dx), hn::Mul(dy, dy)), hn::Mul(dz, dz));
      const auto far = hn::Ge(d2, hn::Set(d, m.nearLimit[k]));
      const V w = hn::IfThenElseZero(hn::And(far, hn::Gt(d2, hn::Zero(d))), weigh(k, d2));
      sx = hn::Add(sx, hn::Mul(dx, w));
      sy = hn::Add(sy, hn::Mul(dy, w));
      sz = hn::Add(sz, hn::Mul(dz, w));
      nearMask = hn::IfThenElse(hn::RebindMask(du, far), nearMask,
                                hn::Or(nearMask, hn::Set(du, uint64_t{1} << k)));
    }
    hn::StoreU(hn::DemoteTo(df, sx), df, f);
    hn::StoreU(hn::DemoteTo(df, sy), df, f + kBlock);
    hn::StoreU(hn::DemoteTo(df, sz), df, f + 2 * kBlock);
    hn::StoreU(nearMask, du, nearMasks + i);
    anyNear = hn::Or(anyNear, hn::IfThenElseZero(hn::FirstN(du, points.count - i), nearMask));
  }
  alignas(64) uint64_t lanes[HWY_MAX_BYTES / sizeof(double)];
  hn::Store(anyNear, du, lanes);
  uint64_t bits = 0;
  for (size_t j = 0; j < n; ++j) bits |= lanes[j];
  return bits;
}

uint64_t AddLanes(const PointMasses& m, NearRays& points) {
  const D d;
  const auto cubic = [&](size_t k, V d2) {
    return hn::Div(hn::Set(d, m.mass[k]), hn::Mul(hn::Mul(d2, d2), d2));
  };
  if (m.cubic) return AddWeighed(m, points, cubic);
  return AddWeighed(m, points, [&](size_t k, V d2) {
    if (isCubicPower(m.power[k])) return cubic(k, d2);
    alignas(64) double powers[HWY_MAX_BYTES / sizeof(double)];
    hn::Store(d2, d, powers);
    for (size_t j = 0; j < hn::Lanes(d); ++j)
      powers[j] = m.mass[k] * std::pow(powers[j], -m.power[k]);
    return hn::Load(d, powers);
  });
}

// Few points are near a node: only they are visited, in their order.
NearSums CollectNear(const NearRays& points, uint64_t bit, NearRays& near) {
  near.reset(points.room());
  uint32_t* from = near.from.data();
  NearSums sums;
  size_t kept = 0;
  ForEachWithBit(points.nearMask.data(), points.count, bit, [&](size_t i) {
    const Vec3 p = points.position(i);
    near.setPosition(kept, p);
    from[kept++] = uint32_t(i);
    sums.add(p);
  });
  near.count = kept;
  near.clearFields();
  return sums;
}

}  // namespace engine::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace engine {

HWY_EXPORT(AddLanes);
HWY_EXPORT(CollectNear);

NearSums collectNearPoints(const NearRays& points, uint64_t bit, NearRays& near) {
  return HWY_DYNAMIC_DISPATCH(CollectNear)(points, bit, near);
}

uint64_t addFarFields(const PointMasses& masses, NearRays& points, bool vector) {
  return vector ? HWY_DYNAMIC_DISPATCH(AddLanes)(masses, points) : addPlain(masses, points);
}

}  // namespace engine
#endif
