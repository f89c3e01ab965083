// The hit and shadow walks' node tests, compiled once per instruction set;
// the best one is chosen at run time. Products are never fused into additions
// here (see CMakeLists.txt), so that every instruction set rounds like the
// plain loops.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "engine/node_ray_tests.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

#ifndef ENGINE_NODE_RAY_TESTS_ONCE
#define ENGINE_NODE_RAY_TESTS_ONCE

#include <cmath>

#include "node_ray_tests.h"

namespace engine {
namespace {

// Whether a ray enters a sphere whose chord along it, if any, runs from
// p - sqrt(q) to p + sqrt(q): some of it lies within [0, limit]. Written so
// that a ray with non-finite values never enters.
inline bool entersChord(double p, double q, double limit) {
  if (!(q >= 0.0)) return false;
  const double s = std::sqrt(q);
  return p - s <= limit && p + s >= 0.0;
}

void hitPlain(const HitNodeTest& node, const HitRays& rays, const double* limits, HitRays& entered,
              std::vector<FootprintHit>& hits) {
  Vec3 co = node.center - node.origin;
  double co2 = co.lengthSquared();
  double travelled = 0.0;  // rays from the eye have travelled nothing
  for (size_t k = 0; k < rays.count; ++k) {
    if (!node.sharedOrigin) {
      co = node.center -
           Vec3{rays.value(kOriginX, k), rays.value(kOriginY, k), rays.value(kOriginZ, k)};
      co2 = co.lengthSquared();
      travelled = rays.value(kTravelled, k);
    }
    const double limit = limits[rays.id[k]];
    const double p =
        co.x * rays.value(kDirX, k) + co.y * rays.value(kDirY, k) + co.z * rays.value(kDirZ, k);
    const double f = (p + travelled) * rays.value(kCone, k) * node.footprint;
    if (node.smallRadius <= f) {
      // A surface of the footprint's radius.
      const double q = p * p + f * f - co2;
      if (q >= 0.0) {
        const double u = p - std::sqrt(q);
        if (u > 0.0 && u < limit) hits.push_back({rays.id[k], u});
      }
    } else {
      const double reach = f + node.radius;
      if (entersChord(p, p * p + reach * reach - co2, limit)) entered.append(rays, k);
    }
  }
}

void shadowPlain(const ShadowNodeTest& node, const ShadowRays& rays, const double* limits,
                 ShadowRays& entered, std::vector<RayId>& blocked) {
  const Vec3 cl = node.fromLight;
  const double cl2 = cl.lengthSquared();
  for (size_t k = 0; k < rays.count; ++k) {
    const double length = limits[rays.id[k]];
    const double inverseLength = rays.value(kInverseLength, k);
    const double p = (rays.value(kFromLightX, k) * cl.x + rays.value(kFromLightY, k) * cl.y +
                      rays.value(kFromLightZ, k) * cl.z) *
                     inverseLength;
    const double g = rays.value(kFootprint, k);
    const double f = g * p * inverseLength;  // shrinking towards the light
    if (node.smallRadius <= f) {
      const double q = f * f + p * p - cl2;
      if (q >= 0.0) {
        const double u = p + std::sqrt(q);
        if (u >= 0.0 && u + g <= length) blocked.push_back(rays.id[k]);  // before the hit point
      }
    } else {
      const double reach = f + node.radius;
      if (entersChord(p, reach * reach + p * p - cl2, length)) entered.append(rays, k);
    }
  }
}

}  // namespace
}  // namespace engine

#endif

HWY_BEFORE_NAMESPACE();
namespace engine::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// No wider than a block of a ray level.
using D = hn::CappedTag<double, RayLevel::kBlock>;
using DI = hn::RebindToSigned<D>;
using V = hn::Vec<D>;
using M = hn::Mask<D>;

// Quantity j of the rays of a vector, from their place in their block.
HWY_INLINE V lane(const double* block, size_t j) {
  return hn::LoadU(D(), block + j * RayLevel::kBlock);
}

