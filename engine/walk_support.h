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

// Passes over a node that could not be refined (the node pool is exhausted):
// what its failed expansion left is freed, its work is done, and the rays
// that needed it (the list `needed` ... `neededLast`) go on with `pass`,
// keeping what they have found. Returns the joined list.
PixelRay* passOverNode(TraceContext& ctx, SphereNode* below, double mass, PixelRay* needed,
                       PixelRay* neededLast, PixelRay* pass);

// Readies the children lying above `below` for their visit: puts them in the
// maps' order, or nearest to `*origin` first when given (ties keep that
// order); gives them shares of the parent's work in proportion to their
// squared radii and parks `pass` at the last one to be visited.
void arrangeChildren(TraceContext& ctx, SphereNode* below, const Vec3* origin, double parentMass,
                     PixelRay* pass);

}  // namespace engine
