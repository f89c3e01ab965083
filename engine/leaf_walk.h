#pragma once

// A depth-first walk of the attractor's sphere tree down to spheres below a
// given radius, with the renderer's node pool, splits and random picks, so
// that it meets the same spheres a picture is made of.
#include <cmath>

#include "fractal.h"
#include "sphere_node.h"
#include "trace_context.h"

namespace engine {

// Radius of a node; a negative or non-numeric squared radius counts as 0.
inline double nodeRadius(const SphereNode& node) {
  return node.radius2 > 0 ? std::sqrt(node.radius2) : 0.0;
}

// Walks the tree of the prepared root set. `wanted(node, r)` tells whether a
// node's spheres matter at all; `leaf(node, r)` takes every wanted node of
// radius below `leafRadius`, and a larger one that could not be split (the
// node pool is exhausted). False when stopped or when there is no root.
template <class Wanted, class Leaf>
bool walkLeaves(TraceContext& ctx, double leafRadius, Wanted wanted, Leaf leaf) {
  Fractal& scene = ctx.scene;
  if (!scene.initRoot(ctx)) return false;
  while (ctx.top && !scene.canceled) {
    SphereNode* node = ctx.top;
    const double r = nodeRadius(*node);
    if (!wanted(*node, r)) {
      ctx.popNode();
      continue;
    }
    if (r < leafRadius) {
      leaf(*node, r);
      ctx.popNode();
      continue;
    }
    // The node leaves the stack before its children take its place on it.
    ctx.top = node->next;
    if (!scene.splitNode(ctx, *node)) leaf(*node, r);
    node->next = ctx.freeList;
    ctx.freeList = node;
  }
  ctx.clearNodeStack();
  return !scene.canceled;
}

}  // namespace engine