// The records of the rays at `ids`, as wide as the lanes of doubles; the
// lanes past the rays read record 0.
hn::Vec<DI> recordsOf(M valid, const RayId* ids) {
  const DI di;
  const hn::Rebind<RayId, D> dr;
  return hn::IfThenElseZero(hn::RebindMask(di, valid), hn::PromoteTo(di, hn::LoadU(dr, ids)));
}

// Calls `take(i + j)` for each lane j of `mask`, in order.
template <class Take>
void forEachLane(M mask, size_t i, Take take) {
  alignas(8) uint8_t bits[8] = {};  // one byte: a vector has at most 8 lanes
  hn::StoreMaskBits(D(), mask, bits);
  for (uint32_t left = bits[0]; left != 0; left &= left - 1)
    take(i + hwy::Num0BitsBelowLS1Bit_Nonzero32(left));
}

// Appends the rays i... of `meets` (q >= 0) that enter the sphere, as
// entersChord tells.
HWY_INLINE void appendEntering(M meets, V p, V q, V limit, const RayLevel& rays, size_t i,
                               RayLevel& entered) {
  const D d;
  if (hn::AllFalse(d, meets)) return;
  const V s = hn::Sqrt(q);
  const M enters =
      hn::And(meets, hn::And(hn::Le(hn::Sub(p, s), limit), hn::Ge(hn::Add(p, s), hn::Zero(d))));
  forEachLane(enters, i, [&](size_t k) { entered.append(rays, k); });
}

void HitLanes(const HitNodeTest& node, const HitRays& rays, const double* limits, HitRays& entered,
              std::vector<FootprintHit>& hits) {
  const D d;
  const size_t n = hn::Lanes(d);
  const auto cx = hn::Set(d, node.center.x), cy = hn::Set(d, node.center.y),
             cz = hn::Set(d, node.center.z);
  const auto radius = hn::Set(d, node.radius), smallRadius = hn::Set(d, node.smallRadius),
             footprint = hn::Set(d, node.footprint), zero = hn::Zero(d);
  const Vec3 shared = node.center - node.origin;
  V cox = hn::Set(d, shared.x), coy = hn::Set(d, shared.y), coz = hn::Set(d, shared.z),
    co2 = hn::Set(d, shared.lengthSquared());
  const RayId* ids = rays.id.data();
  alignas(64) double distances[HWY_MAX_BYTES / sizeof(double)];
  for (size_t i = 0; i < rays.count; i += n) {
    const M valid = hn::FirstN(d, rays.count - i);
    const double* block = rays.at(i);
    V travelled = zero;  // rays from the eye have travelled nothing
    if (!node.sharedOrigin) {
      cox = hn::Sub(cx, lane(block, kOriginX));
      coy = hn::Sub(cy, lane(block, kOriginY));
      coz = hn::Sub(cz, lane(block, kOriginZ));
      co2 = hn::Add(hn::Add(hn::Mul(cox, cox), hn::Mul(coy, coy)), hn::Mul(coz, coz));
      travelled = lane(block, kTravelled);
    }
    const V p = hn::Add(hn::Add(hn::Mul(cox, lane(block, kDirX)), hn::Mul(coy, lane(block, kDirY))),
                        hn::Mul(coz, lane(block, kDirZ)));
    const V f = hn::Mul(hn::Mul(hn::Add(p, travelled), lane(block, kCone)), footprint);
    const M small = hn::And(hn::Le(smallRadius, f), valid);
    // Square roots only for lanes that may need them: they are slow.
    const V qSmall = hn::Sub(hn::Add(hn::Mul(p, p), hn::Mul(f, f)), co2);
    const M smallMeets = hn::And(small, hn::Ge(qSmall, zero));
    const V reach = hn::Add(f, radius);
    const V q = hn::Sub(hn::Add(hn::Mul(p, p), hn::Mul(reach, reach)), co2);
    const M meets = hn::And(hn::AndNot(small, valid), hn::Ge(q, zero));
    if (hn::AllFalse(d, hn::Or(smallMeets, meets))) continue;
    const V limit = hn::GatherIndex(d, limits, recordsOf(valid, ids + i));
    if (!hn::AllFalse(d, smallMeets)) {
      const V u = hn::Sub(p, hn::Sqrt(qSmall));
      const M hit = hn::And(smallMeets, hn::And(hn::Gt(u, zero), hn::Lt(u, limit)));
      hn::Store(u, d, distances);
      forEachLane(hit, i, [&](size_t k) { hits.push_back({ids[k], distances[k - i]}); });
    }
    appendEntering(meets, p, q, limit, rays, i, entered);
  }
}

