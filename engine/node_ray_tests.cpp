// The hit and shadow walks' node tests, compiled once per instruction set;
// the best one is chosen at run time. Products are never fused into additions
// here (see CMakeLists.txt), so that every instruction set rounds like the
// plain loops.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "engine/node_ray_tests.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"
// Per instruction set as well:
#include "engine/lanes_with_bit-inl.h"

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

// How a ray meets a node in a node test.
enum class Meeting { kMisses, kEnters, kStops };

// Ray k against a node of the hit walk; `u` is where it hits a node no wider
// than its footprint.
inline Meeting meetHit(const HitNodeTest& node, const HitRays& rays, size_t k, double limit,
                       double& u) {
  Vec3 co = node.center - node.origin;
  double travelled = 0.0;  // rays from the eye have travelled nothing
  if (!node.sharedOrigin) {
    co = node.center -
         Vec3{rays.value(kOriginX, k), rays.value(kOriginY, k), rays.value(kOriginZ, k)};
    travelled = rays.value(kTravelled, k);
  }
  const double co2 = co.lengthSquared();
  const double p =
      co.x * rays.value(kDirX, k) + co.y * rays.value(kDirY, k) + co.z * rays.value(kDirZ, k);
  const double f = (p + travelled) * rays.value(kCone, k) * node.footprint;
  if (node.smallRadius <= f) {
    // A surface of the footprint's radius.
    const double q = p * p + f * f - co2;
    if (!(q >= 0.0)) return Meeting::kMisses;
    u = p - std::sqrt(q);
    return u > 0.0 && u < limit ? Meeting::kStops : Meeting::kMisses;
  }
  const double reach = f + node.radius;
  return entersChord(p, p * p + reach * reach - co2, limit) ? Meeting::kEnters : Meeting::kMisses;
}

// Segment k against a node of the shadow walk.
inline Meeting meetShadow(const ShadowNodeTest& node, const ShadowRays& rays, size_t k,
                          double length) {
  const Vec3 cl = node.fromLight;
  const double cl2 = cl.lengthSquared();
  const double inverseLength = rays.value(kInverseLength, k);
  const double p = (rays.value(kFromLightX, k) * cl.x + rays.value(kFromLightY, k) * cl.y +
                    rays.value(kFromLightZ, k) * cl.z) *
                   inverseLength;
  const double g = rays.value(kFootprint, k);
  const double f = g * p * inverseLength;  // shrinking towards the light
  if (node.smallRadius <= f) {
    const double q = f * f + p * p - cl2;
    if (!(q >= 0.0)) return Meeting::kMisses;
    const double u = p + std::sqrt(q);
    // Before the hit point.
    return u >= 0.0 && u + g <= length ? Meeting::kStops : Meeting::kMisses;
  }
  const double reach = f + node.radius;
  return entersChord(p, reach * reach + p * p - cl2, length) ? Meeting::kEnters : Meeting::kMisses;
}

void hitPlain(const HitNodeTest& node, const HitRays& rays, const double* limits, HitRays& entered,
              std::vector<FootprintHit>& hits) {
  for (size_t k = 0; k < rays.count; ++k) {
    double u = 0.0;
    const Meeting meeting = meetHit(node, rays, k, limits[rays.id[k]], u);
    if (meeting == Meeting::kStops) hits.push_back({rays.id[k], u});
    if (meeting == Meeting::kEnters) entered.append(rays, k);
  }
}

void shadowPlain(const ShadowNodeTest& node, const ShadowRays& rays, const double* limits,
                 ShadowRays& entered, std::vector<RayId>& blocked) {
  for (size_t k = 0; k < rays.count; ++k) {
    const Meeting meeting = meetShadow(node, rays, k, limits[rays.id[k]]);
    if (meeting == Meeting::kStops) blocked.push_back(rays.id[k]);
    if (meeting == Meeting::kEnters) entered.append(rays, k);
  }
}

