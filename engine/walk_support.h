#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "node_ray_tests.h"
#include "pixel_ray.h"
#include "ray_levels.h"
#include "sphere_node.h"
#include "trace_context.h"

// Node and ray-level steps that the sphere-tree walks share.
namespace engine {

// Resets the context's stack to the root of the current set, tested against
// the rays of level 0; false when stopped or when there is no root.
bool startWalk(TraceContext& ctx);

// The rays of level `level + 1`, emptied; references to the other levels
// stay valid until the next call. Within a walk all levels have the same room
// and lanes (see collectLevel).
inline RayLevel& nextLevel(std::vector<RayLevel>& levels, int level) {
  const size_t next = size_t(level) + 1;
  if (levels.size() <= next) {
    levels.emplace_back();
    levels[next].reset(levels[0].room(), levels[0].used, levels[0].withChildBits);
  }
  RayLevel& entered = levels[next];
  entered.count = 0;
  return entered;
}

// The level that the children of a node tested against `level` are tested
// against: the level after it, which holds the rays that entered the node.
// When no node left below the children (`below`) is tested against `level`,
// that level is done with and takes the entered rays instead, so that a walk
// holds as few levels as it can. They are copied, not swapped in: being some
// of the level's own rays, they touch no memory of it that its rays did not,
// while a swapped level would carry the pages of a large set to deep levels.
inline int childRayLevel(std::vector<RayLevel>& levels, int level, const SphereNode* below) {
  if (below && below->rayLevel == level) return level + 1;
  levels[size_t(level)].copyFrom(levels[size_t(level) + 1]);
  return level;
}

// Level 0 of the hit or shadow walk: the active rays, whose lanes
// `put(level, record)` writes at level.count, and their limits. Every level
// gets room for all the tile's records in `usedLanes` lanes, and child bits
// when the walk sweeps children (see RayLevel).
template <class Put>
RayLevel& collectLevel(TraceContext& ctx, std::vector<RayLevel>& levels, size_t usedLanes,
                       bool withChildBits, Put put) {
  if (levels.empty()) levels.resize(1);
  for (RayLevel& level : levels) level.reset(ctx.rays.size(), usedLanes, withChildBits);
  RayLevel& all = levels[0];
  ctx.rayLimits.resize(ctx.rays.size());
  for (PixelRay* ray = ctx.active; ray; ray = ray->next) {
    const size_t id = size_t(ray - ctx.rays.data());
    put(all, *ray);
    all.id[all.count++] = RayId(id);
    ctx.rayLimits[id] = ray->t;
  }
  return all;
}

// Accounts a finished node for the progress and removes it from the stack.
inline void finishTopNode(TraceContext& ctx) {
  ctx.addProgress(ctx.top->mass * ctx.progressWeight);
  ctx.popNode();
}

// Frees the nodes above `below`: what a failed expansion left behind.
void discardNodesAbove(TraceContext& ctx, SphereNode* below);

// Passes over a node that could not be refined (the node pool is exhausted):
// what its failed expansion left is freed and its work is done. The rays that
// needed it keep what they have found and go on with the rest of the walk.
void passOverNode(TraceContext& ctx, SphereNode* below, double mass);

// All the children of a node, as the bits of a sweep.
inline constexpr ChildBits kEveryChild = ~ChildBits{0};

// The spheres of `children` (the first kMaxChildren of them), as a sweep
// against their rays reads them: the radius and the radius times
// `smallFactor` under which a node is a surface.
void gatherChildSpheres(const std::vector<SphereNode*>& children, double smallFactor,
                        ChildSpheres& spheres);

// Readies the children lying above `below`, as ctx.splitChildren lists them
// after their expansion, for their visit, tested against the rays of
// `rayLevel`, and gives them shares of the parent's work in proportion to
// their squared radii. Those that a sweep found no ray to meet
// (the first kMaxChildren children, top first, whose bits are not in `met`)
// are done with at once; the others are put in the maps' order, or nearest
// to `*origin` first when given (ties keep that order).
void arrangeChildren(TraceContext& ctx, SphereNode* below, const Vec3* origin, double parentMass,
                     int rayLevel, ChildBits met = kEveryChild);

// The radius of a node for the node tests.
inline double testRadius(const SphereNode& node) {
  return std::sqrt(std::max(node.radius2, 0.0));
}

}  // namespace engine
