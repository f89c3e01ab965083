#pragma once

#include "ray_levels.h"
#include "sphere_node.h"
#include "trace_context.h"

// Node and ray-level steps that the sphere-tree walks share.
namespace engine {

// Resets the context's stack to the root of the current set, tested against
// the rays of level 0; false when stopped or when there is no root.
bool startWalk(TraceContext& ctx);

// Level 0 of the hit and shadow walks: the active rays, in their order.
RayLevel& collectRayLevel(TraceContext& ctx);

// The rays of level `level + 1`, emptied, with room for all of level
// `level`; references to the other levels stay valid until the next call.
RayLevel& nextRayLevel(TraceContext& ctx, int level);

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

// Readies the children lying above `below` for their visit, tested against
// the rays of `rayLevel`: puts them in the maps' order, or nearest to
// `*origin` first when given (ties keep that order), and gives them shares of
// the parent's work in proportion to their squared radii.
void arrangeChildren(TraceContext& ctx, SphereNode* below, const Vec3* origin, double parentMass,
                     int rayLevel);

}  // namespace engine