ChildBits hitSweepPlain(const HitNodeTest& node, const ChildSpheres& children, const HitRays& rays,
                        const double* limits) {
  ChildBits met = 0;
  HitNodeTest child = node;
  for (size_t c = 0; c < children.count; ++c) {
    child.center = {children.x[c], children.y[c], children.z[c]};
    child.radius = children.radius[c];
    child.smallRadius = children.smallRadius[c];
    for (size_t k = 0; k < rays.count; ++k) {
      double u = 0.0;
      if (meetHit(child, rays, k, limits[rays.id[k]], u) != Meeting::kMisses) {
        met |= ChildBits{1} << c;
        break;
      }
    }
  }
  return met;
}

ChildBits shadowSweepPlain(const Vec3& light, const ChildSpheres& children, ShadowRays& rays,
                           double* limits) {
  ChildBits any = 0;
  for (size_t k = 0; k < rays.count; ++k) {
    ChildBits bits = 0;
    double& length = limits[rays.id[k]];
    for (size_t c = 0; c < children.count; ++c) {
      const ShadowNodeTest child{Vec3{children.x[c], children.y[c], children.z[c]} - light,
                                 children.radius[c], children.smallRadius[c]};
      const Meeting meeting = meetShadow(child, rays, k, length);
      if (meeting == Meeting::kStops) {
        length = kWalkOver;
        bits = 0;
        break;
      }
      if (meeting == Meeting::kEnters) bits |= ChildBits{1} << c;
    }
    rays.childBits[k] = bits;
    any |= bits;
  }
  return any;
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

// Where rays meet nodes, a pair per lane, before the limits are read: lanes
// that see the node no wider than their footprint (`small`) meet it as a
// surface where qSmall >= 0, the others meet the sphere widened by their
// footprint where q >= 0. Lanes outside `tested` meet nothing.
struct Meetings {
  V p, qSmall, q;
  M smallMeets, meets;

  bool none() const { return hn::AllFalse(D(), hn::Or(smallMeets, meets)); }
};

HWY_INLINE Meetings meetingsOf(M tested, V p, V f, V radius, V smallRadius, V distance2) {
  const D d;
  const V zero = hn::Zero(d);
  const M small = hn::And(hn::Le(smallRadius, f), tested);
  const V reach = hn::Add(f, radius);
  Meetings m;
  m.p = p;
  m.qSmall = hn::Sub(hn::Add(hn::Mul(p, p), hn::Mul(f, f)), distance2);
  m.q = hn::Sub(hn::Add(hn::Mul(p, p), hn::Mul(reach, reach)), distance2);
  m.smallMeets = hn::And(small, hn::Ge(m.qSmall, zero));
  m.meets = hn::And(hn::AndNot(small, tested), hn::Ge(m.q, zero));
  return m;
}

// The lanes that enter the sphere, as entersChord tells. Square roots only
// for vectors that may need them: they are slow.
HWY_INLINE M entering(const Meetings& m, V limit) {
  const D d;
  if (hn::AllFalse(d, m.meets)) return m.meets;
  const V s = hn::Sqrt(m.q);
  return hn::And(m.meets,
                 hn::And(hn::Le(hn::Sub(m.p, s), limit), hn::Ge(hn::Add(m.p, s), hn::Zero(d))));
}

// Where the lanes that see a node no wider than their footprint meet it.
HWY_INLINE V surfaceDistances(const Meetings& m) {
  return hn::Sub(m.p, hn::Sqrt(m.qSmall));
}

// The lanes that stop at such a node, met at distances `u` within their
// limits.
HWY_INLINE M stopping(const Meetings& m, V u, V limit) {
  return hn::And(m.smallMeets, hn::And(hn::Gt(u, hn::Zero(D())), hn::Lt(u, limit)));
}

// The shadow walk's pairs, from the vector from the light to the node's
// centre (`cl`, with its squared length) and the segment from the light to
// each hit point, with its inverse length and its footprint there.
struct ShadowPairs {
  V clx, cly, clz, cl2, fromLightX, fromLightY, fromLightZ, inverseLength, footprint;

  void setFromLight(V x, V y, V z) {
    clx = x, cly = y, clz = z;
    cl2 = hn::Add(hn::Add(hn::Mul(x, x), hn::Mul(y, y)), hn::Mul(z, z));
  }
};

HWY_INLINE Meetings meetShadow(M tested, const ShadowPairs& s, V radius, V smallRadius) {
  const V cl2 = s.cl2;
  const V p = hn::Mul(hn::Add(hn::Add(hn::Mul(s.fromLightX, s.clx), hn::Mul(s.fromLightY, s.cly)),
                              hn::Mul(s.fromLightZ, s.clz)),
                      s.inverseLength);
  const V f = hn::Mul(hn::Mul(s.footprint, p), s.inverseLength);  // shrinking towards the light
  return meetingsOf(tested, p, f, radius, smallRadius, cl2);
}

// The lanes whose node blocks them: a surface before the hit point.
HWY_INLINE M blocksShadow(const Meetings& m, V length, V footprint) {
  const D d;
  if (hn::AllFalse(d, m.smallMeets)) return m.smallMeets;
  const V u = hn::Add(m.p, hn::Sqrt(m.qSmall));
  return hn::And(m.smallMeets,
                 hn::And(hn::Ge(u, hn::Zero(d)), hn::Le(hn::Add(u, footprint), length)));
}

// The limits of the rays i... by record; the lanes past the rays read
// record 0.
HWY_INLINE V limitsOf(const RayLevel& rays, size_t i, const double* limits) {
  const D d;
  return hn::GatherIndex(d, limits, recordsOf(hn::FirstN(d, rays.count - i), rays.id.data() + i));
}

// The node tests run over the rays, a vector of them at a time.

void HitLanes(const HitNodeTest& node, const HitRays& rays, const double* limits, HitRays& entered,
              std::vector<FootprintHit>& hits) {
  const D d;
  const size_t n = hn::Lanes(d);
  const V cx = hn::Set(d, node.center.x), cy = hn::Set(d, node.center.y),
          cz = hn::Set(d, node.center.z);
  const V radius = hn::Set(d, node.radius), smallRadius = hn::Set(d, node.smallRadius),
          footprint = hn::Set(d, node.footprint), zero = hn::Zero(d);
  const Vec3 shared = node.center - node.origin;
  V cox = hn::Set(d, shared.x), coy = hn::Set(d, shared.y), coz = hn::Set(d, shared.z),
    co2 = hn::Set(d, shared.lengthSquared());
  alignas(64) double distances[HWY_MAX_BYTES / sizeof(double)];
  for (size_t i = 0; i < rays.count; i += n) {
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
    const Meetings m = meetingsOf(hn::FirstN(d, rays.count - i), p, f, radius, smallRadius, co2);
    if (m.none()) continue;
    const V limit = limitsOf(rays, i, limits);
    if (!hn::AllFalse(d, m.smallMeets)) {  // surfaces of the footprint's radius
      const V u = surfaceDistances(m);
      const M stops = stopping(m, u, limit);
      hn::Store(u, d, distances);
      forEachLane(stops, i, [&](size_t k) { hits.push_back({rays.id[k], distances[k - i]}); });
    }
    forEachLane(entering(m, limit), i, [&](size_t k) { entered.append(rays, k); });
  }
}

void ShadowLanes(const ShadowNodeTest& node, const ShadowRays& rays, const double* limits,
                 ShadowRays& entered, std::vector<RayId>& blocked) {
  const D d;
  const size_t n = hn::Lanes(d);
  const V radius = hn::Set(d, node.radius), smallRadius = hn::Set(d, node.smallRadius);
  ShadowPairs s;
  s.setFromLight(hn::Set(d, node.fromLight.x), hn::Set(d, node.fromLight.y),
                 hn::Set(d, node.fromLight.z));
  for (size_t i = 0; i < rays.count; i += n) {
    const double* block = rays.at(i);
    s.fromLightX = lane(block, kFromLightX), s.fromLightY = lane(block, kFromLightY),
    s.fromLightZ = lane(block, kFromLightZ);
    s.inverseLength = lane(block, kInverseLength), s.footprint = lane(block, kFootprint);
    const Meetings m = meetShadow(hn::FirstN(d, rays.count - i), s, radius, smallRadius);
    if (m.none()) continue;
    const V length = limitsOf(rays, i, limits);
    forEachLane(blocksShadow(m, length, s.footprint), i,
                [&](size_t k) { blocked.push_back(rays.id[k]); });
    forEachLane(entering(m, length), i, [&](size_t k) { entered.append(rays, k); });
  }
}

// The children c... of `children` as loaded lanes.
struct ChildLanes {
  V x, y, z, radius, smallRadius;
  M valid;

  ChildLanes(const ChildSpheres& children, size_t c)
      : x(hn::LoadU(D(), children.x.data() + c)),
        y(hn::LoadU(D(), children.y.data() + c)),
        z(hn::LoadU(D(), children.z.data() + c)),
        radius(hn::LoadU(D(), children.radius.data() + c)),
        smallRadius(hn::LoadU(D(), children.smallRadius.data() + c)),
        valid(hn::FirstN(D(), children.count - c)) {}
};

// Runs over the children, a vector of them at a time, ray by ray: a level
// swept is one of a few rays, the children of a node many.
ChildBits HitSweep(const HitNodeTest& node, const ChildSpheres& children, const HitRays& rays,
                   const double* limits) {
  const D d;
  const size_t n = hn::Lanes(d);
  const V footprint = hn::Set(d, node.footprint), zero = hn::Zero(d);
  ChildBits met = 0;
  for (size_t k = 0; k < rays.count; ++k) {
    const Vec3 origin = node.sharedOrigin ? node.origin
                                          : Vec3{rays.value(kOriginX, k), rays.value(kOriginY, k),
                                                 rays.value(kOriginZ, k)};
    const V ox = hn::Set(d, origin.x), oy = hn::Set(d, origin.y), oz = hn::Set(d, origin.z);
    const V dx = hn::Set(d, rays.value(kDirX, k)), dy = hn::Set(d, rays.value(kDirY, k)),
            dz = hn::Set(d, rays.value(kDirZ, k)), cone = hn::Set(d, rays.value(kCone, k));
    const V travelled = node.sharedOrigin ? zero : hn::Set(d, rays.value(kTravelled, k));
    const V limit = hn::Set(d, limits[rays.id[k]]);
    for (size_t c = 0; c < children.count; c += n) {
      const ChildLanes child(children, c);
      const V cox = hn::Sub(child.x, ox), coy = hn::Sub(child.y, oy), coz = hn::Sub(child.z, oz);
      const V co2 = hn::Add(hn::Add(hn::Mul(cox, cox), hn::Mul(coy, coy)), hn::Mul(coz, coz));
      const V p = hn::Add(hn::Add(hn::Mul(cox, dx), hn::Mul(coy, dy)), hn::Mul(coz, dz));
      const V f = hn::Mul(hn::Mul(hn::Add(p, travelled), cone), footprint);
      const Meetings m = meetingsOf(child.valid, p, f, child.radius, child.smallRadius, co2);
      if (m.none()) continue;  // as most children
      M meets = entering(m, limit);
      if (!hn::AllFalse(d, m.smallMeets))
        meets = hn::Or(meets, stopping(m, surfaceDistances(m), limit));
      alignas(8) uint8_t bits[8] = {};  // one byte: a vector has at most 8 lanes
      hn::StoreMaskBits(d, meets, bits);
      met |= ChildBits{bits[0]} << c;
    }
  }
  return met;
}

// Runs over the children, a vector of them at a time, segment by segment:
// the segments of a level are mostly a few, the children of a node many.
ChildBits ShadowSweep(const Vec3& light, const ChildSpheres& children, ShadowRays& rays,
                      double* limits) {
  const D d;
  const size_t n = hn::Lanes(d);
  // The vectors from the light to the children, whatever the segment.
  constexpr size_t kMax = ChildSpheres::kMaxChildren;
  alignas(64) double clx[kMax], cly[kMax], clz[kMax], cl2[kMax];
  for (size_t c = 0; c < children.count; c += n) {
    const ChildLanes child(children, c);
    ShadowPairs s;
    s.setFromLight(hn::Sub(child.x, hn::Set(d, light.x)), hn::Sub(child.y, hn::Set(d, light.y)),
                   hn::Sub(child.z, hn::Set(d, light.z)));
    hn::Store(s.clx, d, clx + c), hn::Store(s.cly, d, cly + c), hn::Store(s.clz, d, clz + c);
    hn::Store(s.cl2, d, cl2 + c);
  }
  ChildBits any = 0;
  for (size_t k = 0; k < rays.count; ++k) {
    ShadowPairs s;
    s.fromLightX = hn::Set(d, rays.value(kFromLightX, k));
    s.fromLightY = hn::Set(d, rays.value(kFromLightY, k));
    s.fromLightZ = hn::Set(d, rays.value(kFromLightZ, k));
    s.inverseLength = hn::Set(d, rays.value(kInverseLength, k));
    s.footprint = hn::Set(d, rays.value(kFootprint, k));
    double& length = limits[rays.id[k]];
    const V lengths = hn::Set(d, length);
    ChildBits bits = 0;
    for (size_t c = 0; c < children.count; c += n) {
      s.clx = hn::Load(d, clx + c), s.cly = hn::Load(d, cly + c), s.clz = hn::Load(d, clz + c);
      s.cl2 = hn::Load(d, cl2 + c);
      const Meetings m =
          meetShadow(hn::FirstN(d, children.count - c), s, hn::LoadU(d, children.radius.data() + c),
                     hn::LoadU(d, children.smallRadius.data() + c));
      if (m.none()) continue;  // as most children
      if (!hn::AllFalse(d, blocksShadow(m, lengths, s.footprint))) {
        length = kWalkOver;
        bits = 0;
        break;
      }
      alignas(8) uint8_t entered[8] = {};  // one byte: a vector has at most 8 lanes
      hn::StoreMaskBits(d, entering(m, lengths), entered);
      bits |= ChildBits{entered[0]} << c;
    }
    rays.childBits[k] = bits;
    any |= bits;
  }
  return any;
}

// Few segments enter a child: only they are visited, in their order.
void CollectEntered(const RayLevel& rays, ChildBits childBit, const double* limits,
                    RayLevel& entered) {
  ForEachWithBit(rays.childBits.data(), rays.count, childBit, [&](size_t k) {
    if (limits[rays.id[k]] != kWalkOver) entered.append(rays, k);
  });
}

}  // namespace engine::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace engine {

HWY_EXPORT(HitLanes);
HWY_EXPORT(ShadowLanes);
HWY_EXPORT(ShadowSweep);
HWY_EXPORT(HitSweep);
HWY_EXPORT(CollectEntered);

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

HitChildSweep* hitChildSweep(bool vector) {
  return vector ? chosen(HWY_DISPATCH_TABLE(HitSweep)) : hitSweepPlain;
}

ShadowChildSweep* shadowChildSweep(bool vector) {
  return vector ? chosen(HWY_DISPATCH_TABLE(ShadowSweep)) : shadowSweepPlain;
}

void collectEntered(const RayLevel& rays, ChildBits childBit, const double* limits,
                    RayLevel& entered) {
  HWY_DYNAMIC_DISPATCH(CollectEntered)(rays, childBit, limits, entered);
}

}  // namespace engine
#endif
