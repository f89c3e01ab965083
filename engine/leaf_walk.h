#pragma once

// A depth-first walk of the attractor's sphere tree with the renderer's node
// pool, splits and random picks, so that it meets the same spheres a
// picture is made of.
#include <cmath>

#include "fractal.h"
#include "sphere_node.h"
#include "trace_context.h"

namespace engine {

// Radius of a node; a negative or non-numeric squared radius counts as 0.
inline double nodeRadius(const SphereNode& node) {
  return node.radius2 > 0 ? std::sqrt(node.radius2) : 0.0;
}

// Walks the tree of the prepared root set from its root: `visit(node, r)`
// returns true for a node whose children are to be visited, false when the
// node is done with. A node that cannot be split (the node pool is
// exhausted) is passed over. False when stopped or when there is no root.
template <class Visit>
bool walkTree(TraceContext& ctx, Visit visit) {
  Fractal& scene = ctx.scene;
  if (!scene.initRoot(ctx)) return false;
  while (ctx.top && !scene.canceled) {
    SphereNode* node = ctx.top;
    if (!visit(*node, nodeRadius(*node))) {
      ctx.popNode();
      continue;
    }
    // The node leaves the stack before its children take its place on it.
    ctx.top = node->next;
    scene.splitNode(ctx, *node);
    ctx.releaseNode(node);
  }
  ctx.clearNodeStack();
  return !scene.canceled;
}

}  // namespace engine