void ShadowLanes(const ShadowNodeTest& node, const ShadowRays& rays, const double* limits,
                 ShadowRays& entered, std::vector<RayId>& blocked) {
  const D d;
  const size_t n = hn::Lanes(d);
  const Vec3 cl = node.fromLight;
  const auto clx = hn::Set(d, cl.x), cly = hn::Set(d, cl.y), clz = hn::Set(d, cl.z),
             cl2 = hn::Set(d, cl.lengthSquared());
  const auto radius = hn::Set(d, node.radius), smallRadius = hn::Set(d, node.smallRadius),
             zero = hn::Zero(d);
  const RayId* ids = rays.id.data();
  for (size_t i = 0; i < rays.count; i += n) {
    const M valid = hn::FirstN(d, rays.count - i);
    const double* block = rays.at(i);
    const V inverseLength = lane(block, kInverseLength);
    const V p = hn::Mul(hn::Add(hn::Add(hn::Mul(lane(block, kFromLightX), clx),
                                        hn::Mul(lane(block, kFromLightY), cly)),
                                hn::Mul(lane(block, kFromLightZ), clz)),
                        inverseLength);
    const V g = lane(block, kFootprint);
    const V f = hn::Mul(hn::Mul(g, p), inverseLength);
    const M small = hn::And(hn::Le(smallRadius, f), valid);
    const V qSmall = hn::Sub(hn::Add(hn::Mul(f, f), hn::Mul(p, p)), cl2);
    const M smallMeets = hn::And(small, hn::Ge(qSmall, zero));
    const V reach = hn::Add(f, radius);
    const V q = hn::Sub(hn::Add(hn::Mul(reach, reach), hn::Mul(p, p)), cl2);
    const M meets = hn::And(hn::AndNot(small, valid), hn::Ge(q, zero));
    if (hn::AllFalse(d, hn::Or(smallMeets, meets))) continue;
    const V length = hn::GatherIndex(d, limits, recordsOf(valid, ids + i));
    if (!hn::AllFalse(d, smallMeets)) {
      const V u = hn::Add(p, hn::Sqrt(qSmall));
      const M blocks = hn::And(smallMeets, hn::And(hn::Ge(u, zero), hn::Le(hn::Add(u, g), length)));
      forEachLane(blocks, i, [&](size_t k) { blocked.push_back(ids[k]); });
    }
    appendEntering(meets, p, q, length, rays, i, entered);
  }
}

}  // namespace engine::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace engine {

HWY_EXPORT(HitLanes);
HWY_EXPORT(ShadowLanes);

namespace {

// The functions of the instruction set that the dispatch chooses, looked up
// once instead of at every node.
template <class Function>
Function* chosen(Function* const table[]) {
  hwy::ChosenTarget& target = hwy::GetChosenTarget();
  if (!target.IsInitialized()) target.Update(hwy::SupportedTargets());
  return table[target.GetIndex()];
}

}  // namespace

HitNodeTestFunction* hitNodeTest(bool vector) {
  return vector ? chosen(HWY_DISPATCH_TABLE(HitLanes)) : hitPlain;
}

ShadowNodeTestFunction* shadowNodeTest(bool vector) {
  return vector ? chosen(HWY_DISPATCH_TABLE(ShadowLanes)) : shadowPlain;
}

}  // namespace engine
#endif
