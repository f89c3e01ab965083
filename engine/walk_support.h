#pragma once

#include "pixel_ray.h"
#include "sphere_node.h"
#include "trace_context.h"

// Node and ray-list steps that the sphere-tree walks share.
namespace engine {

inline void prependRay(PixelRay*& list, PixelRay* ray) {
  ray->next = list;
  list = ray;
}

// `front` followed by `back`.
PixelRay* joinRays(PixelRay* front, PixelRay* back);

// Resets the context's stack to the root of the current set, with no parked
// rays; false when stopped or when there is no root.
bool startWalk(TraceContext& ctx);

// Accounts a finished node for the progress and removes it from the stack.
inline void finishTopNode(TraceContext& ctx) {
  ctx.addProgress(ctx.top->mass * ctx.progressWeight);
  ctx.popNode();
}

// Frees the nodes above `below`: what a failed expansion left behind.
void discardNodesAbove(TraceContext& ctx, SphereNode* below);

// Puts the children lying above `below` in the order the walk visits them:
// the maps' order, or nearest to `*origin` first when given.
void orderChildren(TraceContext& ctx, SphereNode* below, const Vec3* origin);

// Gives the children above `below` shares of the parent's work in proportion
// to their squared radii, and parks `pass` at the last one to be visited.
void shareWorkAmongChildren(SphereNode* top, SphereNode* below, double parentMass, PixelRay* pass);

}  // namespace engine
